// SPDX-License-Identifier: GPL-3.0-or-later
// Waking the computer for the alarm with the real helper: it holds a kernel wake alarm
// (as root here it may; the alarm fires without a suspend) for a moment within the coming
// year only, gives up its capability once the alarm is set and ends with its starter or
// its input. Run as another user without the capability it says it cannot, which the
// program's wake alarm reports once, with a command a shell runs as it is; a helper that
// ends unasked or does not start is started again a few times, then the program is told.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "platform/wake_alarm.h"

namespace {

const QString kHelper = QStringLiteral(ALARM_BIN_DIR "/alarm-wake");
const QStringList kAsNobody = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"};

// The first child of this process's main thread (the helper a WakeAlarm runs), or 0.
pid_t helperChild() {
  std::ifstream children("/proc/self/task/" + std::to_string(::getpid()) + "/children");
  pid_t pid = 0;
  children >> pid;
  return pid;
}

// The capabilities a process may use or regain, and whether it may gain more.
std::string privileges(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line, found;
  while (std::getline(status, line))
    for (const char* key : {"CapPrm:", "CapEff:", "CapAmb:", "NoNewPrivs:"})
      if (line.rfind(key, 0) == 0) found += line + "\n";
  return found;
}
const std::string kNone = "CapPrm:\t0000000000000000\nCapEff:\t0000000000000000\nCapAmb:\t0000000000000000\nNoNewPrivs:\t1\n";

TEST(WakeAlarm, TheHelperHoldsAKernelWakeAlarmAndWithoutTheCapabilityTheProgramIsToldHowToAllowIt) {
  if (::getuid() != 0) GTEST_SKIP() << "a kernel wake alarm needs root or the capability CAP_WAKE_ALARM";
  int argc = 1;
  char name[] = "wake_test";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);

  const qint64 now = QDateTime::currentSecsSinceEpoch();
  QProcess helper;
  helper.start(kHelper, {QString::number(now + 1)});
  ASSERT_TRUE(helper.waitForFinished(10000));
  EXPECT_EQ(helper.exitCode(), 0);
  EXPECT_EQ(QString::fromUtf8(helper.readAllStandardOutput()), "armed " + QString::number(now + 1) + "\nwoke\n");
  // Only a moment after now and within a year, in digits: 0 would disarm the timer for good.
  for (const QString& moment : {QString("0"), QString(), " " + QString::number(now + 60), "+" + QString::number(now + 60),
                                QString::number(now - 1), QString::number(now + 400 * 86400), QString("9223372036854775807")}) {
    helper.start(kHelper, {moment});
    ASSERT_TRUE(helper.waitForFinished(3000)) << moment.toStdString();
    EXPECT_EQ(helper.exitCode(), 2) << moment.toStdString();
    EXPECT_TRUE(helper.readAllStandardOutput().isEmpty()) << moment.toStdString();
  }
  // Armed for an hour, it ends when its input does.
  helper.start(kHelper, {QString::number(now + 3600)});
  ASSERT_TRUE(helper.waitForReadyRead(5000));
  helper.closeWriteChannel();
  ASSERT_TRUE(helper.waitForFinished(3000));
  EXPECT_EQ(helper.exitCode(), 0);

  platform::WakeAlarm held(kHelper);
  held.wakeFor(QDateTime::currentDateTime().addSecs(3600));
  ASSERT_TRUE(QTest::qWaitFor([&] { return held.armed(); }, 5000));
  // A helper killed is started again for the same moment, a few times; then the program is
  // told, once, and starts no more.
  QSignalSpy lost(&held, &platform::WakeAlarm::cannotWake);
  for (int kill = 0; kill <= platform::WakeAlarm::kRestarts; ++kill) {
    const pid_t pid = helperChild();
    ASSERT_GT(pid, 0);
    ::kill(pid, SIGKILL);
    ASSERT_TRUE(QTest::qWaitFor([&] { return kill < platform::WakeAlarm::kRestarts ? held.armed() && helperChild() != pid
                                                                                      : !lost.isEmpty(); }, 5000)) << kill;
  }
  held.wakeFor(QDateTime::currentDateTime().addSecs(7200));
  EXPECT_FALSE(lost.wait(500) || held.armed() || helperChild() != 0);
  EXPECT_EQ(lost.first().first().toString(), QString());
  // A helper that cannot be started at all is told the same way.
  QTemporaryDir dir(QDir::tempPath() + "/alarm wake;'s-XXXXXX");
  const QString copy = dir.filePath("alarm-wake");
  std::ofstream(copy.toStdString()) << "no program\n";
  ASSERT_EQ(::chmod(dir.path().toLocal8Bit(), 0755) | ::chmod(copy.toLocal8Bit(), 0755), 0);
  platform::WakeAlarm broken(copy);
  QSignalSpy brokenLost(&broken, &platform::WakeAlarm::cannotWake);
  broken.wakeFor(QDateTime::currentDateTime().addSecs(3600));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !brokenLost.isEmpty(); }, 5000));
  EXPECT_EQ(brokenLost.first().first().toString(), QString());

  // Without the capability: the command told, run by a shell, lets the helper (here in a
  // folder whose name a shell would split) hold the alarm as that user.
  ASSERT_TRUE(QFile::remove(copy) && QFile::copy(kHelper, copy));
  platform::WakeAlarm refused(copy, kAsNobody);
  QSignalSpy told(&refused, &platform::WakeAlarm::cannotWake);
  refused.wakeFor(QDateTime::currentDateTime().addSecs(3600));
  ASSERT_TRUE(told.wait(5000));
  const QString allow = told.takeFirst().at(0).toString();
  ASSERT_TRUE(allow.startsWith("sudo ")) << allow.toStdString();
  refused.wakeFor(QDateTime::currentDateTime().addSecs(7200));  // once a run is enough
  EXPECT_FALSE(told.wait(500));
  EXPECT_FALSE(refused.armed());
  ASSERT_EQ(QProcess::execute("sh", {"-c", allow.mid(5)}), 0) << allow.toStdString();
  platform::WakeAlarm allowed(copy, kAsNobody);
  allowed.wakeFor(QDateTime::currentDateTime().addSecs(3600));
  EXPECT_TRUE(QTest::qWaitFor([&] { return allowed.armed(); }, 5000));
}

// Seen as nobody given the capability: a starter that ignores SIGTERM (which an exec passes
// on) and dies, under a subreaper that adopts the helper, while its input is held open.
TEST(WakeAlarm, TheHelperGivesUpItsCapabilityOnceArmedAndEndsWithItsStarterWhateverItInherited) {
  if (::getuid() != 0) GTEST_SKIP() << "needs root to act as nobody with the capability";
  ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
  int input[2], output[2], child[2];
  ASSERT_EQ(::pipe(input) | ::pipe(output) | ::pipe(child), 0);
  const std::string helper = kHelper.toStdString(), when = std::to_string(::time(nullptr) + 3600);
  const pid_t starter = ::fork();
  ASSERT_GE(starter, 0);
  if (starter == 0) {
    ::signal(SIGTERM, SIG_IGN);
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::dup2(input[0], 0);
      ::dup2(output[1], 1);
      ::execlp("setpriv", "setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--inh-caps=+wake_alarm",
               "--ambient-caps=+wake_alarm", helper.c_str(), when.c_str(), nullptr);
      ::_exit(127);
    }
    (void)!::write(child[1], &pid, sizeof pid);
    ::pause();
    ::_exit(0);
  }
  ::close(output[1]);
  pid_t pid = 0;
  ASSERT_EQ(::read(child[0], &pid, sizeof pid), static_cast<ssize_t>(sizeof pid));
  char line[64] = {};
  ASSERT_GT(::read(output[0], line, sizeof line - 1), 0);
  EXPECT_EQ(std::string(line), "armed " + when + "\n");
  EXPECT_EQ(privileges(pid), kNone);

  ::kill(starter, SIGKILL);
  ::waitpid(starter, nullptr, 0);
  pid_t ended = 0;
  for (int i = 0; i < 50 && ended == 0; ++i, ::usleep(100000)) ended = ::waitpid(pid, nullptr, WNOHANG);
  EXPECT_EQ(ended, pid) << "the helper outlived its starter";
  if (ended != pid) ::kill(pid, SIGKILL), ::waitpid(pid, nullptr, 0);
  for (int fd : {input[0], input[1], output[0], child[0], child[1]}) ::close(fd);
}

}  // namespace
