// SPDX-License-Identifier: GPL-3.0-or-later
// The snooze and hide-alert interval dialogs on the offscreen platform: the intervals loaded
// from the store (or their defaults) in the box, Set, Default, Esc and the frame close.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "alarm/alarm_settings.h"
#include "notify/interval_dialog.h"
#include "platform/updown.h"
#include "window_fixture.h"

namespace {

class IntervalDialogs : public testsupport::SettingsTest {
 protected:
  // Shows the dialog modally and runs the steps inside its own event loop, as a user would.
  void whileShown(IntervalDialog& d, const std::function<void()>& steps) {
    leftOpen = testsupport::whileModal(&d, [&] { return steps(), &d; }, [&] { handedBack = d.showModal(nullptr); });
  }
  bool leftOpen = false;
  std::optional<int> handedBack = 0;
};

TEST_F(IntervalDialogs, NothingStoredGivesEightAndFifteenAndAnUnusableStoredValueTheDefault) {
  AlarmSettings settings = loadAlarmSettings();
  frmSnooze snooze;
  frmHideAlert hide;
  snooze.Form_Load(settings.snoozeMinutes);
  hide.Form_Load(settings.hideAlertMinutes);
  EXPECT_EQ(snooze.txtSnoozeMinutes->text(), "8");
  EXPECT_EQ(hide.txtHideAlertMinutes->text(), "15");
  EXPECT_EQ(snooze.windowTitle(), "Snooze Interval");
  EXPECT_EQ(hide.windowTitle(), "Hide Alarm Messages");
  EXPECT_TRUE(snooze.cmdSetSnoozeMinutes->isDefault());
  ASSERT_EQ(fakes.window.topmost.size(), 2u);  // made topmost while still hidden

  put("Snooze", "abc");
  put("HideAlert", "-3");
  settings = loadAlarmSettings();
  EXPECT_EQ(settings.snoozeMinutes, 8);
  EXPECT_EQ(settings.hideAlertMinutes, 15);
  EXPECT_EQ(stored("Snooze"), "abc");  // nothing is stored until Set

  put("Snooze", "90 ");  // more than the spinner's 59, still a usable interval
  put("HideAlert", "1440");  // a day: the alarm would never come
  settings = loadAlarmSettings();
  EXPECT_EQ(settings.snoozeMinutes, 90);
  EXPECT_EQ(settings.hideAlertMinutes, 15);
}

TEST_F(IntervalDialogs, SetHandsTheIntervalBackAndHides) {
  frmSnooze snooze;
  snooze.Form_Load(8);
  whileShown(snooze, [&] {
    snooze.txtSnoozeMinutes->selectAll();
    QTest::keyClicks(snooze.txtSnoozeMinutes, "12x");  // the box takes digits only
    QTest::keyClick(snooze.txtSnoozeMinutes, Qt::Key_Return);
  });
  EXPECT_FALSE(leftOpen);
  EXPECT_EQ(handedBack, 12);
}

TEST_F(IntervalDialogs, DefaultThenAFrameCloseHandsNothingBack) {
  frmHideAlert hide;
  hide.Form_Load(30);
  whileShown(hide, [&] {
    QTest::mouseClick(hide.cmdDefault, Qt::LeftButton);
    EXPECT_EQ(hide.txtHideAlertMinutes->text(), "15");
    hide.close();
  });
  EXPECT_FALSE(leftOpen);
  EXPECT_EQ(handedBack, std::nullopt);
}

TEST_F(IntervalDialogs, EscDoesNothingAndAnEmptyOrZeroBoxIsRefusedWithTheRange) {
  frmSnooze snooze;
  snooze.Form_Load(8);
  whileShown(snooze, [&] {
    QTest::keyClick(snooze.txtSnoozeMinutes, Qt::Key_Escape);
    EXPECT_TRUE(snooze.isVisible());
    snooze.txtSnoozeMinutes->clear();
    QTest::keyClicks(snooze.txtSnoozeMinutes, "0");
    QTest::mouseClick(snooze.cmdSetSnoozeMinutes, Qt::LeftButton);
    EXPECT_TRUE(snooze.isVisible());
    expectOneBox("I'm afraid I can't do that Tobrin...", "Please enter a value in the range of 1 - 1439.");
    // The spinner steps within the box's range, 1 to 1439.
    QTest::mouseClick(snooze.UpDown1->downButton(), Qt::LeftButton);
    EXPECT_EQ(snooze.txtSnoozeMinutes->text(), "1");
    QTest::keyClick(snooze.txtSnoozeMinutes, Qt::Key_Up);  // the arrow keys step it too
    EXPECT_EQ(snooze.txtSnoozeMinutes->text(), "2");
    snooze.txtSnoozeMinutes->setText("120");
    QTest::keyClick(snooze.txtSnoozeMinutes, Qt::Key_Up);
    EXPECT_EQ(snooze.txtSnoozeMinutes->text(), "121");
    snooze.txtSnoozeMinutes->setText("1439");
    QTest::mouseClick(snooze.UpDown1->upButton(), Qt::LeftButton);
    EXPECT_EQ(snooze.txtSnoozeMinutes->text(), "1439");
  });
  EXPECT_TRUE(leftOpen);
  EXPECT_EQ(handedBack, std::nullopt);
}

}  // namespace
