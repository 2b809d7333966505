// SPDX-License-Identifier: GPL-3.0-or-later
// Keeping the user's screen and computer awake for a ringing alarm: the screen is woken as
// by the user's own touch, and logind is asked not to suspend or idle while the alarm
// rings. Each is a quiet no-op where the desktop or logind is missing.
#pragma once

#include <QDBusConnection>
#include <QObject>

class QDBusPendingCallWatcher;

namespace platform {

// Counts this moment as the user's activity, so a blanked screen lights: the session's
// screen saver (org.freedesktop.ScreenSaver on the session bus, or the bus given) and, on
// X11, the X server's own screen saver.
void wakeScreen(const QDBusConnection& session = QDBusConnection::sessionBus());

// A logind inhibitor of sleep and idle ("block" mode), held as the file descriptor logind
// gives until it is released.
class SleepInhibitor : public QObject {
  Q_OBJECT
 public:
  // The system bus, or the bus given (a test's own).
  explicit SleepInhibitor(QObject* parent = nullptr, const QDBusConnection& bus = QDBusConnection::systemBus());
  ~SleepInhibitor() override;

  // Asks for the inhibitor (why: shown to the user by `systemd-inhibit --list`), without
  // waiting for logind's answer; nothing when it is held already.
  void hold(const QString& why);
  void release();
  bool held() const { return fd_ >= 0; }

 private:
  void answered(QDBusPendingCallWatcher* call);

  QDBusConnection bus_;
  int fd_ = -1;
  bool wanted_ = false;
  bool asking_ = false;
};

}  // namespace platform
