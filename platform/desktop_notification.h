// SPDX-License-Identifier: GPL-3.0-or-later
// A desktop notification through the session's notification server
// (org.freedesktop.Notifications): shown where the user looks, on a locked screen too, with
// Stop and Snooze buttons where the server offers buttons. Without a server nothing happens.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

class QDBusPendingCallWatcher;

namespace platform {

class DesktopNotification : public QObject {
  Q_OBJECT
 public:
  // The session bus, or the bus given (a test's own).
  explicit DesktopNotification(QObject* parent = nullptr, const QDBusConnection& bus = QDBusConnection::sessionBus());
  // A notification still shown is withdrawn.
  ~DesktopNotification() override;

  // Shows the notification, in place of the one this object shows already. critical: the
  // server's critical urgency (shown over full-screen windows and the lock screen);
  // resident: it stays until withdrawn; stopAndSnooze: "Stop" and "Snooze" buttons, when
  // the server says it has actions. Asked without waiting for the server.
  void notify(const QString& summary, const QString& body, bool critical, bool resident, bool stopAndSnooze);
  // Takes the notification away (CloseNotification); nothing when none shows.
  void withdraw();
  // The server has shown it and it has not been closed.
  bool shown() const { return id_ != 0; }

 signals:
  // A button of the notification shown was pressed (it stays until withdrawn when resident).
  void stopAsked();
  void snoozeAsked();

 private slots:
  void actionInvoked(uint id, const QString& action);
  void notificationClosed(uint id, uint reason);

 private:
  void capabilitiesAnswered(QDBusPendingCallWatcher* call);
  void notifyAnswered(QDBusPendingCallWatcher* call);

  QDBusConnection bus_;
  uint id_ = 0;           // the server's id of the notification shown
  int request_ = 0;       // counts notify() and withdraw(): an answer to an older one is late
  QString summary_, body_;
  bool critical_ = false, resident_ = false, stopAndSnooze_ = false;
};

}  // namespace platform
