// SPDX-License-Identifier: GPL-3.0-or-later
// For the GNOME test: shows the alarm's desktop notification through the session's server
// as the program does, says "shown", and waits for its buttons. Exit 0 on Stop, 3 on
// Snooze, 1 when neither came within a minute.
#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

#include "platform/desktop_notification.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Alarm"));
  platform::DesktopNotification notification;
  const auto answer = [&](int code) {
    notification.withdraw();
    QTimer::singleShot(200, &app, [code] { QCoreApplication::exit(code); });
  };
  QObject::connect(&notification, &platform::DesktopNotification::stopAsked, [&] { answer(0); });
  QObject::connect(&notification, &platform::DesktopNotification::snoozeAsked, [&] { answer(3); });
  notification.notify(QStringLiteral("Alarm"), argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString(), true, true,
                      true);
  QTimer shown;
  QObject::connect(&shown, &QTimer::timeout, [&] {
    if (!notification.shown()) return;
    std::puts("shown");
    std::fflush(stdout);
    shown.stop();
  });
  shown.start(50);
  QTimer::singleShot(60000, &app, [] { QCoreApplication::exit(1); });
  return app.exec();
}
