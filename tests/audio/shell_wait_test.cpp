// SPDX-License-Identifier: GPL-3.0-or-later
// ShellandWait: the midnight rule, waiting on the program or the time-out while events
// run, the failure box, a real process, and the choice of volume application.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "audio/shell_wait.h"
#include "platform/errors.h"
#include "platform/fake_services.h"

namespace audio {
namespace {

class ScriptedProgram final : public RunningProgram {
 public:
  explicit ScriptedProgram(bool& done) : done_(done) {}
  bool hasExited() const override { return done_; }
  void end() {
    done_ = true;
    emit exited();
  }

 private:
  bool& done_;
};

class ScriptedLauncher final : public ProgramLauncher {
 public:
  std::unique_ptr<RunningProgram> start(const QString& commandLine) override {
    if (fail) throw platform::RuntimeError(platform::err::kFileNotFound);
    started << commandLine;
    ended = false;
    auto p = std::make_unique<ScriptedProgram>(ended);
    last = p.get();
    return p;
  }
  QStringList started;
  bool fail = false;
  bool ended = false;                 // whether the last program started has ended
  ScriptedProgram* last = nullptr;    // valid only while the wait runs
};

class ShellWaitTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "shell_wait_test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QApplication(argc, argv);
  }
  ShellWaitTest() { setProgramLauncher(&launcher); }
  ~ShellWaitTest() override { setProgramLauncher(nullptr); }

  // Moves the fake clock on by one second every few milliseconds of real time.
  void runClock(QTimer& t) {
    QObject::connect(&t, &QTimer::timeout, [this] { fakes.clock.addSecs(1); });
    t.start(2);
  }

  platform::FakeServices fakes;
  ScriptedLauncher launcher;
};

TEST(ShellWaitOver, TheTimeOutCountsFromTheStartAndWaitsThroughMidnight) {
  // Started at 23:59:55 with 10 s: the end is 00:00:05 of the next day.
  const double start = 86395, end = 5;
  EXPECT_FALSE(shellWaitOver(86396, start, end, true, 10));
  EXPECT_FALSE(shellWaitOver(86399.9, start, end, true, 10));
  EXPECT_FALSE(shellWaitOver(2, start, end, true, 10));
  EXPECT_FALSE(shellWaitOver(5, start, end, true, 10));
  EXPECT_TRUE(shellWaitOver(5.01, start, end, true, 10));
  // An ordinary wait ends once past its end; no limit means never.
  EXPECT_FALSE(shellWaitOver(110, 100, 110, false, 10));
  EXPECT_TRUE(shellWaitOver(110.5, 100, 110, false, 10));
  EXPECT_FALSE(shellWaitOver(99999, 100, 0, false, 0));
}

TEST_F(ShellWaitTest, ReturnsWhenTheProgramEndsWithTheWindowRunning) {
  fakes.clock.set("2026-12-08T10:00:00");
  bool done = false;
  bool timerRan = false;
  QTimer::singleShot(30, [&] { timerRan = true; });
  QTimer::singleShot(60, [&] { launcher.last->end(); });
  EXPECT_TRUE(ShellandWait("pavucontrol", 10, done, 5));
  EXPECT_TRUE(done);
  EXPECT_TRUE(timerRan);  // other events were handled during the wait
  EXPECT_EQ(launcher.started, QStringList{"pavucontrol"});
  EXPECT_TRUE(launcher.ended);
  EXPECT_EQ(fakes.clock.now().time(), QTime(10, 0, 0));
}

TEST_F(ShellWaitTest, GivesUpAfterTheTimeOutWhileTheProgramStaysOpen) {
  fakes.clock.set("2026-12-08T10:00:00");
  QTimer clock;
  runClock(clock);
  bool done = false;
  EXPECT_TRUE(ShellandWait("pavucontrol", 10, done, 1));
  EXPECT_TRUE(done);
  EXPECT_FALSE(launcher.ended);
  const int waited = QTime(10, 0, 0).secsTo(fakes.clock.now().time());
  EXPECT_GE(waited, 11);
  EXPECT_LE(waited, 13);
}

TEST_F(ShellWaitTest, AWaitStartedJustBeforeMidnightEndsFiveSecondsAfterIt) {
  fakes.clock.set("2026-12-08T23:59:55");
  QTimer clock;
  runClock(clock);
  bool done = false;
  EXPECT_TRUE(ShellandWait("pavucontrol", 10, done, 1));
  const QDateTime ended = fakes.clock.now();
  EXPECT_EQ(ended.date(), QDate(2026, 12, 9));
  EXPECT_GE(ended.time(), QTime(0, 0, 6));
  EXPECT_LE(ended.time(), QTime(0, 0, 8));
}

TEST_F(ShellWaitTest, AWaitWhoseEndFallsExactlyOnMidnightEndsJustAfterIt) {
  fakes.clock.set("2026-12-08T23:59:50");
  QTimer clock;
  runClock(clock);
  // Should the end never be seen, the program ends by itself well after it.
  QObject::connect(&clock, &QTimer::timeout, [&] {
    if (fakes.clock.now().time() == QTime(0, 1, 0) && launcher.last) launcher.last->end();
  });
  bool done = false;
  EXPECT_TRUE(ShellandWait("pavucontrol", 10, done, 1));
  const QDateTime ended = fakes.clock.now();
  EXPECT_EQ(ended.date(), QDate(2026, 12, 9));
  EXPECT_GE(ended.time(), QTime(0, 0, 1));
  EXPECT_LE(ended.time(), QTime(0, 0, 3));
  EXPECT_FALSE(launcher.ended) << "the time-out ended the wait, not the program";
}

TEST_F(ShellWaitTest, AProgramThatCannotStartShowsTheOopsBox) {
  launcher.fail = true;
  bool done = true;
  EXPECT_FALSE(ShellandWait("sndvol.exe /t", 10, done));
  EXPECT_FALSE(done);
  ASSERT_EQ(fakes.messageBox.boxes.size(), 1u);
  EXPECT_EQ(fakes.messageBox.boxes[0].title, "Oops");
  EXPECT_EQ(fakes.messageBox.boxes[0].prompt, "Sorry, couldn't start the audio volume application.  ");
  EXPECT_EQ(fakes.messageBox.boxes[0].flags, platform::mb::kExclamation);
}

TEST_F(ShellWaitTest, ARealProgramIsWaitedForUntilItExits) {
  setProgramLauncher(nullptr);
  fakes.clock.set("2026-12-08T10:00:00");
  // The fake clock stands still, so only the program's end can stop the wait; should that
  // never be noticed, the clock jumps after a while and the test fails instead of hanging.
  QTimer::singleShot(20000, [&] { fakes.clock.addSecs(3600); });
  bool done = false;
  EXPECT_TRUE(ShellandWait("sleep 0.3", 10, done));
  EXPECT_TRUE(done);
  EXPECT_EQ(fakes.clock.now().time(), QTime(10, 0, 0)) << "the end of the program went unnoticed";

  done = true;
  EXPECT_FALSE(ShellandWait("/nonexistent/volume-app --tray", 10, done));
  EXPECT_FALSE(done);
}

TEST(VolumeApplication, OlderSystemsUseSndvol32AndOthersAMixerProgram) {
  EXPECT_EQ(volumeApplicationCommand("Windows 98"), "sndvol32.exe /t");
  EXPECT_EQ(volumeApplicationCommand("Windows Server 2003"), "sndvol32.exe /t");
  EXPECT_EQ(volumeApplicationCommand("Windows 7"), "sndvol.exe /t");
  const QString here = volumeApplicationCommand("Unknown");
  EXPECT_FALSE(here.isEmpty());
  EXPECT_FALSE(here.contains("sndvol"));
}

}  // namespace
}  // namespace audio
