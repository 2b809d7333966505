// SPDX-License-Identifier: GPL-3.0-or-later
// Waking the computer for the alarm with the real helper: it holds a kernel wake alarm
// (as root here it may; the alarm fires without a suspend), and run as another user
// without the capability it says it cannot, which the program's wake alarm reports once.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include "platform/wake_alarm.h"

namespace {

const QString kHelper = QStringLiteral(ALARM_BIN_DIR "/alarm-wake");

TEST(WakeAlarm, TheHelperHoldsAKernelWakeAlarmAndWithoutTheCapabilityTheProgramIsToldHowToAllowIt) {
  if (::getuid() != 0) GTEST_SKIP() << "a kernel wake alarm needs root or the capability CAP_WAKE_ALARM";
  int argc = 1;
  char name[] = "wake_test";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);

  const qint64 soon = QDateTime::currentSecsSinceEpoch() + 1;
  QProcess helper;
  helper.start(kHelper, {QString::number(soon)});
  ASSERT_TRUE(helper.waitForFinished(10000));
  EXPECT_EQ(helper.exitCode(), 0);
  EXPECT_EQ(QString::fromUtf8(helper.readAllStandardOutput()), "armed " + QString::number(soon) + "\nwoke\n");

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

}  // namespace
