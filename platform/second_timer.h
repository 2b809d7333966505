// SPDX-License-Identifier: GPL-3.0-or-later
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
  // The next tick comes `seconds` wall-clock seconds from now instead of at the next one.
  void waitSeconds(int seconds);
  // Milliseconds until the next tick (-1 when stopped).
  int remainingMs() const;
  // Milliseconds after the second boundary at which the timer fires.
  static constexpr int kOffsetMs = 2;

 signals:
  void timeout();

 private:
  void arm();
  QTimer* timer_;
  bool active_ = false;
  int seconds_ = 1;  // seconds to the next tick, for the next arming only
};

}  // namespace platform
