// The snooze and hide-alert interval dialogs on the offscreen platform: the box loaded from
// the store (or its default), Set, Default, Esc and the frame close.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "app/registry.h"
#include "app/updown.h"
#include "notify/interval_dialog.h"
#include "platform/fake_services.h"
#include "platform/log.h"
#include "platform/store.h"

namespace {

class IntervalDialogs : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char arg0[] = "interval_test";
    static char* argv[] = {arg0, nullptr};
    if (!qApp) new QApplication(argc, argv);
    platform::setLogToStderr(false);
  }
  void SetUp() override {
    platform::setDefaultStore(&store);
    Registry::setProgramPath(dir.path() + "/Alarm");
    Registry::CreateRegistryKey(Registry::settingsKey());
  }
  void TearDown() override { platform::setDefaultStore(nullptr); }
  static QString stored(const char* name) { return Registry::readSetting(QString::fromLatin1(name)); }
  static void put(const char* name, const QString& v) { Registry::writeSetting(QString::fromLatin1(name), v); }

  // Shows the dialog modally and runs the steps inside its own event loop, as a user would.
  void whileShown(IntervalDialog& d, const std::function<void()>& steps) {
    bool ran = false;
    QTimer::singleShot(0, &d, [&] {
      ran = true;
      steps();
      leftOpen = d.isVisible();
      if (leftOpen) d.done(0);
    });
    d.showModal(nullptr);
    EXPECT_TRUE(ran);
  }

  QTemporaryDir dir;
  platform::MemoryStore store;
  platform::FakeServices fakes;
  bool leftOpen = false;
};

TEST_F(IntervalDialogs, NothingStoredGivesEightAndFifteenAndAnUnusableStoredValueTheDefault) {
  frmSnooze snooze;
  frmHideAlert hide;
  snooze.Form_Load();
  hide.Form_Load();
  EXPECT_EQ(snooze.txtSnoozeMinutes->text(), "8");
  EXPECT_EQ(hide.txtHideAlertMinutes->text(), "15");
  EXPECT_EQ(snooze.windowTitle(), "Snooze Interval");
  EXPECT_EQ(hide.windowTitle(), "Hide Alarm Messages");
  EXPECT_TRUE(snooze.cmdSetSnoozeMinutes->isDefault());
  ASSERT_EQ(fakes.window.topmost.size(), 2u);  // made topmost while still hidden

  put("Snooze", "abc");
  put("HideAlert", "-3");
  frmSnooze badSnooze;
  frmHideAlert badHide;
  badSnooze.Form_Load();
  badHide.Form_Load();
  EXPECT_EQ(badSnooze.txtSnoozeMinutes->text(), "8");
  EXPECT_EQ(badHide.txtHideAlertMinutes->text(), "15");
  EXPECT_EQ(stored("Snooze"), "abc");  // nothing is stored until Set

  put("Snooze", "90");  // more than the spinner's 59, still a usable interval
  frmSnooze longSnooze;
  longSnooze.Form_Load();
  EXPECT_EQ(longSnooze.txtSnoozeMinutes->text(), "90");
}

TEST_F(IntervalDialogs, SetStoresAndHidesAndTheValueComesBack) {
  frmSnooze snooze;
  snooze.Form_Load();
  whileShown(snooze, [&] {
    snooze.txtSnoozeMinutes->selectAll();
    QTest::keyClicks(snooze.txtSnoozeMinutes, "12x");  // the box takes digits only
    QTest::keyClick(snooze.txtSnoozeMinutes, Qt::Key_Return);
  });
  EXPECT_FALSE(leftOpen);
  EXPECT_EQ(stored("Snooze"), "12");
  EXPECT_EQ(snooze.minutes(), "12");
  frmSnooze next;
  next.Form_Load();
  EXPECT_EQ(next.txtSnoozeMinutes->text(), "12");
}

TEST_F(IntervalDialogs, DefaultThenAFrameCloseChangesTheRunButNotTheStore) {
  put("HideAlert", "30");
  frmHideAlert hide;
  hide.Form_Load();
  whileShown(hide, [&] {
    QTest::mouseClick(hide.cmdDefault, Qt::LeftButton);
    hide.close();
  });
  EXPECT_FALSE(leftOpen);
  EXPECT_EQ(hide.minutes(), "15");
  EXPECT_EQ(stored("HideAlert"), "30");
}

TEST_F(IntervalDialogs, EscDoesNothingAndAnEmptyOrZeroBoxIsRefusedWithTheRange) {
  frmSnooze snooze;
  snooze.Form_Load();
  whileShown(snooze, [&] {
    QTest::keyClick(snooze.txtSnoozeMinutes, Qt::Key_Escape);
    EXPECT_TRUE(snooze.isVisible());
    snooze.txtSnoozeMinutes->clear();
    QTest::keyClicks(snooze.txtSnoozeMinutes, "0");
    QTest::mouseClick(snooze.cmdSetSnoozeMinutes, Qt::LeftButton);
    EXPECT_TRUE(snooze.isVisible());
    ASSERT_EQ(fakes.messageBox.boxes.size(), 1u);
    EXPECT_EQ(fakes.messageBox.boxes[0].prompt, "Please enter a value in the range of 1 - 1439.");
    EXPECT_EQ(fakes.messageBox.boxes[0].title, "I'm afraid I can't do that Tobrin...");
    // The spinner steps within 1 to 59.
    QTest::mouseClick(snooze.UpDown1->downButton(), Qt::LeftButton);
    EXPECT_EQ(snooze.txtSnoozeMinutes->text(), "1");
    QTest::keyClick(snooze.txtSnoozeMinutes, Qt::Key_Up);  // the arrow keys step it too
    EXPECT_EQ(snooze.txtSnoozeMinutes->text(), "2");
    snooze.txtSnoozeMinutes->setText("59");
    QTest::mouseClick(snooze.UpDown1->upButton(), Qt::LeftButton);
    EXPECT_EQ(snooze.txtSnoozeMinutes->text(), "59");
  });
  EXPECT_TRUE(leftOpen);
  EXPECT_EQ(stored("Snooze"), "Error");
}

}  // namespace
