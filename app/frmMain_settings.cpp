// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's load and unload: the settings restored into the window and the engine
// when the program starts, and saved when it ends.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QThread>
#include <cmath>
#include <optional>

#include "alarm/alarm_settings.h"
#include "alarm/engine_state.h"
#include "alarm/timetext.h"
#include "app/clock_display.h"
#include "app/frmMain.h"
#include "app/main_parts.h"
#include "app/user_notice.h"
#include "platform/convert.h"
#include "platform/errors.h"
#include "platform/log.h"
#include "platform/registry.h"
#include "platform/second_timer.h"
#include "platform/services.h"
#include "platform/twips.h"
#include "platform/vbtime.h"

namespace {

using Registry::readSetting;
using Registry::writeSetting;


// A stored Boolean (True/False or a number) and a stored whole number. Where the conversion
// would raise an error (the value is missing, reads "Error", is no number or out of range)
// there is no value, and the statement that reads it is skipped, as an error would skip it.
std::optional<bool> settingBool(const char* name) { return platform::tryCBool((readSetting(name)).toStdString()); }
std::optional<int> settingInt(const char* name) { return platform::tryCInt((readSetting(name)).toStdString()); }

// What the user is told when a stored field of the alarm time cannot be read, so that Set
// Alarm on Startup would arm another time; empty when all of them can be read.
QString unreadableAlarmField(bool mode24) {
  struct Field {
    const char* name;
    const char* what;
  };
  for (const Field& f : {Field{"HH", "hours"}, Field{"NN", "minutes"}, Field{"SS", "seconds"}}) {
    const QString stored = readSetting(f.name);
    const QString shown = stored.left(2);  // as the field takes it
    bool digits = !shown.isEmpty();
    for (QChar c : shown) digits = digits && c.isDigit() && c.unicode() <= 127;
    if (digits) continue;
    const QString value = stored == QLatin1String("Error") ? QStringLiteral("is missing")
                                                           : "holds \"" + (stored.size() > 20 ? stored.left(20) + "..." : stored) + "\"";
    return "Alarm could not read the alarm time in its settings: " + QString::fromLatin1(f.name) + " (the " +
           QString::fromLatin1(f.what) + ") " + value + ". No alarm was set at the start; please set it again.";
  }
  if (!mode24) {
    const QString half = readSetting("AMPMcombo");
    if (half != QLatin1String("Error") && !half.isEmpty() && half != QLatin1String("0") && half != QLatin1String("1"))
      return "Alarm could not read the alarm time in its settings: AMPMcombo (AM or PM) holds \"" + half.left(20) +
             "\". No alarm was set at the start; please set it again.";
  }
  return {};
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Loading

void frmMain::Form_Load() {
  using platform::ignoreErrors;
  notice_->tellKept();  // what the last run could not tell as it ended
  // 1. The settings key.
  Registry::CreateRegistryKey(Registry::settingsKey());

  // 2. Window position (twips of the window's outer edge).
  const bool startup = settingBool("Startup").value_or(false);
  if (startup) {
    // A stored edge that is no usable number (1e30, letters) counts as a place off every screen.
    bool unusable = false;
    const auto edge = [&](const char* name, auto apply) {
      const QString stored = readSetting(name);
      const bool ok = ignoreErrors(std::string("the stored ") + name, [&] {
        const float v = platform::vbCSng(stored.toStdString());
        if (!std::isfinite(v) || std::fabs(v) > 1e7f) throw platform::RuntimeError(platform::err::kOverflow);
        apply(twipsToPx(v));
      });
      if (!ok && stored != QLatin1String("Error")) unusable = true;
    };
    edge("Top", [this](int top) { move(x(), top); });
    edge("Left", [this](int left) { move(left, y()); });
    // A negative edge centres the window, and so does a place off every screen; one partly
    // off a screen comes inside it.
    const auto place = placeOnScreen(pos());
    if (unusable || y() < 0 || x() < 0 || !place) {
      centreWindow();
    } else if (*place != pos()) {
      platform::logEvent(QStringLiteral("the stored place %1,%2 is partly off the screen: moved to %3,%4")
                             .arg(x()).arg(y()).arg(place->x()).arg(place->y()).toStdString());
      move(*place);
    }
  } else {
    centreWindow();
  }

  // 3. LED colour.
  ignoreErrors("the LED colour", [&] {
    // Absent, unreadable or beyond the menu: blue, as a first start shows.
    int index = settingInt("LedColourMenuIndex").value_or(0);
    if (index < 0) index = 1;
    if (index > 2) index = 0;
    Lumicell1->putColor(index);
    switch (index) {
      case 0: menuLedcolour[1]->setChecked(false), menuLedcolour[2]->setChecked(false); break;
      case 1: menuLedcolour[0]->setChecked(false), menuLedcolour[2]->setChecked(false); break;
      case 2: menuLedcolour[0]->setChecked(false), menuLedcolour[1]->setChecked(false); break;
      default: break;
    }
    if (index >= 0 && index < 3) menuLedcolour[static_cast<std::size_t>(index)]->setChecked(true);
  });

  // 4. LED size.
  ignoreErrors("the LED size", [&] {
    int index = settingInt("LedSizeMenuIndex").value_or(0);  // absent, unreadable or beyond the menu: small
    if (index < 0) index = 1;
    if (index > 1) index = 0;
    Lumicell1->putSize(index);
    menuLedsize[static_cast<std::size_t>(1 - index)]->setChecked(false);
    centreDisplay();
    menuLedsize[static_cast<std::size_t>(index)]->setChecked(true);
  });
  centreDisplay();

  // 5. Clock mode.
  ignoreErrors("the stored clock mode", [&] {
    QString mode = readSetting("AMPMMenuIndex");
    if (mode == QLatin1String("Error")) mode = QStringLiteral("1");
    if (mode == QLatin1String("0")) menuAMPM[1]->setChecked(false);
    if (mode == QLatin1String("1")) menuAMPM[0]->setChecked(false);
    const int index = platform::vbCInt(mode.toStdString());
    if (index < 0 || index > 1) throw platform::RuntimeError(platform::err::kSubscriptOutOfRange);
    menuAMPM[static_cast<std::size_t>(index)]->setChecked(true);
  });
  // A damaged value leaves no mode at all: 24-hour mode is what a first start shows.
  if (!menuAMPM[0]->isChecked() && !menuAMPM[1]->isChecked()) menuAMPM[1]->setChecked(true);

  // 6. The AM/PM list.
  const bool listRestored = ignoreErrors("the stored state of the AM/PM list", [&] {
    QString enabled = readSetting("AMPMcboEnabled");
    if (enabled == QLatin1String("Error")) enabled = QStringLiteral("False");
    cboAMPM->setEnabled(platform::vbCBool(enabled.toStdString()));
  });
  if (!listRestored) cboAMPM->setEnabled(!is24());  // unreadable: the list follows the clock mode

  // 7. The entry fields; a field that is not a number shows the current time in all three.
  txtHRS->setText(readSetting("HH").left(2));
  txtMIN->setText(readSetting("NN").left(2));
  txtSEC->setText(readSetting("SS").left(2));
  const auto notDigits = [](const QLineEdit* box) {
    for (QChar c : box->text())
      if (!c.isDigit() || c.unicode() > 127) return true;
    return false;
  };
  if (notDigits(txtHRS) || notDigits(txtMIN) || notDigits(txtSEC)) {
    const QTime now = platform::services().clock->now().time();
    txtHRS->setText(platform::formatTime(now, QStringLiteral("hh")));
    txtMIN->setText(platform::formatTime(now, QStringLiteral("nn")));
    txtSEC->setText(platform::formatTime(now, QStringLiteral("ss")));
  }

  // 8. AM or PM.
  ignoreErrors("the stored half of the day", [&] {
    QString half = readSetting("AMPMcombo");
    if (half == QLatin1String("Error") || half.isEmpty()) half = QStringLiteral("1");
    const int index = platform::vbCInt(half.toStdString());
    if (index < 0 || index >= cboAMPM->count()) throw platform::RuntimeError(platform::err::kInvalidPropertyValue);
    cboAMPM->setCurrentIndex(index);
  });

  // 9. Auto Set & Minimize.
  ignoreErrors("the stored Auto Set & Minimize", [&] {
    const auto stored = settingInt("AutoMinimize");
    if (!stored) return;
    const int value = *stored;
    if (value > 1) throw platform::RuntimeError(platform::err::kInvalidPropertyValue);
    Check1->setChecked(value > 0);
  });

  // The days of the week the alarm rings on: every day when none are stored.
  ignoreErrors([&] {
    const QString stored = readSetting("AlarmDays");
    if (stored == QLatin1String("Error")) return;
    if (const auto days = WeekDays::fromText(stored))
      engine_->setDays(*days);
    else
      platform::logEvent(("the stored alarm days \"" + stored + "\" cannot be read: the alarm rings every day").toStdString());
  });

  // 10. Set Alarm on Startup: arm from the restored fields.
  if (const auto on = settingBool("AutoStartMenu")) menuAutoStart->setChecked(*on);
  // A field that cannot be read arms nothing: the user is told which.
  const QString unreadable = menuAutoStart->isChecked() ? unreadableAlarmField(is24()) : QString();
  if (menuAutoStart->isChecked() && unreadable.isEmpty()) {
    ignoreErrors("arming at start", [&] { cmdSet_Click(); });
  } else {
    engine_->setAlarmEnabled(false);
    if (!unreadable.isEmpty()) notice_->tell(QStringLiteral("Alarm - Settings"), unreadable);
  }
  if (unloaded_) return;  // the session ended while a warning of the arming was open
  // What the last run kept: a pending snooze or quick alarm comes back, and the time since its
  // last check is caught up. From now on the engine's state is stored as it changes.
  holdState_ = false;
  engine_->restore(engine::readState([](const QString& name) { return readSetting(name); }));

  // 11. Always on top.
  if (const auto on = settingBool("AlwaysOnTopMenu")) {
    menuAlwaysOnTop->setChecked(*on);
    if (menuAlwaysOnTop->isChecked()) setTopmost(true);
  }

  // 12. Exit after alarm.
  if (const auto on = settingBool("AutoQuitMenu")) menuAutoQuit->setChecked(*on);

  // 13. The previous alarm.
  // (A record that is no date and time is no record.)
  engine_->setPreviousAlarm(platform::dateTimeValue(readSetting("PreviousAlarm")));

  // 14. The media player.
  ignoreErrors("the media player", [&] { parts_->createPlayer(); });

  // 15. The "Enlarge" switch: a window of 3620 x 3395 twips.
  if (commandLineText() == QLatin1String("Enlarge")) {
    enlargeTo_ = QSize(twipsToPx(3620), twipsToPx(3395));
    const QSize frameExtra = frameGeometry().size() - geometry().size();
    const QPoint framePos = pos();
    centralWidget()->setFixedSize(enlargeTo_ - frameExtra - QSize(0, menuBar()->sizeHint().height()));
    // Resizing a window that is not shown yet makes its position count without the frame;
    // place the frame where step 2 put it, or every enlarged start creeps up a title bar.
    if (layout()) layout()->activate();
    move(framePos);
  }

  engine_->Clock_Timer();
  platform::logEvent(("window loaded: fields " + txtHRS->text() + ":" + txtMIN->text() + ":" + txtSEC->text() +
                      (is24() ? ", 24-hour clock" : " " + cboAMPM->currentText() + ", AM/PM clock") +
                      QStringLiteral(", at %1,%2").arg(x()).arg(y()))
                         .toStdString());
}

QString frmMain::commandLineText() {
  QStringList args = QCoreApplication::arguments().mid(1);
  for (qsizetype i = 0; i < args.size();) {
    if (args[i] == QLatin1String("--log") && i + 1 < args.size())
      args.remove(i, 2);
    else
      ++i;
  }
  return args.join(QLatin1Char(' '));
}

// ---------------------------------------------------------------------------------------
// Unloading

void frmMain::Form_Unload() {
  using platform::ignoreErrors;
  unloaded_ = true;  // from here the LED window's closing leaves this window hidden
  notice_->keepForNextStart();  // nothing told now would be seen
  // The moment checked last, for the next start's catch-up.
  if (!holdState_) storeEngineState();
  holdState_ = true;
  engine_->setAlarmEnabled(false);
  Clock->stop();
  ignoreErrors("stopping the music", [&] { parts_->stopPlayer(); });
  ignoreErrors("removing the media player", [&] { parts_->removePlayer(); });
  ignoreErrors("the wake-up call", [&] { parts_->wakeFor(*this, std::nullopt); });

  // The position, unless minimised (hidden in the tray counts as minimised).
  if (!isMinimized() && !hiddenSinceStart_) {
    if (parts_->ledWindowVisible()) {
      // The inverse of the LED window's opening offsets, so the place never creeps.
      const QPoint main = parts_->mainPlaceOfLedWindow();
      writeSetting("Top", QString::number(main.y()));
      writeSetting("Left", QString::number(main.x()));
    } else {
      writeSetting("Top", QString::number(pxToTwips(y())));
      writeSetting("Left", QString::number(pxToTwips(x())));
    }
  }
  writeSetting("Startup", QStringLiteral("True"));
  writeSetting("AutoMinimize", Check1->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
  // The fields as they stand, unless an alarm armed from them is set: that one was stored
  // when it was armed, and is what the next start arms.
  if (!armedFromFields_) storeArmedFields(txtHRS->text(), txtMIN->text(), txtSEC->text(), cboAMPM->currentIndex());
  saveLateMinutes(engine_->lateMinutes());
  // The record as "date time" in the clock mode; no record is stored under the label's own name.
  const auto& record = engine_->previousAlarm();
  const QString recordText = record ? platform::shortDate(record->date()) + " " + engine::alarmText(record->time(), is24())
                                    : QStringLiteral("lblHDDNpreviousAlarm");
  writeSetting("PreviousAlarm", recordText);

  platform::services().tray->remove();

  // Every other window of the program, then this one.
  ignoreErrors("closing the other windows", [&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w != this && w->isVisible()) w->close();
  });
  hide();
  platform::logEvent("quit");
  // The program ends with its event loop (a window unloaded before the loop runs, as in
  // tests, has nothing to end).
  if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
}

void frmMain::storeArmedFields(const QString& h, const QString& m, const QString& s, int half) {
  // One write, with the engine's state: a program ended in between never brings back half
  // of the old alarm.
  std::vector<std::pair<QString, QString>> values = {{QStringLiteral("HH"), h}, {QStringLiteral("NN"), m},
                                                     {QStringLiteral("SS"), s}, {QStringLiteral("AMPMcombo"), QString::number(half)}};
  if (!holdState_)
    for (auto& value : engine::stateValues(engine_->state())) values.push_back(std::move(value));
  Registry::WriteRegistryValues(Registry::settingsKey(), values);
}

void frmMain::storeEngineState() {
  Registry::WriteRegistryValues(Registry::settingsKey(), engine::stateValues(engine_->state()));
}
