// SPDX-License-Identifier: GPL-3.0-or-later
// The screen wake and the sleep inhibitor.
#include "platform/stay_awake.h"

#include <unistd.h>
#include <xcb/xcb.h>

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>
#include <QGuiApplication>

#include "platform/log.h"

namespace platform {

void wakeScreen(const QDBusConnection& session) {
  if (session.isConnected()) {
    QDBusConnection(session).asyncCall(QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop/ScreenSaver"),
        QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("SimulateUserActivity")));
  }
  auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  auto* x11 = gui ? gui->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (xcb_connection_t* c = x11 ? x11->connection() : nullptr) {
    xcb_force_screen_saver(c, XCB_SCREEN_SAVER_RESET);
    xcb_flush(c);
  }
}

SleepInhibitor::SleepInhibitor(QObject* parent, const QDBusConnection& bus) : QObject(parent), bus_(bus) {}

SleepInhibitor::~SleepInhibitor() { release(); }

void SleepInhibitor::hold(const QString& why) {
  wanted_ = true;
  if (held() || asking_ || !bus_.isConnected()) return;
  QDBusMessage inhibit = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
      QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
  inhibit << QStringLiteral("sleep:idle") << QGuiApplication::applicationDisplayName() << why
          << QStringLiteral("block");
  asking_ = true;
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(inhibit), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, &SleepInhibitor::answered);
}

void SleepInhibitor::answered(QDBusPendingCallWatcher* watcher) {
  watcher->deleteLater();
  asking_ = false;
  const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *watcher;
  if (reply.isError()) {
    // No logind (or not allowed): the alarm rings all the same.
    if (reply.error().type() != QDBusError::ServiceUnknown)
      logEvent("no sleep inhibitor: " + reply.error().message().toStdString());
    return;
  }
  // Released before logind answered: the new descriptor is closed at once.
  if (!wanted_) return;
  fd_ = ::dup(reply.value().fileDescriptor());
}

void SleepInhibitor::release() {
  wanted_ = false;
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace platform
