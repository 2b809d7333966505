// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop notification, the screen wake and the sleep inhibitor against a real private
// D-Bus daemon, with small stand-ins for the notification server, the screen saver and
// logind on it; and each of them with none of those services there.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "platform/desktop_notification.h"
#include "platform/stay_awake.h"

namespace {

class FakeNotifications : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
 public:
  QStringList capabilities{QStringLiteral("body")};
  struct Shown {
    uint replaces;
    QString summary, body;
    QStringList actions;
    QVariantMap hints;
    int expire;
  };
  QList<Shown> shown;
  QList<uint> closed;

 public slots:
  QStringList GetCapabilities() { return capabilities; }
  uint Notify(const QString&, uint replaces, const QString&, const QString& summary, const QString& body,
              const QStringList& actions, const QVariantMap& hints, int expire) {
    shown.append({replaces, summary, body, actions, hints, expire});
    return replaces ? replaces : 40u + static_cast<uint>(shown.size());
  }
  void CloseNotification(uint id) { closed.append(id); }
};

class FakeScreenSaver : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
 public:
  int activity = 0;
 public slots:
  void SimulateUserActivity() { ++activity; }
};

class FakeLogind : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
 public:
  QStringList asked;
  int readEnd = -1;  // logind's side of the inhibitor: end of file once every holder has closed it
  ~FakeLogind() override {
    if (readEnd >= 0) ::close(readEnd);
  }
  bool released() const {
    pollfd p{readEnd, POLLIN, 0};
    char c;
    return ::poll(&p, 1, 0) == 1 && ::read(readEnd, &c, 1) == 0;
  }
 public slots:
  QDBusUnixFileDescriptor Inhibit(const QString& what, const QString&, const QString&, const QString& mode) {
    asked << what + " " + mode;
    int ends[2];
    if (::pipe(ends) != 0) return {};
    readEnd = ends[0];
    QDBusUnixFileDescriptor fd(ends[1]);  // a copy of it
    ::close(ends[1]);
    return fd;
  }
};

// A private bus daemon (no activatable services) and two connections to it, the program's
// and the stand-in services'.
struct PrivateBus {
  QTemporaryDir dir;
  QProcess daemon;
  std::unique_ptr<QDBusConnection> program, services;

  PrivateBus() {
    QFile config(dir.filePath(QStringLiteral("bus.conf")));
    config.open(QIODevice::WriteOnly);
    config.write("<busconfig><type>session</type><listen>unix:dir=" + dir.path().toUtf8() +
                 "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow send_destination=\"*\"/>"
                 "<allow receive_sender=\"*\"/><allow own=\"*\"/></policy></busconfig>");
    config.close();
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--nofork"),
                  QStringLiteral("--print-address")});
    while (!daemon.canReadLine())
      if (!daemon.waitForReadyRead(5000)) return;
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    program = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, QStringLiteral("program")));
    services = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, QStringLiteral("services")));
  }
  ~PrivateBus() {
    program.reset();
    services.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("program"));
    QDBusConnection::disconnectFromBus(QStringLiteral("services"));
    daemon.kill();
    daemon.waitForFinished();
  }
  void offer(const QString& name, const QString& path, QObject* object) const {
    services->registerObject(path, object, QDBusConnection::ExportAllSlots);
    services->registerService(name);
  }
  void signal(const char* name, const QVariantList& args) const {
    QDBusMessage m = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
                                                QStringLiteral("org.freedesktop.Notifications"), QLatin1String(name));
    m.setArguments(args);
    services->send(m);
  }
};

struct DesktopBus : ::testing::Test {
  int argc = 1;
  char name[16] = "desktop_bus";
  char* argv[2] = {name, nullptr};
  QCoreApplication app{argc, argv};
  PrivateBus bus;
  void SetUp() override { ASSERT_TRUE(bus.program && bus.program->isConnected()) << "no private dbus-daemon"; }
};

TEST_F(DesktopBus, TheNotificationIsCriticalAndResidentWithStopAndSnoozeWhereTheServerOffersButtons) {
  platform::DesktopNotification n(nullptr, *bus.program);
  QSignalSpy stop(&n, &platform::DesktopNotification::stopAsked);
  QSignalSpy snooze(&n, &platform::DesktopNotification::snoozeAsked);
  // No notification server: nothing, quietly.
  n.notify(QStringLiteral("Alarm"), QStringLiteral("Wake up!"), true, true, true);
  QTest::qWait(300);
  EXPECT_FALSE(n.shown());

  // A server without buttons: the text alone.
  FakeNotifications server;
  bus.offer(QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"), &server);
  n.notify(QStringLiteral("Alarm"), QStringLiteral("Wake up!"), true, true, true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return n.shown(); }, 5000));
  ASSERT_EQ(server.shown.size(), 1);
  const auto& first = server.shown[0];
  EXPECT_EQ(first.summary + "|" + first.body, "Alarm|Wake up!");
  EXPECT_TRUE(first.actions.isEmpty());
  EXPECT_EQ(first.hints.value(QStringLiteral("urgency")).toInt(), 2);
  EXPECT_TRUE(first.hints.value(QStringLiteral("resident")).toBool());
  EXPECT_EQ(first.expire, 0);

  // With buttons, in place of the one shown; only its own buttons count.
  server.capabilities << QStringLiteral("actions");
  n.notify(QStringLiteral("Alarm"), QStringLiteral("Wake up!"), true, true, true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return server.shown.size() == 2; }, 5000));
  EXPECT_EQ(server.shown[1].replaces, 41u);
  EXPECT_EQ(server.shown[1].actions, QStringList({"stop", "Stop", "snooze", "Snooze"}));
  bus.signal("ActionInvoked", {7u, QStringLiteral("stop")});
  bus.signal("ActionInvoked", {41u, QStringLiteral("snooze")});
  ASSERT_TRUE(snooze.wait(5000));
  bus.signal("ActionInvoked", {41u, QStringLiteral("stop")});
  ASSERT_TRUE(stop.wait(5000));
  EXPECT_EQ(stop.size() + snooze.size(), 2);

  n.withdraw();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !server.closed.isEmpty(); }, 5000));
  EXPECT_EQ(server.closed, QList<uint>{41u});
  EXPECT_FALSE(n.shown());

  // A notice that goes by itself; closed by the user, it is not withdrawn again.
  n.notify(QStringLiteral("Alarm"), QStringLiteral("Missed"), false, false, false);
  ASSERT_TRUE(QTest::qWaitFor([&] { return n.shown(); }, 5000));
  EXPECT_EQ(server.shown[2].hints.value(QStringLiteral("urgency")).toInt(), 1);
  EXPECT_EQ(server.shown[2].expire, -1);
  bus.signal("NotificationClosed", {43u, 2u});
  ASSERT_TRUE(QTest::qWaitFor([&] { return !n.shown(); }, 5000));
}

TEST_F(DesktopBus, TheScreenIsWokenAndSleepBlockedUntilReleased) {
  // Neither a screen saver nor logind: nothing, quietly.
  platform::SleepInhibitor inhibitor(nullptr, *bus.program);
  inhibitor.hold(QStringLiteral("An alarm is ringing"));
  platform::wakeScreen(*bus.program);
  QTest::qWait(300);
  EXPECT_FALSE(inhibitor.held());

  FakeScreenSaver screenSaver;
  FakeLogind logind;
  bus.offer(QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop/ScreenSaver"), &screenSaver);
  bus.offer(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"), &logind);
  platform::wakeScreen(*bus.program);
  EXPECT_TRUE(QTest::qWaitFor([&] { return screenSaver.activity == 1; }, 5000));

  inhibitor.hold(QStringLiteral("An alarm is ringing"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return inhibitor.held(); }, 5000));
  EXPECT_EQ(logind.asked, QStringList{"sleep:idle block"});
  QTest::qWait(100);
  EXPECT_FALSE(logind.released());
  inhibitor.release();
  EXPECT_TRUE(logind.released());
}

}  // namespace

#include "desktop_bus_test.moc"
