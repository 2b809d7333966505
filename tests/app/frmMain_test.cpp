// SPDX-License-Identifier: GPL-3.0-or-later
// The main window on the offscreen platform with the fake clock and services: arming, the
// clock tick, the alarm check, quitting, the settings round trip, damaged settings, the
// menus, reset, deactivate and the quick alarms.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QPushButton>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <csignal>
#include <functional>
#include <utility>

#include "app/clock_display.h"
#include "app/frmAbout.h"
#include "app/frmQuickAlarm.h"
#include "platform/services_qt.h"
#include "platform/registry.h"
#include "platform/second_timer.h"
#include "platform/updown.h"
#include "platform/vbtime.h"
#include "window_fixture.h"

namespace {

using testsupport::appArgc;
using testsupport::appArgv;
using testsupport::at;
using testsupport::displayColour;
using testsupport::displayDigits;
using testsupport::displaySize;
using testsupport::fieldsOf;
using testsupport::typeInto;
using testsupport::ui;

class MainWindow : public testsupport::MainWindowTest {
 protected:
  // Unloads the window the way a user quitting does, and loads a new one from the settings.
  frmMain& reload() {
    if (!win->isUnloaded()) {
      EXPECT_TRUE(win->requestUnload(frmMain::vbFormCode));
    }
    return load();
  }
  void switchMode(int index) {
    win->menuEdit_Click();
    ui<QAction>(*win, "menuAMPM", index)->setChecked(!ui<QAction>(*win, "menuAMPM", index)->isChecked());
    win->menuAMPM_Click(index);
  }
  std::size_t fires() const { return fakes.sound.beeps.size(); }
};

const QString kTobrin = QStringLiteral("I'm afraid I can't do that Tobrin...");

// --- First start and arming --------------------------------------------------------------

TEST_F(MainWindow, FirstStartShowsTheDesignedDefaults) {
  fakes.clock.current = at(7, 5, 9);
  frmMain& w = load();
  EXPECT_EQ(w.windowTitle(), "Alarm");
  EXPECT_TRUE(w.is24());
  EXPECT_FALSE(ui<QAction>(w, "menuAMPM", 0)->isChecked());
  EXPECT_FALSE(ui<QComboBox>(w, "cboAMPM")->isEnabled());
  EXPECT_EQ(ui<QComboBox>(w, "cboAMPM")->currentText(), "PM");
  EXPECT_EQ(fieldsOf(w), "070509");
  EXPECT_TRUE(ui<QAction>(w, "menuLedcolour", 0)->isChecked());
  EXPECT_TRUE(ui<QAction>(w, "menuLedsize", 0)->isChecked());
  EXPECT_EQ(w.ledColour(), 0);
  EXPECT_FALSE(w.engine().alarmEnabled());
  EXPECT_EQ(w.engine().alarmText(), "");
  EXPECT_EQ(ui<QLabel>(w, "lblAlarm")->text(), "Alarm not activated ...");
  EXPECT_EQ(w.statusColour(), 0x404040);
  EXPECT_EQ(ui<QLabel>(w, "lblAlarm")->palette().color(QPalette::WindowText), QColor(0x40, 0x40, 0x40));
  EXPECT_FALSE(w.engine().previousAlarm());
  EXPECT_TRUE(fakes.window.topmost.empty());
  EXPECT_TRUE(ui<QPushButton>(w, "cmdSet")->isDefault());
  EXPECT_EQ(ui<QPushButton>(w, "cmdSet")->toolTip(), " Activate an alarm ");
  EXPECT_EQ(ui<QCheckBox>(w, "Check1")->text(), "Auto Set && Minimize");
  EXPECT_EQ(fakes.tray.tip, "Alarm 2.0.7");
}

TEST_F(MainWindow, ArmingIn24HourModeWidensTheFieldsAndFiresAtItsSecondOnly) {
  frmMain& w = armAt("7", "5", "0");
  EXPECT_EQ(fieldsOf(w), "070500");
  EXPECT_EQ(w.engine().alarmText(), "07:05:00");
  EXPECT_EQ(ui<QLabel>(w, "lblAlarm")->text(), "Activated  [ 07:05:00 ]");
  EXPECT_EQ(w.statusColour(), 0xC00000);
  EXPECT_TRUE(w.engine().alarmEnabled());

  tickAt(at(7, 4, 59));
  EXPECT_EQ(fires(), 0u);
  tickAt(at(7, 5, 0));
  ASSERT_EQ(fires(), 1u);
  EXPECT_EQ(fakes.sound.beeps[0], std::make_pair(1500, 500));
  // Stopped: the timer is off, the status stays, so the alarm is a daily one.
  EXPECT_FALSE(w.engine().alarmEnabled());
  EXPECT_EQ(ui<QLabel>(w, "lblAlarm")->text(), "Activated  [ 07:05:00 ]");
  tickAt(at(7, 5, 1));
  EXPECT_EQ(fires(), 1u);
}

TEST_F(MainWindow, ArmingInAmPmModeKeepsTheHourAsTypedAndAddsTheHalf) {
  frmMain& w = load();
  switchMode(0);
  EXPECT_FALSE(w.is24());
  EXPECT_TRUE(ui<QComboBox>(w, "cboAMPM")->isEnabled());
  EXPECT_EQ(stored("AMPMMenuIndex"), "0");
  EXPECT_EQ(stored("AMPMcboEnabled"), "True");
  setFields("7", "5", "0");
  ui<QComboBox>(w, "cboAMPM")->setCurrentIndex(1);
  w.cmdSet_Click();
  EXPECT_EQ(w.engine().alarmText(), "7:05:00 PM");
  EXPECT_EQ(ui<QLineEdit>(w, "txtHRS")->text(), "7");
  tickAt(at(19, 5, 0));
  EXPECT_EQ(fires(), 1u);

  // The hours arm as the clock shows them: "0" is 12 AM (and "07" is 7, typed in the used
  // window below); the field keeps what was typed.
  ui<QComboBox>(w, "cboAMPM")->setCurrentIndex(0);
  armAt("0", "05", "10");
  EXPECT_EQ(w.engine().alarmText(), "12:05:10 AM");
  EXPECT_EQ(ui<QLineEdit>(w, "txtHRS")->text(), "0");
  tickAt(at(0, 5, 9, 9));
  tickAt(at(0, 5, 10, 9));
  EXPECT_EQ(fires(), 2u);
  // The hours check of arming uses 23 in both modes: 13 is the clock's 1 PM, whichever half.
  ui<QComboBox>(w, "cboAMPM")->setCurrentIndex(0);
  armAt("13", "00", "00");
  EXPECT_TRUE(fakes.messageBox.boxes.empty());
  EXPECT_EQ(ui<QLabel>(w, "lblAlarm")->text(), "Activated  [ 1:00:00 PM ]");
  tickAt(at(13, 0, 0, 9));
  EXPECT_EQ(fires(), 3u);
}

TEST_F(MainWindow, ArmingRefusesEmptyAndOutOfRangeFieldsInOrder) {
  frmMain& w = load();
  struct Case {
    QString h, m, s, message;
  } cases[] = {
      {"", "00", "00", "Please enter a value in the range of 0 - 23."},
      {"24", "60", "00", "Please enter a value in the range of 0 - 23."},
      {"23", "60", "00", "Please enter a value in the range of 0 - 59."},
      {"23", "", "00", "Please enter a value in the range of 0 - 59."},
      {"23", "59", "60", "Please enter a value in the range of 0 - 59."},
  };
  for (const auto& c : cases) {
    fakes.messageBox.boxes.clear();
    armAt(c.h, c.m, c.s);
    ASSERT_EQ(fakes.messageBox.boxes.size(), 1u) << c.h.toStdString() << c.m.toStdString() << c.s.toStdString();
    EXPECT_EQ(fakes.messageBox.boxes[0].prompt, c.message);
    EXPECT_EQ(fakes.messageBox.boxes[0].title, kTobrin);
    EXPECT_EQ(fakes.messageBox.boxes[0].flags, 48);
    EXPECT_FALSE(w.engine().alarmEnabled());
    EXPECT_EQ(w.engine().alarmText(), "");
  }
}

TEST_F(MainWindow, AnUnexpectedErrorInArmingShowsTheLineItFailedOn) {
  armAt("ab", "00", "00");  // only a damaged state can put letters there
  ASSERT_EQ(fakes.messageBox.boxes.size(), 1u);
  const auto& box = fakes.messageBox.boxes[0];
  EXPECT_EQ(box.title, "Error");
  EXPECT_EQ(box.flags, 0);
  EXPECT_EQ(box.prompt,
            "An Error was generated:\r\n\r\nDescription:\r\nError 13 - Type mismatch\r\nfrmMain, cmdSet_Click\r\n"
            "Error on line: 1\r\n\r\nPlease inform the author with the error description above.");
}

// --- The clock tick ----------------------------------------------------------------------

TEST_F(MainWindow, ALateTickStillFiresTheSecondItSkippedAndAJumpRingsLateOrSaysItWasMissed) {
  frmMain& w = load();
  fakes.clock.current = at(6, 59, 58);
  armAt("07", "00", "00");
  tickAt(at(6, 59, 59));
  tickAt(at(7, 0, 1));  // the tick of 07:00:00 never came
  EXPECT_EQ(fires(), 1u);

  // Armed again; the clock jumps from 06:58 to half a minute past seven: it rings then.
  fakes.clock.current = at(6, 58, 0);
  w.cmdSet_Click();
  tickAt(at(7, 0, 30));
  EXPECT_EQ(fires(), 2u);
  EXPECT_TRUE(fakes.tray.messages.isEmpty());
  // The next day the clock jumps to 07:40, past the 30 minutes an alarm may be late:
  // nothing rings, the user is told, and the alarm rings the day after.
  tickAt(at(6, 58, 0, 9));
  tickAt(at(7, 40, 0, 9));
  EXPECT_EQ(fires(), 2u);
  EXPECT_EQ(fakes.tray.messages, QStringList{"Alarm missed: Alarm 07:00:00 missed: the clock moved"});
  EXPECT_EQ(ui<QLabel>(w, "lblAlarm")->text(), "Activated  [ 07:00:00 ]");
  tickAt(at(6, 59, 59, 10));
  tickAt(at(7, 0, 0, 10));
  EXPECT_EQ(fires(), 3u);
}

TEST_F(MainWindow, AStoppedAlarmIsArmedAgainAfterMidnightAndFiresTheNextDay) {
  frmMain& w = load();
  fakes.clock.current = at(6, 0, 0);
  armAt("07", "00", "00");
  tickAt(at(7, 0, 0));
  ASSERT_EQ(fires(), 1u);
  EXPECT_FALSE(w.engine().alarmEnabled());
  tickAt(at(23, 59, 59));
  EXPECT_FALSE(w.engine().alarmEnabled());
  tickAt(at(0, 0, 0, 9));
  EXPECT_TRUE(w.engine().alarmEnabled());
  tickAt(at(6, 59, 59, 9));
  EXPECT_EQ(fires(), 1u);
  tickAt(at(7, 0, 0, 9));
  EXPECT_EQ(fires(), 2u);

  // Deactivated: no re-arm after the next midnight.
  w.MenuDeactivateAlarm_Click();
  EXPECT_TRUE(fakes.messageBox.boxes.empty());
  tickAt(at(23, 59, 59, 9));
  tickAt(at(0, 0, 0, 10));
  EXPECT_FALSE(w.engine().alarmEnabled());
}

TEST_F(MainWindow, AnAlarmAtMidnightRingsOnTheSecondItIsArmedAgain) {
  load();
  fakes.clock.current = at(23, 0, 0);
  armAt("00", "00", "00");
  tickAt(at(23, 59, 59));
  tickAt(at(0, 0, 0, 9));
  ASSERT_EQ(fires(), 1u);
  tickAt(at(23, 59, 59, 9));
  tickAt(at(0, 0, 0, 10));
  EXPECT_EQ(fires(), 2u);
}

TEST_F(MainWindow, TheDisplayShowsTheTrimmedAmPmTime) {
  frmMain& w = load();
  w.show();
  tickAt(at(19, 5, 9));
  EXPECT_EQ(displayDigits(w), "19:05:09");
  switchMode(0);
  tickAt(at(19, 5, 10));
  EXPECT_EQ(displayDigits(w), "7:05:10 ");
  tickAt(at(12, 5, 9));
  EXPECT_EQ(displayDigits(w), "12:05:09 PM");
}

TEST_F(MainWindow, AHiddenWindowIsNotDrawnAndCatchesUpWhenItShowsAgain) {
  frmMain& w = load();
  w.show();
  ASSERT_EQ(displayDigits(w), "07:00:00");
  minimise();
  ASSERT_FALSE(w.isVisible());
  fakes.clock.current = at(6, 0, 0);
  armAt("07", "00", "02");
  tickAt(at(7, 0, 1));
  tickAt(at(7, 0, 2));
  EXPECT_EQ(displayDigits(w), "07:00:00");
  EXPECT_EQ(fires(), 1u);  // the alarm does not depend on the display
  w.menuTrayLaunch_Click();
  EXPECT_EQ(displayDigits(w), "07:00:02");
}

// --- Quick alarms, reset, deactivate -----------------------------------------------------

TEST_F(MainWindow, QuickAlarmsWrapRoundMidnightInBothModes) {
  frmMain& w = load();
  fakes.clock.current = at(23, 58, 0);
  ui<QAction>(w, "menuSet5Mins")->trigger();
  EXPECT_EQ(w.engine().alarmText(), "00:03:00");
  EXPECT_EQ(ui<QLabel>(w, "lblAlarm")->text(), "Activated  [ 00:03:00 ]");
  EXPECT_TRUE(w.engine().alarmEnabled());
  tickAt(at(0, 3, 0, 9));
  EXPECT_EQ(fires(), 1u);

  switchMode(0);
  fakes.clock.current = at(23, 55, 30);
  ui<QAction>(w, "menuSet10Mins")->trigger();
  EXPECT_EQ(w.engine().alarmText(), "12:05:30 AM");
  // The entry fields are not touched by a quick alarm.
  EXPECT_EQ(fakes.messageBox.boxes.size(), 0u);
}

TEST_F(MainWindow, ResetFillsTheFieldsWithTheTimeAndLeavesTheAlarmAlone) {
  frmMain& w = armAt("08", "00", "00");
  fakes.clock.current = at(19, 5, 9);
  w.menuResetAlarm_Click();
  EXPECT_EQ(fieldsOf(w), "190509");
  EXPECT_EQ(ui<QLabel>(w, "lblAlarm")->text(), "Activated  [ 08:00:00 ]");
  EXPECT_TRUE(w.engine().alarmEnabled());

  switchMode(0);
  w.menuResetAlarm_Click();
  EXPECT_EQ(fieldsOf(w, "|"), "7|05|09");
  EXPECT_EQ(ui<QComboBox>(w, "cboAMPM")->currentText(), "PM");
  EXPECT_EQ(ui<UpDown>(w, "UpDownHRS")->Min, 1);
  EXPECT_EQ(ui<UpDown>(w, "UpDownHRS")->Max, 12);
  fakes.clock.current = at(11, 5, 9);
  w.menuResetAlarm_Click();
  EXPECT_EQ(fieldsOf(w, "|"), "11|05|09");
  EXPECT_EQ(ui<QComboBox>(w, "cboAMPM")->currentText(), "AM");
}

TEST_F(MainWindow, ArmingStoresTheAlarmAtOnceSoAKilledProgramArmsItAgainWhateverTheFieldsHold) {
  put("AutoStartMenu", "True");
  frmMain& w = armAt("01", "40", "00");
  EXPECT_EQ(stored("HH") + stored("NN") + stored("SS"), "014000");
  w.cmdReset_Click();  // the fields show the time now; the alarm stays
  // Killed: no unload. The next start arms the alarm that was set, and so does a start after
  // a clean quit with other fields showing.
  fakes.clock.current = at(1, 41, 38);
  EXPECT_EQ(load().engine().alarmText(), "01:40:00");
  win->cmdReset_Click();
  fakes.messageBox.answers = {platform::mb::kYes};  // quit with the alarm set
  EXPECT_EQ(reload().engine().alarmText(), "01:40:00");
  // A deactivated alarm leaves the fields as they stand at the quit.
  win->MenuDeactivateAlarm_Click();
  win->cmdReset_Click();
  EXPECT_EQ(reload().engine().alarmText(), "01:41:38");
  // A quick alarm killed before it rang comes back.
  win->startTimer("5");
  EXPECT_EQ(load().engine().alarmText(), "01:46:38");
}

TEST_F(MainWindow, DeactivatingRemindsOfSetAlarmOnStartup) {
  frmMain& w = load();
  ui<QAction>(w, "menuAutoStart")->trigger();
  armAt("08", "00", "00");
  w.MenuDeactivateAlarm_Click();
  EXPECT_EQ(w.engine().alarmText(), "");
  EXPECT_EQ(ui<QLabel>(w, "lblAlarm")->text(), "Alarm not activated ...");
  EXPECT_EQ(w.statusColour(), 0x404040);
  EXPECT_FALSE(w.engine().alarmEnabled());
  expectOneBox("Tip!",
               "Alarm deactivated.\r\n\r\nYou still have the option \"Set Alarm on Startup\" checked. If you don't want "
               "Alarm to start next time with an activated alarm, then please un-check this option (see menu Edit, "
               "\"Set Alarm on Startup\").",
               64);
}

TEST_F(MainWindow, TheQuickAlarmDialogChecksItsRangeAndRemembersTheMinutesAsTyped) {
  frmMain& w = load();
  auto* dlg = new frmQuickAlarm(w);
  dlg->Form_Load();
  EXPECT_EQ(dlg->windowTitle(), "Quick Alarm");
  EXPECT_EQ(dlg->txtMinutes->text(), "25");
  for (const char* bad : {"0", "", "121", "999"}) {
    fakes.messageBox.boxes.clear();
    dlg->txtMinutes->setText(QString::fromLatin1(bad));
    dlg->cmdSetMinutes_Click();
    ASSERT_EQ(fakes.messageBox.boxes.size(), 1u) << bad;
    EXPECT_EQ(fakes.messageBox.boxes[0].prompt, "Please enter a value in the range of 1 - 120.");
    EXPECT_EQ(fakes.messageBox.boxes[0].title, kTobrin);
    EXPECT_EQ(stored("QuickAlarm"), "Error");
  }
  fakes.messageBox.boxes.clear();
  fakes.clock.current = at(7, 0, 0);
  dlg->txtMinutes->setText("007");
  dlg->cmdSetMinutes_Click();
  EXPECT_TRUE(fakes.messageBox.boxes.empty());
  EXPECT_EQ(stored("QuickAlarm"), "007");
  EXPECT_EQ(w.engine().alarmText(), "07:07:00");
  dlg->txtMinutes->setText("120");
  dlg->cmdSetMinutes_Click();
  EXPECT_EQ(w.engine().alarmText(), "09:00:00");

  // Cancel with an empty box puts 25 back without storing it; letters never get in.
  dlg->txtMinutes->clear();
  typeInto(dlg->txtMinutes, "a-");
  EXPECT_EQ(dlg->txtMinutes->text(), "");
  dlg->cmdCancel_Click();
  EXPECT_EQ(dlg->txtMinutes->text(), "25");
  EXPECT_EQ(stored("QuickAlarm"), "120");
}

// --- Time entry --------------------------------------------------------------------------

TEST_F(MainWindow, TheFieldsTakeDigitsAndBackspaceOnly) {
  frmMain& w = load();
  ui<QLineEdit>(w, "txtHRS")->clear();
  typeInto(ui<QLineEdit>(w, "txtHRS"), "a 1.-");
  EXPECT_EQ(ui<QLineEdit>(w, "txtHRS")->text(), "1");
  typeInto(ui<QLineEdit>(w, "txtHRS"), "2");
  EXPECT_EQ(ui<QLineEdit>(w, "txtHRS")->text(), "12");
  typeInto(ui<QLineEdit>(w, "txtHRS"), QString(QChar(8)));
  EXPECT_EQ(ui<QLineEdit>(w, "txtHRS")->text(), "1");
}

TEST_F(MainWindow, LeavingAFieldChecksItsRangeByClockMode) {
  frmMain& w = load();
  w.show();
  struct Case {
    QLineEdit* box;
    bool mode24;
    QString text;
    QString message;  // empty: accepted
  } cases[] = {
      {ui<QLineEdit>(w, "txtHRS"), true, "", "Please enter a value in the range of 0 - 23."},
      {ui<QLineEdit>(w, "txtHRS"), true, "24", "Please enter a value in the range of 0 - 23."},
      {ui<QLineEdit>(w, "txtHRS"), true, "0", ""},
      {ui<QLineEdit>(w, "txtHRS"), false, "13", "Please enter a value in the range of 0 - 12."},
      {ui<QLineEdit>(w, "txtHRS"), false, "0", ""},
      {ui<QLineEdit>(w, "txtMIN"), true, "60", "Please enter a value in the range of 0 - 59."},
      {ui<QLineEdit>(w, "txtSEC"), false, "59", ""},
      {ui<QLineEdit>(w, "txtSEC"), true, "", "Please enter a value in the range of 0 - 59."},
  };
  for (const auto& c : cases) {
    if (c.mode24 != w.is24()) switchMode(c.mode24 ? 1 : 0);
    fakes.messageBox.boxes.clear();
    c.box->setText(c.text);
    const bool ok = c.box == ui<QLineEdit>(w, "txtHRS") ? w.txtHRS_Validate() : w.txtMinSec_Validate(c.box);
    EXPECT_EQ(ok, c.message.isEmpty()) << c.text.toStdString();
    if (c.message.isEmpty()) {
      EXPECT_TRUE(fakes.messageBox.boxes.empty());
    } else {
      ASSERT_EQ(fakes.messageBox.boxes.size(), 1u) << c.text.toStdString();
      EXPECT_EQ(fakes.messageBox.boxes[0].prompt, c.message);
    }
  }
}

TEST_F(MainWindow, TheHourSpinnerStaysInTheRangeOfTheClockMode) {
  frmMain& w = load();
  ui<QLineEdit>(w, "txtHRS")->setText("23");
  ui<UpDown>(w, "UpDownHRS")->step(+1);
  EXPECT_EQ(ui<QLineEdit>(w, "txtHRS")->text(), "23");
  switchMode(0);
  ui<QLineEdit>(w, "txtHRS")->setText("1");
  ui<UpDown>(w, "UpDownHRS")->step(-1);
  EXPECT_EQ(ui<QLineEdit>(w, "txtHRS")->text(), "1");
  ui<QLineEdit>(w, "txtHRS")->setText("12");
  ui<UpDown>(w, "UpDownHRS")->step(+1);
  EXPECT_EQ(ui<QLineEdit>(w, "txtHRS")->text(), "12");
  ui<QLineEdit>(w, "txtMIN")->setText("08");
  ui<UpDown>(w, "UpDownMIN")->step(+1);
  EXPECT_EQ(ui<QLineEdit>(w, "txtMIN")->text(), "9");
}

// --- The clock-mode switch ---------------------------------------------------------------

TEST_F(MainWindow, SwitchingTheClockModeConvertsTheFieldsAndTheArmedAlarm) {
  frmMain& w = load();
  fakes.clock.current = at(6, 0, 0);
  armAt("07", "00", "00");
  setFields("19", "05", "09");
  switchMode(0);
  EXPECT_EQ(fieldsOf(w, "|"), "7|05|09");
  EXPECT_EQ(ui<QComboBox>(w, "cboAMPM")->currentIndex(), 1);
  EXPECT_EQ(w.engine().alarmText(), "7:00:00 AM");
  EXPECT_EQ(ui<QLabel>(w, "lblAlarm")->text(), "Activated  [ 7:00:00 AM ]");
  tickAt(at(7, 0, 0));
  EXPECT_EQ(fires(), 1u);

  switchMode(1);
  EXPECT_EQ(fieldsOf(w, "|"), "19|05|09");
  EXPECT_EQ(w.engine().alarmText(), "07:00:00");
  EXPECT_EQ(stored("AMPMMenuIndex"), "1");
  EXPECT_EQ(stored("AMPMcboEnabled"), "False");

  // Fields that are not a time stay as they are; the rest of the switch happens.
  setFields("", "05", "09");
  switchMode(0);
  EXPECT_EQ(fieldsOf(w, "|"), "|05|09");
  EXPECT_FALSE(w.is24());
  EXPECT_TRUE(ui<QComboBox>(w, "cboAMPM")->isEnabled());
}

// --- Quitting ----------------------------------------------------------------------------

TEST_F(MainWindow, QuittingWithAnArmedAlarmAsksAndNoKeepsEverythingRunning) {
  frmMain& w = armAt("08", "00", "00");
  fakes.messageBox.answers = {platform::mb::kNo};
  EXPECT_FALSE(w.requestUnload(frmMain::vbFormControlMenu));
  expectOneBox("Alarm - Quit", "Are you sure you want to quit? (You have activated an alarm).", 292);
  EXPECT_FALSE(w.isUnloaded());
  EXPECT_TRUE(w.engine().alarmEnabled());
  EXPECT_EQ(stored("Startup"), "Error");

  // The real box has No as its default: a stray Enter keeps the alarm.
  platform::QtMessageBoxService realBoxes;
  fakes.services.messageBox = &realBoxes;
  QString defaultButton;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    defaultButton = box->defaultButton() ? box->defaultButton()->text().remove('&') : QString();
    QTest::keyClick(box, Qt::Key_Return);
  });
  EXPECT_FALSE(w.requestUnload(frmMain::vbFormControlMenu));
  EXPECT_EQ(defaultButton, "No");
  fakes.services.messageBox = &fakes.messageBox;

  fakes.messageBox.answers = {platform::mb::kYes};
  w.show();
  ui<QAction>(w, "menuExit")->trigger();
  EXPECT_TRUE(w.isUnloaded());
  EXPECT_FALSE(w.engine().alarmEnabled());
  EXPECT_EQ(stored("Startup"), "True");
  EXPECT_FALSE(fakes.tray.isShown);
  EXPECT_FALSE(w.isVisible());
}

TEST_F(MainWindow, MenuShortcutsWinOverTheEditingKeysOfTheFields) {
  frmMain& w = load();
  w.show();
  QApplication::setActiveWindow(&w);
  ui<QLineEdit>(w, "txtHRS")->setFocus();
  ui<QLineEdit>(w, "txtHRS")->setText("07");
  ui<QLineEdit>(w, "txtHRS")->selectAll();
  QTest::keyClick(ui<QLineEdit>(w, "txtHRS"), Qt::Key_X, Qt::ControlModifier);  // Exit, not Cut
  EXPECT_TRUE(w.isUnloaded());
  EXPECT_EQ(ui<QLineEdit>(w, "txtHRS")->text(), "07");
  EXPECT_EQ(stored("HH"), "07");
}

TEST_F(MainWindow, WhileNothingShowsTheTimeTheClockWakesOnlyForTheSecondsThatMatter) {
  frmMain& w = load();  // never shown
  fakes.clock.current = at(7, 0, 0);
  armAt("07", "00", "10");
  emit ui<platform::SecondTimer>(w, "Clock")->timeout();
  // It wakes two seconds before the alarm's second, to prepare the firing, and then at it.
  EXPECT_GT(ui<platform::SecondTimer>(w, "Clock")->remainingMs(), 7000);
  EXPECT_LE(ui<platform::SecondTimer>(w, "Clock")->remainingMs(), 8010);
  fakes.clock.current = at(7, 0, 8);
  emit ui<platform::SecondTimer>(w, "Clock")->timeout();
  EXPECT_GT(ui<platform::SecondTimer>(w, "Clock")->remainingMs(), 1000);
  EXPECT_LE(ui<platform::SecondTimer>(w, "Clock")->remainingMs(), 2010);
  // At that second the alarm is due.
  fakes.clock.current = at(7, 0, 10);
  emit ui<platform::SecondTimer>(w, "Clock")->timeout();
  EXPECT_EQ(fires(), 1u);
  // Shown again, the clock ticks every second.
  w.show();
  EXPECT_LE(ui<platform::SecondTimer>(w, "Clock")->remainingMs(), 1010);
}

TEST_F(MainWindow, NoQuestionWithoutAnAlarmWithExitAfterAlarmOrAtTheSessionEnd) {
  {
    frmMain& w = load();
    EXPECT_TRUE(w.requestUnload(frmMain::vbFormControlMenu));
  }
  {
    frmMain& w = reload();
    ui<QAction>(w, "menuAutoQuit")->trigger();
    EXPECT_EQ(stored("AutoQuitMenu"), "True");
    w.cmdSet_Click();
    EXPECT_TRUE(w.requestUnload(frmMain::vbFormControlMenu));
  }
  {
    frmMain& w = load();
    ui<QAction>(w, "menuAutoQuit")->trigger();
    w.cmdSet_Click();
    EXPECT_TRUE(w.requestUnload(frmMain::vbAppWindows));
  }
  EXPECT_TRUE(fakes.messageBox.boxes.empty());
}

TEST_F(MainWindow, ATerminationSignalUnloadsWithoutAskingAndSavesEverything) {
  frmMain& w = armAt("06", "30", "00");
  ASSERT_EQ(std::raise(SIGTERM), 0);
  for (int i = 0; i < 50 && !w.isUnloaded(); ++i) QApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_TRUE(w.isUnloaded());
  EXPECT_TRUE(fakes.messageBox.boxes.empty());
  EXPECT_EQ(stored("HH") + stored("NN") + stored("SS"), "063000");
  EXPECT_EQ(stored("Startup"), "True");
}

TEST_F(MainWindow, TheSessionEndingWhileTheQuitQuestionIsOpenStillUnloadsAndSaves) {
  frmMain& w = armAt("06", "45", "00");
  fakes.messageBox.onShow = [&] { EXPECT_FALSE(w.requestUnload(frmMain::vbAppWindows)); };
  fakes.messageBox.answers = {platform::mb::kNo};
  EXPECT_TRUE(w.requestUnload(frmMain::vbFormControlMenu));
  EXPECT_TRUE(w.isUnloaded());
  EXPECT_EQ(stored("NN"), "45");
  fakes.messageBox.onShow = nullptr;
}

TEST_F(MainWindow, AnAlarmStoppedWithExitAfterAlarmEndsTheProgram) {
  frmMain& w = load();
  ui<QAction>(w, "menuAutoQuit")->trigger();
  armAt("07", "00", "01");
  tickAt(at(7, 0, 1));
  EXPECT_EQ(fires(), 1u);
  EXPECT_TRUE(w.isUnloaded());
}

// --- Settings round trip and damaged settings ---------------------------------------------

TEST_F(MainWindow, EverySettingSavedAtUnloadComesBackAtTheNextLoad) {
  frmMain& w = load();
  switchMode(0);
  setFields("9", "41", "07");
  ui<QComboBox>(w, "cboAMPM")->setCurrentIndex(0);
  ui<QCheckBox>(w, "Check1")->setChecked(true);
  w.engine().setPreviousAlarm(QDateTime(QDate(2026, 12, 7), QTime(7, 0)));
  w.move(150, 120);
  ui<QAction>(w, "menuAlwaysOnTop")->trigger();
  ui<QAction>(w, "menuAutoStart")->trigger();
  w.menuLedcolour_Click(2);
  w.menuLedsize_Click(1);
  ASSERT_TRUE(w.requestUnload(frmMain::vbFormCode));
  EXPECT_EQ(stored("Top"), "1800");
  EXPECT_EQ(stored("Left"), "2250");
  EXPECT_EQ(stored("AMPMcombo"), "0");
  EXPECT_EQ(stored("AutoMinimize"), "1");
  EXPECT_EQ(stored("PreviousAlarm"), platform::shortDate(QDate(2026, 12, 7)) + " 7:00:00 AM");

  fakes.window.topmost.clear();
  frmMain& again = reload();
  EXPECT_EQ(again.pos(), QPoint(150, 120));
  EXPECT_FALSE(again.is24());
  EXPECT_TRUE(ui<QComboBox>(again, "cboAMPM")->isEnabled());
  EXPECT_EQ(ui<QComboBox>(again, "cboAMPM")->currentIndex(), 0);
  EXPECT_TRUE(ui<QCheckBox>(again, "Check1")->isChecked());
  EXPECT_EQ(again.engine().previousAlarm(), QDateTime(QDate(2026, 12, 7), QTime(7, 0)));
  EXPECT_TRUE(ui<QAction>(again, "menuAlwaysOnTop")->isChecked());
  ASSERT_FALSE(fakes.window.topmost.empty());
  EXPECT_TRUE(fakes.window.topmost.back().second);
  EXPECT_TRUE(ui<QAction>(again, "menuLedcolour", 2)->isChecked());
  EXPECT_FALSE(ui<QAction>(again, "menuLedcolour", 0)->isChecked());
  EXPECT_EQ(again.ledColour(), 2);
  EXPECT_TRUE(ui<QAction>(again, "menuLedsize", 1)->isChecked());
  EXPECT_EQ(displaySize(again), 1);
  // "Set Alarm on Startup" armed the saved fields at once (and asked to minimise).
  EXPECT_TRUE(ui<QAction>(again, "menuAutoStart")->isChecked());
  EXPECT_EQ(fieldsOf(again), "94107");
  EXPECT_EQ(again.engine().alarmText(), "9:41:07 AM");
  EXPECT_TRUE(again.engine().alarmEnabled());
}

TEST_F(MainWindow, ANegativeOrFarAwayPositionCentresTheWindow) {
  put("Startup", "True");
  put("Left", "3000");
  put("Top", "-50");
  frmMain& w = load();
  const QPoint centred = w.pos();
  EXPECT_NE(centred.x(), 200);
  put("Top", "1e30");
  put("Left", "99999999");
  EXPECT_EQ(load().pos(), centred);
}

TEST_F(MainWindow, ADamagedSettingsFileStillOpensAUsableWindow) {
  const QString huge(10000, QLatin1Char('7'));
  put("Startup", "True");
  put("Top", "1e30");
  put("Left", huge);
  put("HH", "ab");
  put("NN", huge);
  put("AMPMcombo", "");
  put("AMPMMenuIndex", "7");
  put("AMPMcboEnabled", "maybe");
  put("LedColourMenuIndex", "7");
  put("LedSizeMenuIndex", huge);
  put("AutoMinimize", "-3");
  put("AutoStartMenu", huge);
  put("AlwaysOnTopMenu", "yes");
  put("PreviousAlarm", huge);
  fakes.clock.current = at(7, 5, 9);
  frmMain& w = load();
  EXPECT_EQ(fieldsOf(w), "070509");
  EXPECT_EQ(ui<QComboBox>(w, "cboAMPM")->currentText(), "PM");
  EXPECT_TRUE(w.is24());
  EXPECT_FALSE(ui<QComboBox>(w, "cboAMPM")->isEnabled());
  EXPECT_TRUE(ui<QAction>(w, "menuLedcolour", 0)->isChecked());
  EXPECT_EQ(displayColour(w), 0);
  EXPECT_EQ(displaySize(w), 0);
  EXPECT_EQ(w.ledColour(), 0);
  EXPECT_TRUE(ui<QAction>(w, "menuLedsize", 0)->isChecked());
  EXPECT_FALSE(ui<QCheckBox>(w, "Check1")->isChecked());
  EXPECT_FALSE(ui<QAction>(w, "menuAutoStart")->isChecked());
  EXPECT_FALSE(w.engine().alarmEnabled());
  EXPECT_TRUE(fakes.messageBox.boxes.empty());
  // The window works: it arms and fires.
  armAt("07", "06", "00");
  tickAt(at(7, 6, 0));
  EXPECT_EQ(fires(), 1u);
  // The status tooltip copes with a record that is no date.
  w.lblAlarm_MouseMove();
  EXPECT_EQ(ui<QLabel>(w, "lblAlarm")->toolTip().section('\n', 0, 0), " There is no record of any recent alarms ");
}

TEST_F(MainWindow, SettingsThatCannotBeReadOrSavedAreToldOnceInWordsWithoutBlocking) {
  const QString folder = testsupport::configHome() + "/Orvanta";
  const QString conf = folder + "/Alarm.conf";
  QFile damaged(conf);
  ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
  damaged.write("just some words\n");
  damaged.close();
  fakes.tray.hasArea = false;  // told in a box once the window shows
  frmMain& w = load();
  EXPECT_TRUE(fakes.messageBox.boxes.empty());
  w.show();
  auto told = boxesTitled("Alarm - Settings");
  ASSERT_EQ(told.size(), 1u);
  EXPECT_FALSE(told[0].blocking);
  EXPECT_TRUE(told[0].prompt.startsWith("Alarm could not read its settings file " + conf + ". It was kept aside as " +
                                        conf + ".damaged-"))
      << told[0].prompt.toStdString();

  // The folder cannot be written any more: said once, however often the settings change.
  ASSERT_TRUE(QDir(folder).removeRecursively());
  QFile blocker(folder);
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  armAt("07", "00", "00");
  armAt("08", "00", "00");
  told = boxesTitled("Alarm - Settings");
  ASSERT_EQ(told.size(), 2u);
  EXPECT_EQ(told[1].prompt, "Alarm cannot save its settings in " + conf +
                                " (Not a directory). What you change now is lost when Alarm ends.");
  EXPECT_TRUE(blocker.remove());
}

// A stored field of the alarm time that cannot be read arms nothing, and the user is told
// which; a settings write that fails as the program ends is told at its next start.
TEST_F(MainWindow, AnUnreadableAlarmFieldArmsNothingAndAWriteFailedAtExitIsToldAtTheNextStart) {
  put("AutoStartMenu", "True");
  put("HH", "07"), put("NN", "15"), put("SS", "0x");
  fakes.clock.current = at(6, 0, 29);
  EXPECT_FALSE(load().engine().armed());
  EXPECT_EQ(fakes.tray.messages, QStringList{"Alarm - Settings: Alarm could not read the alarm time in its settings: SS "
                                             "(the seconds) holds \"0x\". No alarm was set at the start; please set "
                                             "it again."});

  const QString folder = testsupport::configHome() + "/Orvanta";
  ASSERT_TRUE(QDir(folder).removeRecursively());
  QFile blocker(folder);
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  EXPECT_TRUE(win->requestUnload(frmMain::vbFormCode));
  EXPECT_EQ(fakes.tray.messages.size(), 1);  // nothing shown as the program ends
  EXPECT_TRUE(blocker.remove());
  load();
  EXPECT_EQ(fakes.tray.messages.mid(1), QStringList{"Alarm - Settings: When Alarm ended last time, it could not save its "
                                                    "settings in " + folder + "/Alarm.conf (Not a directory). What was "
                                                    "changed in that run is lost."});
}

// --- Window options ----------------------------------------------------------------------

TEST_F(MainWindow, MinimisingHidesTheWindowOnlyWhenATrayIconShows) {
  {
    frmMain& w = load();
    w.show();
    minimise();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(ui<QAction>(w, "menuTrayLaunch")->isEnabled());
    w.menuTrayLaunch_Click();
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isMinimized());
  }
  fakes.tray.hasArea = false;
  fakes.tray.isShown = false;
  frmMain& w = load();
  EXPECT_FALSE(fakes.tray.isShown);
  w.show();
  minimise();
  EXPECT_TRUE(w.isVisible());
}

TEST_F(MainWindow, AlwaysOnTopTogglesAndIsRemembered) {
  frmMain& w = load();
  ui<QAction>(w, "menuAlwaysOnTop")->trigger();
  ui<QAction>(w, "menuAlwaysOnTop")->trigger();
  ASSERT_EQ(fakes.window.topmost.size(), 2u);
  EXPECT_TRUE(fakes.window.topmost[0].second);
  EXPECT_FALSE(fakes.window.topmost[1].second);
  EXPECT_EQ(stored("AlwaysOnTopMenu"), "False");
}

TEST_F(MainWindow, SetAlarmOnStartupAddsAndRemovesTheLogOnEntry) {
  store.createKey(platform::kHkeyCurrentUser, platform::kRunSubKey);
  frmMain& w = load();
  ui<QAction>(w, "menuAutoStart")->trigger();
  EXPECT_EQ(stored("AutoStartMenu"), "True");
  EXPECT_EQ(store.readValue(platform::kHkeyCurrentUser, platform::kRunSubKey, "Alarm"),
            (dir.path() + "/Alarm").toStdString());
  ui<QAction>(w, "menuAutoStart")->trigger();
  EXPECT_EQ(stored("AutoStartMenu"), "False");
  EXPECT_FALSE(store.readValue(platform::kHkeyCurrentUser, platform::kRunSubKey, "Alarm"));
}

TEST_F(MainWindow, SetAlarmOnStartupStartsAnInstalledProgramThroughItsLauncher) {
  store.createKey(platform::kHkeyCurrentUser, platform::kRunSubKey);
  const QString prefix = dir.path() + "/my prefix";
  ASSERT_TRUE(QDir().mkpath(prefix + "/lib/alarm") && QDir().mkpath(prefix + "/bin"));
  Registry::setProgramPath(prefix + "/lib/alarm/Alarm");
  frmMain& w = load();
  const auto logOnProgram = [&] {
    ui<QAction>(w, "menuAutoStart")->trigger();
    const auto program = store.readValue(platform::kHkeyCurrentUser, platform::kRunSubKey, "Alarm");
    ui<QAction>(w, "menuAutoStart")->trigger();
    return QString::fromStdString(program.value_or("(none)"));
  };
  // Without a launcher that runs, the program starts itself.
  EXPECT_EQ(logOnProgram(), prefix + "/lib/alarm/Alarm");
  QFile launcher(prefix + "/bin/alarm");
  ASSERT_TRUE(launcher.open(QIODevice::WriteOnly));
  launcher.close();
  EXPECT_EQ(logOnProgram(), prefix + "/lib/alarm/Alarm");
  launcher.setPermissions(launcher.permissions() | QFile::ExeOwner);
  EXPECT_EQ(logOnProgram(), prefix + "/bin/alarm");
  // A copy under another name keeps its own settings, so it starts itself.
  Registry::setProgramPath(prefix + "/lib/alarm/Clock");
  EXPECT_EQ(logOnProgram(), prefix + "/lib/alarm/Clock");
}

TEST_F(MainWindow, HelpOpensTheReadmeBesideTheProgramOrSaysItIsMissing) {
  frmMain& w = load();
  ui<QAction>(w, "menuHelp")->trigger();
  expectOneBox("Info", "The Alarm readme.txt seems to be missing...", 48);
  file("readme.txt");
  ui<QAction>(w, "menuHelp")->trigger();
  EXPECT_EQ(fakes.shell.textFiles, QStringList{dir.path() + "/readme.txt"});
}

TEST_F(MainWindow, TheAboutBoxShowsTheVersionAndThisYearAndOpensOnlyOnce) {
  frmMain& w = load();
  fakes.clock.current = at(7, 0, 0).addYears(3);
  int shown = 0;
  QTimer::singleShot(0, &w, [&] {
    frmAbout* box = w.aboutBox();
    ASSERT_TRUE(box);
    ++shown;
    EXPECT_EQ(box->lblversion->text(), "Version 2.0.7");
    EXPECT_TRUE(box->lblcopyright->text().endsWith("2029"));
    w.menuAbout_Click();  // already showing: nothing happens
    box->cmdok->click();
  });
  w.menuAbout_Click();
  EXPECT_EQ(shown, 1);
}

TEST_F(MainWindow, TheStatusTooltipReportsThePreviousAlarmInTheClockMode) {
  frmMain& w = load();
  w.lblAlarm_MouseMove();
  EXPECT_EQ(ui<QLabel>(w, "lblAlarm")->toolTip(), " There is no record of any recent alarms ");
  w.engine().setPreviousAlarm(QDateTime(QDate(2026, 12, 7), QTime(19, 0)));
  w.lblAlarm_MouseMove();
  EXPECT_EQ(ui<QLabel>(w, "lblAlarm")->toolTip(),
            " A previous alarm was shown at: " + platform::shortDate(QDate(2026, 12, 7)) + " 19:00:00 ");
  switchMode(0);
  w.lblAlarm_MouseMove();
  EXPECT_TRUE(ui<QLabel>(w, "lblAlarm")->toolTip().endsWith(" 7:00:00 PM "));
}

// --- Leaving a field, by every way a user has ----------------------------------------------

// The window as a user drives it: shown, active, the focus in a field.
class UsedWindow : public MainWindow {
 protected:
  frmMain& open(bool mode24) {
    frmMain& w = load();
    if (mode24 != w.is24()) switchMode(mode24 ? 1 : 0);
    w.show();
    QApplication::setActiveWindow(&w);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    return w;
  }
  // A press and release where the window receives them, as from the mouse.
  void clickOn(QWidget* target, QPoint at = {}) {
    const QPoint local = at.isNull() ? target->rect().center() : at;
    QTest::mouseClick(win->windowHandle(), Qt::LeftButton, {}, target->mapTo(win.get(), local));
  }
  void enter(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->setText(text);
    box->selectAll();
  }
  QString lastBox() const { return fakes.messageBox.boxes.empty() ? QString() : fakes.messageBox.boxes.back().prompt; }
};

TEST_F(UsedWindow, AClickOutOfAFieldChecksItWhereverItLands) {
  frmMain& w = open(false);
  ui<QLineEdit>(w, "txtMIN")->setText("00");
  ui<QLineEdit>(w, "txtSEC")->setText("00");
  QMenuBar* bar = w.menuBar();
  const QPoint editMenu = bar->actionGeometry(ui<QMenu>(w, "menuEdit")->menuAction()).center();
  struct Target {
    const char* name;
    QWidget* widget;
    QPoint at;
  } targets[] = {{"Set Alarm", ui<QPushButton>(w, "cmdSet"), {}},
                 {"minutes", ui<QLineEdit>(w, "txtMIN"), {}},
                 {"minutes spinner", ui<UpDown>(w, "UpDownMIN")->upButton(), {}},
                 {"check box", ui<QCheckBox>(w, "Check1"), {}},
                 {"menu", bar, editMenu}};
  for (const auto& t : targets) {
    fakes.messageBox.boxes.clear();
    enter(ui<QLineEdit>(w, "txtHRS"), "13");
    clickOn(t.widget, t.at);
    EXPECT_EQ(lastBox(), "Please enter a value in the range of 0 - 12.") << t.name;
    EXPECT_TRUE(ui<QLineEdit>(w, "txtHRS")->hasFocus()) << t.name;
    EXPECT_EQ(ui<QLineEdit>(w, "txtHRS")->selectedText(), "13") << t.name;
  }
  EXPECT_EQ(w.engine().alarmText(), "");
  EXPECT_FALSE(ui<QCheckBox>(w, "Check1")->isChecked());
  EXPECT_EQ(ui<QLineEdit>(w, "txtMIN")->text(), "00");

  // The field's own spinner steps it back into the range; 12 then arms.
  fakes.messageBox.boxes.clear();
  clickOn(ui<UpDown>(w, "UpDownHRS")->downButton());
  EXPECT_EQ(ui<QLineEdit>(w, "txtHRS")->text(), "11");
  enter(ui<QLineEdit>(w, "txtHRS"), "12");
  clickOn(ui<QPushButton>(w, "cmdSet"));
  EXPECT_TRUE(fakes.messageBox.boxes.empty());
  EXPECT_EQ(w.engine().alarmText(), "12:00:00 AM");

  // Hours typed with a leading zero arm as the clock shows them, and ring in that second.
  QLineEdit* hours = ui<QLineEdit>(w, "txtHRS");
  for (const auto& [box, keys] : {std::pair{hours, "07"}, std::pair{ui<QLineEdit>(w, "txtSEC"), "15"}}) {
    enter(box, "");
    QTest::keyClicks(box, keys);
  }
  clickOn(ui<QPushButton>(w, "cmdSet"));
  EXPECT_EQ(w.engine().alarmText(), "7:00:15 AM");
  EXPECT_EQ(ui<QLineEdit>(w, "txtHRS")->text(), "07");
  tickAt(at(7, 0, 14));
  tickAt(at(7, 0, 15));
  EXPECT_EQ(fires(), 1u);
}

TEST_F(UsedWindow, EnterChecksTheFieldBeingTypedInBeforeArmingAndPressesAFocusedButton) {
  for (const bool mode24 : {false, true}) {
    frmMain& w = open(mode24);
    fakes.messageBox.boxes.clear();
    enter(ui<QLineEdit>(w, "txtHRS"), mode24 ? "24" : "15");
    QTest::keyClick(ui<QLineEdit>(w, "txtHRS"), Qt::Key_Return);
    ASSERT_EQ(fakes.messageBox.boxes.size(), 1u);
    EXPECT_EQ(lastBox(), mode24 ? "Please enter a value in the range of 0 - 23."
                                : "Please enter a value in the range of 0 - 12.");
    EXPECT_EQ(w.engine().alarmText(), "");
    EXPECT_TRUE(ui<QLineEdit>(w, "txtHRS")->hasFocus());
    enter(ui<QLineEdit>(w, "txtSEC"), "60");
    QTest::keyClick(ui<QLineEdit>(w, "txtSEC"), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(lastBox(), "Please enter a value in the range of 0 - 59.");
    EXPECT_EQ(w.engine().alarmText(), "");
  }
  // Enter on a focused button presses that button, not Set Alarm: Reset fills the fields
  // with the time, Prefs opens the preferences, and nothing is armed.
  frmMain& w = *win;
  const auto button = [&](const char* name) { return w.findChild<QPushButton*>(QLatin1String(name)); };
  const auto field = [&](const char* name) { return w.findChild<QLineEdit*>(QLatin1String(name))->text(); };
  fakes.clock.current = at(19, 5, 9);
  button("cmdReset")->setFocus();
  QTest::keyClick(button("cmdReset"), Qt::Key_Return);
  EXPECT_EQ(field("txtHRS") + field("txtMIN") + field("txtSEC"), "190509");
  button("cmdPrefs")->setFocus();
  EXPECT_TRUE(testsupport::whileModal(
      &w, [] { return qobject_cast<QDialog*>(QApplication::activeModalWidget()); },
      [&] { QTest::keyClick(button("cmdPrefs"), Qt::Key_Return); }));
  EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("lblAlarm"))->text(), "Alarm not activated ...");
}

TEST_F(UsedWindow, TabOutOfAFieldRefusesTheFirstValueOutOfRangeAndPassesTheLargestIn) {
  struct Case {
    bool mode24;
    int field;  // 0 hours, 1 minutes, 2 seconds
    QString text;
    QString message;  // empty: accepted
  } cases[] = {
      {true, 0, "23", ""},
      {true, 0, "24", "Please enter a value in the range of 0 - 23."},
      {true, 0, "", "Please enter a value in the range of 0 - 23."},
      {false, 0, "12", ""},
      {false, 0, "0", ""},
      {false, 0, "13", "Please enter a value in the range of 0 - 12."},
      {true, 1, "59", ""},
      {false, 1, "60", "Please enter a value in the range of 0 - 59."},
      {false, 2, "59", ""},
      {true, 2, "60", "Please enter a value in the range of 0 - 59."},
  };
  for (const auto& c : cases) {
    frmMain& w = open(c.mode24);
    QLineEdit* fields[] = {ui<QLineEdit>(w, "txtHRS"), ui<QLineEdit>(w, "txtMIN"), ui<QLineEdit>(w, "txtSEC")};
    QLineEdit* box = fields[c.field];
    fakes.messageBox.boxes.clear();
    enter(box, c.text);
    QTest::keyClick(box, Qt::Key_Tab);
    const std::string what = (c.mode24 ? "24h " : "AM/PM ") + std::to_string(c.field) + " '" + c.text.toStdString() + "'";
    EXPECT_EQ(lastBox(), c.message) << what;
    EXPECT_EQ(box->hasFocus(), !c.message.isEmpty()) << what;
  }
  // Keys typed right after Tab replace the next field's text and are all kept, however late
  // the window gets round to its own work (a late select-all turned "31" into "1").
  frmMain& w = open(true);
  enter(ui<QLineEdit>(w, "txtHRS"), "15");
  ui<QLineEdit>(w, "txtMIN")->setText("00");
  QTest::keyClick(ui<QLineEdit>(w, "txtHRS"), Qt::Key_Tab);
  QTest::keyClick(ui<QLineEdit>(w, "txtMIN"), Qt::Key_3);
  QCoreApplication::processEvents();
  QTest::keyClick(ui<QLineEdit>(w, "txtMIN"), Qt::Key_1);
  EXPECT_EQ(ui<QLineEdit>(w, "txtMIN")->text().toStdString(), "31");
  // So are keys already queued when the window gets the focus back (restored from the tray,
  // say): the field is selected as it takes the focus, before they arrive.
  QLineEdit* minutes = ui<QLineEdit>(w, "txtMIN");
  minutes->setText("00");
  QWidget other;
  other.show();
  QApplication::setActiveWindow(&other);
  for (const auto& [key, text] : {std::pair{Qt::Key_3, "3"}, std::pair{Qt::Key_1, "1"}})
    QCoreApplication::postEvent(w.windowHandle(), new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
  QApplication::setActiveWindow(&w);
  QCoreApplication::processEvents();
  EXPECT_EQ(minutes->text().toStdString(), "31");
}

TEST_F(UsedWindow, UpDownAndPageKeysStepAFieldWithinTheRangeOfTheClockMode) {
  frmMain& w = open(false);
  const auto keys = [&](QLineEdit* box, const QString& start, std::initializer_list<Qt::Key> presses) {
    enter(box, start);
    for (Qt::Key k : presses) QTest::keyClick(box, k);
    EXPECT_EQ(box->selectedText(), box->text());  // typing replaces the stepped value
    return box->text();
  };
  EXPECT_EQ(keys(ui<QLineEdit>(w, "txtHRS"), "12", {Qt::Key_Up}), "12");
  EXPECT_EQ(keys(ui<QLineEdit>(w, "txtHRS"), "12", {Qt::Key_Down, Qt::Key_Down}), "10");
  EXPECT_EQ(keys(ui<QLineEdit>(w, "txtHRS"), "5", {Qt::Key_PageDown}), "1");
  EXPECT_EQ(keys(ui<QLineEdit>(w, "txtHRS"), "5", {Qt::Key_PageUp}), "12");
  EXPECT_EQ(keys(ui<QLineEdit>(w, "txtSEC"), "55", {Qt::Key_Up, Qt::Key_PageUp}), "59");
  EXPECT_EQ(keys(ui<QLineEdit>(w, "txtMIN"), "00", {Qt::Key_Down}), "0");
  switchMode(1);
  EXPECT_EQ(keys(ui<QLineEdit>(w, "txtHRS"), "20", {Qt::Key_PageUp}), "23");
  EXPECT_EQ(keys(ui<QLineEdit>(w, "txtHRS"), "1", {Qt::Key_Down, Qt::Key_Down}), "0");
  EXPECT_TRUE(fakes.messageBox.boxes.empty());
}

TEST_F(UsedWindow, AutoSetAndMinimizeHidesTheWindowAfterEveryWayOfArming) {
  frmMain& w = open(true);
  ui<QCheckBox>(w, "Check1")->setChecked(true);
  enter(ui<QLineEdit>(w, "txtHRS"), "08");
  clickOn(ui<QPushButton>(w, "cmdSet"));
  QTRY_VERIFY(!w.isVisible());
  EXPECT_TRUE(w.isMinimized());
  EXPECT_EQ(w.engine().alarmText(), "08:00:00");
  w.menuTrayLaunch_Click();
  ASSERT_TRUE(w.isVisible());
  ui<QAction>(w, "menuSet5Mins")->trigger();
  QTRY_VERIFY(!w.isVisible());
  EXPECT_EQ(w.engine().alarmText(), "07:05:00");
}

TEST_F(UsedWindow, ThePositionIsNotSavedWhileTheWindowIsHiddenInTheTray) {
  put("Top", "1500");
  put("Left", "1500");
  frmMain& w = open(true);
  w.move(300, 200);
  w.setWindowState(Qt::WindowMinimized);
  QTRY_VERIFY(!w.isVisible());
  ASSERT_TRUE(w.requestUnload(frmMain::vbFormCode));
  EXPECT_EQ(stored("Top"), "1500");
  EXPECT_EQ(stored("Left"), "1500");
  EXPECT_EQ(stored("Startup"), "True");

  // Started armed with Auto Set & Minimize: the start shows nothing, Launch brings it back.
  put("AutoStartMenu", "True");
  put("AutoMinimize", "1");
  frmMain& again = load();
  again.show();
  QApplication::processEvents();
  EXPECT_FALSE(again.isVisible());
  EXPECT_TRUE(ui<QAction>(again, "menuTrayLaunch")->isEnabled());
  ASSERT_TRUE(again.requestUnload(frmMain::vbAppWindows));
  EXPECT_EQ(stored("Top"), "1500");
  frmMain& third = load();
  third.show();
  third.menuTrayLaunch_Click();
  EXPECT_TRUE(third.isVisible());
  EXPECT_FALSE(third.isMinimized());
}

TEST_F(UsedWindow, TheQuickAlarmDialogAnswersEscAndEnter) {
  frmMain& w = open(true);
  put("QuickAlarm", "30");
  // Esc: hidden, nothing stored or armed.
  QTimer::singleShot(0, &w, [&] {
    ASSERT_TRUE(w.quickAlarm() && w.quickAlarm()->isVisible());
    QTest::keyClick(w.quickAlarm()->txtMinutes, Qt::Key_Escape);
  });
  ui<QAction>(w, "menuSetManualMins")->trigger();
  EXPECT_FALSE(w.quickAlarm()->isVisible());
  EXPECT_EQ(w.engine().alarmText(), "");
  // Enter: the typed minutes are armed and stored.
  QTimer::singleShot(0, &w, [&] {
    QLineEdit* minutes = w.quickAlarm()->txtMinutes;
    EXPECT_EQ(minutes->text(), "30");
    minutes->setFocus();
    minutes->selectAll();
    QTest::keyClicks(minutes, "45");
    QTest::keyClick(minutes, Qt::Key_Return);
  });
  ui<QAction>(w, "menuSetManualMins")->trigger();
  EXPECT_FALSE(w.quickAlarm()->isVisible());
  EXPECT_EQ(w.engine().alarmText(), "07:45:00");
  EXPECT_EQ(stored("QuickAlarm"), "45");
}

// --- What the window shows ---------------------------------------------------------------

TEST_F(MainWindow, TheDisplayTakesTheNewClockModeAtOnce) {
  fakes.clock.current = at(19, 5, 9);
  frmMain& w = load();
  w.show();
  switchMode(0);
  EXPECT_EQ(displayDigits(w), "7:05:09 ");
  switchMode(1);
  EXPECT_EQ(displayDigits(w), "19:05:09");
}

TEST_F(MainWindow, TheCheckBoxIsNotClippedAndTheAboutLinkOpensTheReadme) {
  frmMain& w = load();
  EXPECT_GE(ui<QCheckBox>(w, "Check1")->height(), ui<QCheckBox>(w, "Check1")->sizeHint().height());
  EXPECT_LT(ui<QCheckBox>(w, "Check1")->geometry().bottom(), ui<QLabel>(w, "Image1")->geometry().top());

  for (const bool present : {false, true}) {
    if (present) file("readme.txt");
    fakes.messageBox.boxes.clear();
    QTimer::singleShot(0, &w, [&] { QTest::mouseClick(w.aboutBox()->lblurl, Qt::LeftButton); });
    w.menuAbout_Click();
    EXPECT_FALSE(w.aboutBox());  // the link closes the box
    if (present) {
      EXPECT_EQ(fakes.shell.opened, QStringList{dir.path() + "/readme.txt"});
      EXPECT_TRUE(fakes.messageBox.boxes.empty());
    } else {
      EXPECT_TRUE(fakes.shell.opened.isEmpty());
      EXPECT_EQ(fakes.messageBox.boxes.size(), 1u);
    }
  }
}

TEST_F(MainWindow, ANegativeLeftCentresTheWindowOnTheScreen) {
  put("Startup", "True");
  put("Top", "3000");
  put("Left", "-15");
  frmMain& w = load();
  const QRect screen = w.screen()->geometry();
  const QSize outer = w.frameGeometry().size();
  EXPECT_EQ(w.pos(), QPoint((screen.width() - outer.width()) / 2, (screen.height() - outer.height()) / 2));
}

TEST_F(MainWindow, TheEnlargeSwitchGivesTheLargerWindow) {
  // The program started with the single argument Enlarge.
  static char enlarge[] = "Enlarge";
  appArgv[1] = enlarge;
  appArgc = 2;
  frmMain& w = load();
  appArgc = 1;
  appArgv[1] = nullptr;
  EXPECT_EQ(w.frameGeometry().size(), QSize(241, 226));  // 3620 x 3395 twips
}

// --- The clock's second: re-arm, firing guard, ticks while an alert is open ----------------

// The alert window: counts the alarms raised; the first one runs the seconds that pass
// while it is open.
struct AlertParts : MainWindowParts, AlarmEngine::Ringer {
  int raised = 0;
  std::function<void()> whileOpen;
  AlarmEngine* engine = nullptr;
  void attach(frmMain& main) override {
    engine = &main.engine();
    engine->setRinger(this);
  }
  void prepareAlarm() override {}
  void raiseAlarm() override {
    ++raised;
    const auto open = std::exchange(whileOpen, nullptr);
    if (open) open();
    engine->alertEnded(AlarmEngine::AlertEnd::Stopped);
  }
};

class Seconds : public MainWindow {
 protected:
  AlertParts& alert(frmMain& w) {
    auto parts = std::make_unique<AlertParts>();
    AlertParts* p = parts.get();
    w.setParts(std::move(parts));
    return *p;
  }
  // The second as the program runs it.
  void second(const QDateTime& t) { MainWindowTest::tickAt(t); }
  frmMain& armed(bool mode24, const QString& h, const QString& m, const QString& s, const QString& half = "AM") {
    frmMain& w = load();
    if (!mode24) switchMode(0);
    setFields(h, m, s);
    ui<QComboBox>(w, "cboAMPM")->setCurrentText(half);
    w.cmdSet_Click();
    return w;
  }
};

TEST_F(Seconds, AnAlarmAtMidnightRingsInTheSecondTheClockArmsItAgain) {
  for (const bool mode24 : {true, false}) {
    fakes.clock.current = at(23, 0, 0);
    frmMain& w = mode24 ? armed(true, "00", "00", "00") : armed(false, "12", "00", "00", "AM");
    AlertParts& a = alert(w);
    second(at(23, 59, 59));
    second(at(0, 0, 0, 9));
    EXPECT_EQ(a.raised, 1) << mode24;
    EXPECT_FALSE(w.engine().alarmEnabled());
    second(at(12, 0, 0, 9));  // noon, and 1 PM where the AM/PM text goes backwards
    second(at(13, 0, 0, 9));
    second(at(23, 59, 59, 9));
    EXPECT_EQ(a.raised, 1) << mode24;
    second(at(0, 0, 0, 10));
    EXPECT_EQ(a.raised, 2) << mode24;
  }
}

TEST_F(Seconds, TicksWhileAnAlertIsOpenMoveTheClockButRaiseNoSecondAlert) {
  for (const bool mode24 : {true, false}) {
    fakes.clock.current = at(6, 0, 0);
    frmMain& w = armed(mode24, "07", "00", "00");
    if (!mode24) setFields("7", "00", "00"), w.cmdSet_Click();
    w.show();
    AlertParts& a = alert(w);
    QStringList shown;  // the display at each second from the alert's opening on
    a.whileOpen = [&] {
      shown << displayDigits(w);
      for (const QDateTime& t : {at(7, 0, 1), at(6, 59, 59), at(7, 0, 0)}) {  // the clock set back meanwhile
        second(t);
        shown << displayDigits(w);
      }
    };
    second(at(7, 0, 0));
    EXPECT_EQ(a.raised, 1) << mode24;
    EXPECT_EQ(shown,
              mode24 ? QStringList({"07:00:00", "07:00:01", "06:59:59", "07:00:00"})
                     : QStringList({"7:00:00 ", "7:00:01 ", "6:59:59 ", "7:00:00 "}));
    // Stopped: nothing rings again in the seconds after.
    second(at(7, 0, 1));
    second(at(7, 0, 2));
    EXPECT_EQ(a.raised, 1) << mode24;
  }
}

TEST_F(Seconds, AnAlertOpenAcrossMidnightLeavesTomorrowsAlarmArmed) {
  for (const bool mode24 : {true, false}) {
    fakes.clock.current = at(23, 0, 0);
    frmMain& w = mode24 ? armed(true, "23", "59", "50") : armed(false, "11", "59", "50", "PM");
    AlertParts& a = alert(w);
    a.whileOpen = [&] {
      second(at(23, 59, 59));
      second(at(0, 0, 0, 9));
      second(at(0, 0, 30, 9));
    };
    second(at(23, 59, 50));
    ASSERT_EQ(a.raised, 1) << mode24;
    EXPECT_TRUE(w.engine().alarmEnabled()) << mode24;
    second(at(23, 59, 49, 9));
    second(at(23, 59, 50, 9));
    EXPECT_EQ(a.raised, 2) << mode24;
  }
}

TEST_F(MainWindow, EverySingleDigitIsWidenedWhenArmingIn24HourMode) {
  frmMain& w = load();
  for (char d = '0'; d <= '9'; ++d) {
    const QString digit(QChar::fromLatin1(d));
    armAt(digit, digit, digit);
    EXPECT_EQ(w.engine().alarmText(), "0" + digit + ":0" + digit + ":0" + digit);
  }
}

}  // namespace
