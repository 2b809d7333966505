// SPDX-License-Identifier: GPL-3.0-or-later
// Wakes a sleeping computer for the alarm: keeps the helper alarm-wake (from the program's
// folder) holding a kernel wake alarm a little before the alarm's second, re-armed whenever
// that moment changes and ended when there is none. A helper that ends unasked, or fails to
// start, is started again for the same moment a few times; past that, or without the
// capability the helper needs, nothing changes but that the computer stays asleep:
// cannotWake says so, once a run.
#pragma once

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <optional>

class QProcess;

namespace platform {

class WakeAlarm : public QObject {
  Q_OBJECT
 public:
  // How long before the alarm's second the computer wakes: time for its sound to come back.
  static constexpr int kLeadSeconds = 20;
  // How often a helper that ended unasked is started again for one moment.
  static constexpr int kRestarts = 3;

  // helper: the helper's path; wrapper: a command to run it through (tests run it as
  // another user).
  explicit WakeAlarm(QString helper, QStringList wrapper = {}, QObject* parent = nullptr);
  ~WakeAlarm() override;

  // The next moment the alarm rings, or none.
  void wakeFor(const std::optional<QDateTime>& alarm);
  // Whether the helper holds its kernel alarm now.
  bool armed() const { return armed_; }

 signals:
  // The helper may not set wake alarms: the command that allows it (for a shell). Empty when
  // the helper could not be kept running: the log says why.
  void cannotWake(const QString& allowCommand);

 private:
  void start();
  void end();
  void readHelper();
  void helperEnded(QProcess* process, const QString& how);

  QString helper_;
  QStringList wrapper_;
  QProcess* process_ = nullptr;
  std::optional<qint64> wakeAt_;
  bool armed_ = false;
  bool woke_ = false;     // the helper said its alarm fired, and ends
  int restarts_ = 0;      // for the moment wakeAt_
  bool refused_ = false;  // told once: no more helpers this run
};

}  // namespace platform
