// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's alarm-time fields and what they arm: the entry checks, Set Alarm, the
// clock's second, and reset, deactivate and the quick alarms. The engine keeps the alarm.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <cmath>
#include <utility>

#include "alarm/timetext.h"
#include "app/clock_display.h"
#include "app/frmMain.h"
#include "app/frmQuickAlarm.h"
#include "app/main_parts.h"
#include "audio/play_sound.h"
#include "platform/convert.h"
#include "platform/errors.h"
#include "platform/log.h"
#include "platform/registry.h"
#include "platform/second_timer.h"
#include "platform/services.h"
#include "platform/updown.h"
#include "platform/vbtime.h"

namespace {

const QString kTobrin = QStringLiteral("I'm afraid I can't do that Tobrin...");
const QString kRange23 = QStringLiteral("Please enter a value in the range of 0 - 23.");
const QString kRange12 = QStringLiteral("Please enter a value in the range of 0 - 12.");
const QString kRange59 = QStringLiteral("Please enter a value in the range of 0 - 59.");

void rangeWarning(const QString& text) {
  platform::services().messageBox->msgBox(text, platform::mb::kExclamation, kTobrin);
}


// The numeric value of a field as an unsigned byte (the fields hold at most two digits).
int byteValue(const QString& text) {
  const double v = platform::vbVal(text.toStdString());
  return platform::vbCByte(std::isfinite(v) ? v : 256.0);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Alarm time entry

bool frmMain::is24() const { return menuAMPM[1]->isChecked(); }

void frmMain::SetSelected() {
  if (auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget())) box->selectAll();
}

void frmMain::useTwoNumbers(QLineEdit* box) {
  try {
    box->setText(engine::useTwoNumbersText(box->text()));
  } catch (const platform::RuntimeError& e) {
    platform::showErrorBox(e, "frmMain, Sub useTwoNumbers");
  }
}

void frmMain::cboAMPM_Click() { cmdSet->setFocus(); }

void frmMain::applyClockModeRange() {
  UpDownHRS->Min = is24() ? 0 : 1;
  UpDownHRS->Max = is24() ? 23 : 12;
}

void frmMain::UpDownHRS_Change() { applyClockModeRange(); }

bool frmMain::txtHRS_Validate() {
  const int value = byteValue(txtHRS->text());
  const int upper = is24() ? 23 : 12;
  const QString& message = is24() ? kRange23 : kRange12;
  UpDownHRS->Min = 0;
  UpDownHRS->Max = upper;
  if (txtHRS->text().isEmpty() || value > upper) {
    rangeWarning(message);
    txtHRS->setFocus();
    SetSelected();
    return false;
  }
  return true;
}

bool frmMain::txtMinSec_Validate(QLineEdit* box) {
  if (box->text().isEmpty() || byteValue(box->text()) > 59) {
    rangeWarning(kRange59);
    box->setFocus();
    SetSelected();
    return false;
  }
  return true;
}

bool frmMain::validateBeforeLeaving(QWidget* target) {
  QWidget* focus = QApplication::focusWidget();
  if (focus == target) return true;
  if (focus == txtHRS) return txtHRS_Validate();
  if (focus == txtMIN || focus == txtSEC) return txtMinSec_Validate(static_cast<QLineEdit*>(focus));
  return true;
}

bool frmMain::validateBeforePress(QWidget* target) {
  if (!target->isEnabled() || !(target->focusPolicy() & Qt::ClickFocus)) {
    // The spinners and the menus take no focus, but using them leaves the field all the
    // same; a field's own spinner steps it within its range.
    QWidget* focus = QApplication::focusWidget();
    const UpDown* own = focus == txtHRS ? UpDownHRS : focus == txtMIN ? UpDownMIN : focus == txtSEC ? UpDownSEC : nullptr;
    bool leaves = false;
    for (QWidget* w = target; w && w != this; w = w->parentWidget()) {
      if (w == own) return true;
      if (qobject_cast<UpDown*>(w) || qobject_cast<QMenuBar*>(w)) leaves = true;
    }
    if (!leaves) return true;
  }
  return validateBeforeLeaving(target);
}

// ---------------------------------------------------------------------------------------
// Arming

void frmMain::minimiseAfterArming() {
  // Never shown yet (still loading): with an icon in the tray the window starts hidden
  // there and is not shown at all; without one it starts as an ordinary minimised window.
  if (!isVisible() && !shownOnce_ && !isMinimized() && platform::services().tray->shown()) {
    if (hiddenSinceStart_) return;  // in the tray already
    startInTray_ = hiddenSinceStart_ = true;
    menuTrayLaunch->setEnabled(true);
    platform::logEvent("window hidden in the notification area");
    return;
  }
  setWindowState(windowState() | Qt::WindowMinimized);
}

void frmMain::cmdSet_Click() {
  // Enter arms without leaving the field being typed in: it is checked first, as leaving
  // it would be, so an hour the clock mode never shows is refused rather than armed.
  if (!validateBeforeLeaving(cmdSet)) return;
  int line = 0;
  try {
    line = 1;
    if (txtHRS->text().isEmpty() || platform::vbCInt(txtHRS->text().toStdString()) > 23) {
      rangeWarning(kRange23);
      txtHRS->setFocus();
      return;
    }
    line = 2;
    if (txtMIN->text().isEmpty() || platform::vbCInt(txtMIN->text().toStdString()) > 59) {
      rangeWarning(kRange59);
      txtMIN->setFocus();
      return;
    }
    line = 3;
    if (txtSEC->text().isEmpty() || platform::vbCInt(txtSEC->text().toStdString()) > 59) {
      rangeWarning(kRange59);
      txtSEC->setFocus();
      return;
    }
    line = 4;
    if (is24()) useTwoNumbers(txtHRS);
    useTwoNumbers(txtMIN);
    useTwoNumbers(txtSEC);
    line = 5;
    // In AM/PM mode the hours as the clock shows them: "07" is 7 and "0" is 12 (12:05:10 AM);
    // the field keeps what was typed.
    QString hours = txtHRS->text();
    if (!is24()) {
      const int h = platform::vbCInt(hours.toStdString());
      hours = QString::number(h == 0 ? 12 : h);
    }
    const QString text = hours + ":" + txtMIN->text() + ":" + txtSEC->text();
    line = 6;
    // Hours past 12 typed in AM/PM mode are the 24-hour clock's: 13 is 1 PM, whichever half is
    // chosen (with the half added the clock would never show that text).
    const bool halfDay = !is24() && platform::vbCInt(hours.toStdString()) <= 12;
    const auto time = platform::timeValue(halfDay ? text + " " + cboAMPM->currentText() : text);
    if (!time) throw platform::RuntimeError(platform::err::kTypeMismatch);
    const bool held = std::exchange(holdState_, true);  // stored below, with the fields
    engine_->arm(*time);
    holdState_ = held;
    line = 7;
    // Stored at once, so a crash or a power cut does not lose it.
    armedFromFields_ = true;
    storeArmedFields(txtHRS->text(), txtMIN->text(), txtSEC->text(), cboAMPM->currentIndex());
    line = 8;
    if (Check1->isChecked()) minimiseAfterArming();
  } catch (const platform::RuntimeError& e) {
    const std::string location = "frmMain, cmdSet_Click" + std::string(platform::kCrLf) + "Error on line: " +
                                 std::to_string(line);
    platform::showErrorBox(e, location);
  }
}

void frmMain::startTimer(const QString& minutes) {
  try {
    platform::ignoreErrors("stopping the music", [&] { parts_->stopPlayer(); });
    engine_->armInMinutes(minutes);
    armedFromFields_ = false;  // a quick alarm is not armed again at the next start
    if (Check1->isChecked()) minimiseAfterArming();
  } catch (const platform::RuntimeError& e) {
    platform::showErrorBox(e, "frmMain, Function startTimer");
  }
}

// ---------------------------------------------------------------------------------------
// The clock's second

void frmMain::onSecond() {
  engine_->onSecond();
  // While nothing shows the time the clock sleeps until the next second that matters.
  if (!unloaded_ && (!isVisible() || isMinimized()) && !parts_->ledWindowVisible())
    Clock->waitSeconds(engine_->idleTickSeconds());
}

void frmMain::showTime(const QString& t) {
  // A minimised or hidden window is not drawn: its display gets the time again when it shows.
  if (isVisible() && !isMinimized()) {
    Lumicell1->putDisplay(t);
    displayStale_ = false;
  } else {
    displayStale_ = true;
  }
  parts_->putLedDisplay(t);
}

void frmMain::cmdHDDNplaysound_Click() { audio::PlaySound(Registry::programFolder() + QStringLiteral("/alarm.wav")); }

// ---------------------------------------------------------------------------------------
// Reset, deactivate and the quick alarms

void frmMain::menuResetAlarm_Click() {
  auto& clock = *platform::services().clock;
  if (is24()) {
    UpDownHRS->Min = 0;
    UpDownHRS->Max = 23;
    txtHRS->setText(platform::formatTime(clock.now().time(), QStringLiteral("hh")));
    txtMIN->setText(platform::formatTime(clock.now().time(), QStringLiteral("nn")));
    txtSEC->setText(platform::formatTime(clock.now().time(), QStringLiteral("ss")));
    return;
  }
  UpDownHRS->Min = 1;
  UpDownHRS->Max = 12;
  const auto fresh = [&] { return engine::cutAmPmText(platform::formatTime(clock.now().time(), platform::kFmtAmPm)); };
  txtHRS->setText(fresh().hours);
  txtMIN->setText(fresh().minutes);
  txtSEC->setText(fresh().seconds);
  cboAMPM->setCurrentIndex(fresh().half == QLatin1String("AM") ? 0 : 1);
}

void frmMain::cmdReset_Click() {
  menuResetAlarm_Click();
  cmdSet->setFocus();
}

void frmMain::MenuDeactivateAlarm_Click() {
  engine_->deactivate();
  armedFromFields_ = false;
  if (menuAutoStart->isChecked()) {
    platform::services().messageBox->msgBox(
        QStringLiteral("Alarm deactivated.\r\n\r\nYou still have the option \"Set Alarm on Startup\" checked. If you "
                       "don't want Alarm to start next time with an activated alarm, then please un-check this option "
                       "(see menu Edit, \"Set Alarm on Startup\")."),
        platform::mb::kInformation, QStringLiteral("Tip!"));
  }
}

void frmMain::menuSetManualMins_Click() {
  if (!quickAlarm_) quickAlarm_ = new frmQuickAlarm(*this);
  quickAlarm_->showModal();
}
