// SPDX-License-Identifier: GPL-3.0-or-later
// Waking the computer for the alarm with the real helper: it holds a kernel wake alarm
// (as root here it may; the alarm fires without a suspend) for a moment within the coming
// year only, gives up its capability once the alarm is set and ends with its starter or
// its input. Run as another user without the capability it says it cannot, which the
// program's wake alarm reports once.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <fstream>

#include "platform/wake_alarm.h"

namespace {

const QString kHelper = QStringLiteral(ALARM_BIN_DIR "/alarm-wake");

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
  held.wakeFor(std::nullopt);
  EXPECT_FALSE(held.armed());

  platform::WakeAlarm refused(kHelper, {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                        "--inh-caps=-all", "--bounding-set=-all"});
  QSignalSpy told(&refused, &platform::WakeAlarm::cannotWake);
  refused.wakeFor(QDateTime::currentDateTime().addSecs(3600));
  ASSERT_TRUE(told.wait(5000));
  EXPECT_EQ(told.takeFirst().at(0).toString(), "sudo setcap cap_wake_alarm+ep " + kHelper);
  refused.wakeFor(QDateTime::currentDateTime().addSecs(7200));  // once a run is enough
  EXPECT_FALSE(told.wait(500));
  EXPECT_FALSE(refused.armed());
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
