// A timer that fires just after each wall-clock second, re-armed every time, so it never
// drifts and never skips a second the way a free-running one-second timer can.
#pragma once

#include <QObject>

class QTimer;

namespace platform {

class SecondTimer : public QObject {
  Q_OBJECT
 public:
  explicit SecondTimer(QObject* parent = nullptr);
  void start();
  void stop();
  bool isActive() const { return active_; }
  void setEnabled(bool on) { on ? start() : stop(); }
  // Milliseconds after the second boundary at which the timer fires.
  static constexpr int kOffsetMs = 2;

 signals:
  void timeout();

 private:
  void arm();
  QTimer* timer_;
  bool active_ = false;
};

}  // namespace platform
