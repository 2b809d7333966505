// SPDX-License-Identifier: GPL-3.0-or-later
// The resume from sleep through logind's PrepareForSleep signal.
#include "platform/sleep_watch.h"

#include <QDBusConnection>

#include "platform/log.h"

namespace platform {

SleepWatch::SleepWatch(QObject* parent) : QObject(parent) {
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) return;
  bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
              QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
              SLOT(prepareForSleep(bool)));
}

void SleepWatch::prepareForSleep(bool going) {
  logEvent(going ? "the computer goes to sleep" : "the computer has resumed");
  if (!going) emit resumed();
}

}  // namespace platform
