// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: its creation, showing and hiding, the unload question, the window
// handlers and the menus' commands. Its controls are built in frmMain_layout.cpp, its
// settings loaded and saved in frmMain_settings.cpp, and its alarm fields handled in
// frmMain_entry.cpp.
#include "app/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyleHints>
#include <QThread>
#include <QTimer>
#include <QPointer>
#include <QWindow>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <optional>

#include "app/leave_check.h"
#include "alarm/timetext.h"
#include "app/clock_display.h"
#include "app/frmAbout.h"
#include "app/frmDays.h"
#include "app/frmQuickAlarm.h"
#include "app/main_parts.h"
#include "app/program_icon.h"
#include "app/program_style.h"
#include "app/session_end.h"
#include "app/user_notice.h"
#include "platform/convert.h"
#include "platform/digits_validator.h"
#include "platform/errors.h"
#include "platform/fileexists.h"
#include "platform/log.h"
#include "platform/registry.h"
#include "platform/second_timer.h"
#include "platform/services.h"
#include "platform/sleep_watch.h"
#include "platform/store.h"
#include "platform/twips.h"
#include "platform/updown.h"
#include "platform/vbtime.h"
#include "version.h"

namespace {

using Registry::readSetting;
using Registry::writeSetting;

}  // namespace

QString trayTip(const QString& text) { return QString::fromLocal8Bit(text.toLocal8Bit().left(64)); }

frmMain::frmMain(QWidget* parent)
    : QMainWindow(parent), engine_(std::make_unique<AlarmEngine>()), parts_(std::make_unique<MainWindowParts>()) {
  engine_->setClockMode([this] { return is24(); });
  parts_->attach(*this);
  connect(engine_.get(), &AlarmEngine::statusChanged, this,
          [this](const QString& caption, bool armed) {
            setStatus(caption, armed ? kColourArmed : kColourNotArmed);
            showNextRingInTray();
          });
  connect(engine_.get(), &AlarmEngine::timeShown, this, &frmMain::showTime);
  connect(engine_.get(), &AlarmEngine::checkSwitchedOn, this, [this] {
    if (Clock) tickEverySecond();  // a clock sleeping while hidden looks again at once
  });
  connect(engine_.get(), &AlarmEngine::alarmStopped, this, [this] {
    if (menuAutoQuit->isChecked()) requestUnload(vbFormCode);
  });
  connect(engine_.get(), &AlarmEngine::nextRingChanged, this, [this] {
    if (!unloaded_) parts_->wakeFor(*this, engine_->nextRing());
    showNextRingInTray();
  });
  connect(engine_.get(), &AlarmEngine::stateChanged, this, [this] {
    if (!holdState_) storeEngineState();
  });
  // Back from sleep: the alarm is looked at now, not at the next tick.
  connect(new platform::SleepWatch(this), &platform::SleepWatch::resumed, this, &frmMain::onSecond);
  notice_ = std::make_unique<UserNotice>(this);
  connect(engine_.get(), &AlarmEngine::alarmMissed, this,
          [this](const QString& text) { notice_->tell(QStringLiteral("Alarm missed"), text); });
  platform::setStoreTroubleHandler([this](platform::StoreTrouble trouble, const std::string& file, const std::string& detail) {
    const QString path = QString::fromStdString(file), what = QString::fromStdString(detail);
    if (trouble == platform::StoreTrouble::WriteFailed && unloaded_)  // told at the next start
      notice_->tellOnce(QStringLiteral("write"), QStringLiteral("Alarm - Settings"),
                        "When Alarm ended last time, it could not save its settings in " + path + " (" + what +
                            "). What was changed in that run is lost.");
    else if (trouble == platform::StoreTrouble::WriteFailed)
      notice_->tellOnce(QStringLiteral("write"), QStringLiteral("Alarm - Settings"),
                        "Alarm cannot save its settings in " + path + " (" + what +
                            "). What you change now is lost when Alarm ends.");
    else if (trouble == platform::StoreTrouble::Unreadable)
      notice_->tellOnce("unreadable " + path, QStringLiteral("Alarm - Settings"),
                        "Alarm cannot read its settings file " + path + " (" + what +
                            "). It runs without the settings it holds, and saves nothing over it.");
    else
      notice_->tellOnce("aside " + path, QStringLiteral("Alarm - Settings"),
                        "Alarm could not read its settings file " + path + ". It was kept aside as " + what +
                            ", and Alarm started without the settings it held.");
  });
  // A steady text cursor: a blinking one would wake the program twice a second while the
  // hours field waits for input, and a clock sits idle most of its life.
  QGuiApplication::styleHints()->setCursorFlashTime(0);
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Alarm"));
  setWindowIcon(programIcon());
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  buildControls();
  buildMenus();

  Clock = new platform::SecondTimer(this);
  Clock->setObjectName(QStringLiteral("Clock"));
  connect(Clock, &platform::SecondTimer::timeout, this, &frmMain::onSecond);
  Clock->start();
  engine_->setAlarmEnabled(true);  // enabled as designed; the load disables it unless an alarm is armed

  sessionEnd_ = new SessionEndWatcher(this);
  connect(sessionEnd_, &SessionEndWatcher::sessionEnding, this, [this] {
    platform::logEvent("the session is ending");
    requestUnload(vbAppWindows);
  });
  // The keys and clicks of the window's own controls pass through eventFilter.
  for (QWidget* w : std::initializer_list<QWidget*>{txtHRS, txtMIN, txtSEC, cboAMPM, cmdSet, cmdReset, cmdPrefs, Check1})
    w->installEventFilter(this);
  // A mouse press that takes the focus out of a field is checked before the focus moves.
  new LeaveCheck(this, [this](QWidget* target) { return validateBeforePress(target); });
  Form_Initialize();
}

frmMain::~frmMain() { platform::setStoreTroubleHandler(nullptr); }

void frmMain::setParts(std::unique_ptr<MainWindowParts> parts) {
  parts_ = std::move(parts);
  parts_->attach(*this);
}

void frmMain::Form_Initialize() {
  try {
    const QString title = QString::fromUtf8(version::kProductName);
    const QString versionText =
        QStringLiteral("%1.%2.%3").arg(version::kMajor).arg(version::kMinor).arg(version::kRevision);
    platform::services().tray->add(windowIcon(), trayTip(title + " " + versionText));
  } catch (const platform::RuntimeError& e) {
    platform::services().messageBox->msgBox(
        QString::fromStdString(platform::startupErrorText(e.number(), e.description(), "frmMain, Form_Initialize")),
        platform::mb::kOkOnly, QStringLiteral("Error"));
  }
}

void frmMain::centreWindow() {
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QSize outer = frameGeometry().size();
  const QRect area = screen->geometry();
  const auto half = [](double twips) { return static_cast<int>(platform::roundHalfEven(twips)) / 2; };
  const int left = half(pxToTwips(area.width()) - pxToTwips(outer.width()));
  const int top = half(pxToTwips(area.height()) - pxToTwips(outer.height()));
  move(area.x() + twipsToPx(left), area.y() + twipsToPx(top));
}

std::optional<QPoint> frmMain::placeOnScreen(const QPoint& corner) const {
  const QRect frame(corner, frameGeometry().size());
  QRect best;
  int bestOverlap = 0;
  for (const QScreen* s : QGuiApplication::screens()) {
    const QRect area = s->availableGeometry();
    if (area.contains(frame)) return corner;
    const QRect overlap = s->geometry().intersected(frame);
    if (overlap.width() * overlap.height() > bestOverlap) {
      bestOverlap = overlap.width() * overlap.height();
      best = area;
    }
  }
  if (bestOverlap == 0) return std::nullopt;
  // Inside the work area, the title bar first when the window is larger than the area.
  return QPoint(std::max(best.left(), std::min(frame.left(), best.right() + 1 - frame.width())),
                std::max(best.top(), std::min(frame.top(), best.bottom() + 1 - frame.height())));
}

void frmMain::centreDisplay() {
  const int innerW = pxToTwips(Picture1->contentsRect().width());
  const int innerH = pxToTwips(Picture1->contentsRect().height());
  const int border = pxToTwips(Picture1->contentsRect().left());
  const auto round = [](double v) { return static_cast<int>(platform::roundHalfEven(v)); };
  Lumicell1->setLeftTwips(border + round((innerW - Lumicell1->widthTwips()) / 2.0));
  Lumicell1->setTopTwips(border + round((innerH - Lumicell1->heightTwips()) / 2.0));
}

void frmMain::setVisible(bool visible) {
  // A window that starts minimised while its icon shows in the tray is never shown: the
  // desktop would carry out the minimising late and hide the window again just as the user
  // brought it back from the tray.
  if (visible && startInTray_) {
    startInTray_ = false;
    return;
  }
  if (visible) hiddenSinceStart_ = false;
  QMainWindow::setVisible(visible);
}

void frmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  tickEverySecond();
  if (displayStale_ && !isMinimized()) engine_->Clock_Timer();
  if (!shownOnce_) {
    shownOnce_ = true;
    platform::logEvent("window shown");
    notice_->windowShown();
    if (enlargeTo_.isValid()) {
      // The outer size counts the frame, which the window manager adds once the window shows.
      QTimer::singleShot(200, this, [this] {
        const QSize frameExtra = frameGeometry().size() - geometry().size();
        centralWidget()->setFixedSize(enlargeTo_ - frameExtra - QSize(0, menuBar()->sizeHint().height()));
      });
    }
  }
}

// ---------------------------------------------------------------------------------------
// Unloading

bool frmMain::requestUnload(int unloadMode) {
  if (unloaded_) return true;
  if (unloading_) {
    // The session ends while the quit question is open: close the question; the unload
    // then goes ahead whatever it answers.
    if (unloadMode == vbAppWindows) {
      sessionEndPending_ = true;
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    }
    return false;
  }
  unloading_ = true;
  bool cancel = false;
  Form_QueryUnload(cancel, unloadMode);
  unloading_ = false;
  if (cancel && !sessionEndPending_) {
    platform::logEvent("quit cancelled");
    return false;
  }
  Form_Unload();
  return true;
}

void frmMain::Form_QueryUnload(bool& cancel, int unloadMode) {
  if (!engine_->armed() || menuAutoQuit->isChecked() || unloadMode == vbAppWindows) return;
  const int answer = platform::services().messageBox->msgBox(
      QStringLiteral("Are you sure you want to quit? (You have activated an alarm)."),
      platform::mb::kYesNo + platform::mb::kQuestion + platform::mb::kDefaultButton2, QStringLiteral("Alarm - Quit"));
  if (answer != platform::mb::kYes) cancel = true;
}

void frmMain::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (!unloaded_) requestUnload(vbFormControlMenu);
}

// ---------------------------------------------------------------------------------------
// Window handlers

void frmMain::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) {
    if (!isMinimized()) tickEverySecond();
    if (displayStale_ && !isMinimized()) engine_->Clock_Timer();  // the display catches up at once
    Form_Resize();
  }
}

void frmMain::Form_Resize() {
  if (!isMinimized() || unloaded_) return;
  // Without an icon in a notification area a hidden window could not be found again, so it
  // then stays an ordinary minimised window.
  if (!platform::services().tray->shown()) {
    platform::logEvent("window minimised");
    return;
  }
  QTimer::singleShot(0, this, [this] {
    hide();
    platform::logEvent("window hidden in the notification area");
  });
  menuTrayLaunch->setEnabled(true);
}

void frmMain::menuTrayLaunch_Click() {
  parts_->closeLedWindow();
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
  menuTrayLaunch->setEnabled(false);
}

void frmMain::setStatus(const QString& caption, int colour) {
  statusColour_ = colour;
  lblAlarm->setText(caption);
  QPalette palette = lblAlarm->palette();
  palette.setColor(QPalette::WindowText, QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
  lblAlarm->setPalette(palette);
}

void frmMain::lblAlarm_MouseMove() {
  const auto& record = engine_->previousAlarm();
  QString tip = record ? " A previous alarm was shown at: " + platform::shortDate(record->date()) + " " +
                             engine::alarmText(record->time(), is24()) + " "
                       : QStringLiteral(" There is no record of any recent alarms ");
  if (const QString next = nextRingLine(); !next.isEmpty()) tip += "\n " + next + " ";
  lblAlarm->setToolTip(tip);
}

QString frmMain::nextRingLine() const {
  const auto next = engine_->nextRing();
  return next ? engine::nextRingText(engine_->days(), *next, is24()) : QString();
}

void frmMain::showNextRingInTray() {
  if (unloaded_) return;
  const QString next = nextRingLine();
  const QString tip = trayTip(QString::fromUtf8(version::kProductName) + " " +
                              QStringLiteral("%1.%2.%3").arg(version::kMajor).arg(version::kMinor).arg(version::kRevision));
  platform::services().tray->setTip(next.isEmpty() ? tip : tip + "\n" + next);
}

void frmMain::menuAlarmDays_Click() {
  auto* dialog = new frmDays(this, engine_->days());
  connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
  connect(dialog, &QDialog::accepted, this, [this, dialog] {
    const WeekDays days = dialog->days();
    writeSetting("AlarmDays", days.text());
    engine_->setDays(days);
  });
  dialog->open();
}

void frmMain::cmdPrefs_Click() {
  parts_->showPrefs(*this);
  cmdSet->setFocus();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
  const auto type = event->type();
  if (watched == lblAlarm && type == QEvent::MouseMove) lblAlarm_MouseMove();
  if (watched == txtHRS || watched == txtMIN || watched == txtSEC) {
    auto* box = static_cast<QLineEdit*>(watched);
    if (type == QEvent::ShortcutOverride) {
      // The menus' shortcut keys win over the box's own editing keys, so Ctrl+X exits and
      // Ctrl+A shows the About box from the fields too, as they do everywhere else.
      const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
      for (const QAction* action : findChildren<QAction*>())
        if (action->isEnabled() && !action->shortcut().isEmpty() && action->shortcut() == pressed) return true;
    }
    entrySelection_.onEvent(box, event, [this] { SetSelected(); });
    if (type == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      const QString text = key->text();
      if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
        if (!validateBeforeLeaving(nullptr)) return true;
      } else if (!text.isEmpty() && text[0].isPrint() && !engine::isEntryKey(text[0].unicode())) {
        return true;  // only digits and Backspace reach the box
      }
    }
  }
  // Enter presses the default button "Set Alarm", or the button that has the focus.
  if (type == QEvent::KeyPress && watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
      auto* button = qobject_cast<QPushButton*>(watched);
      (button && button->isVisible() ? button : cmdSet)->click();
      return true;
    }
  }
  // A click that would take the focus out of an entry field checks the field first.
  if (type == QEvent::MouseButtonPress && watched->isWidgetType()) {
    auto* target = static_cast<QWidget*>(watched);
    if (target->window() == this && (target->focusPolicy() & Qt::ClickFocus) && !validateBeforeLeaving(target))
      return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void frmMain::setTopmost(bool on) { platform::services().window->setTopmost(this, on); }

frmMain::LedHooks frmMain::ledHooks() {
  return {Picture1, *Lumicell1, menuDummy, menuTrayLaunch, menuTrayAlarmTime, menuTrayAbout};
}

bool frmMain::alwaysOnTop() const { return menuAlwaysOnTop->isChecked(); }

void frmMain::tickEverySecond() {
  if (Clock->isActive()) Clock->start();
}

// ---------------------------------------------------------------------------------------
// Menus

void frmMain::menuAlwaysOnTop_Click() {
  // The action has toggled its own mark already.
  const bool on = menuAlwaysOnTop->isChecked();
  setTopmost(on);
  writeSetting("AlwaysOnTopMenu", QString::fromLatin1(platform::vbBoolText(on)));
}

void frmMain::menuAutoQuit_Click() {
  writeSetting("AutoQuitMenu", QString::fromLatin1(platform::vbBoolText(menuAutoQuit->isChecked())));
}

void frmMain::menuAutoStart_Click() {
  const bool on = menuAutoStart->isChecked();
  writeSetting("AutoStartMenu", QString::fromLatin1(platform::vbBoolText(on)));
  SetRunEntry(on);
}

void frmMain::menuHelp_Click() {
  const QString file = Registry::programFolder() + QStringLiteral("/readme.txt");
  if (!fileexists(file)) {
    platform::services().messageBox->msgBox(QStringLiteral("The Alarm readme.txt seems to be missing..."),
                                            platform::mb::kExclamation, QStringLiteral("Info"));
    return;
  }
  platform::services().shell->openTextFile(file);
}

void frmMain::menuAbout_Click() {
  if (about_ && about_->isVisible()) return;
  about_ = new frmAbout(this);
  QPointer<frmAbout> box = about_;
  box->exec();
  if (!box) about_ = nullptr;
}

void frmMain::menuExit_Click() { requestUnload(vbFormCode); }

void frmMain::menuPrefs_Click() { parts_->showPrefs(*this); }

void frmMain::menuEdit_Click() {
  const QString fields = txtHRS->text() + ":" + txtMIN->text() + ":" + txtSEC->text();
  lblHDDNfromboxes = platform::timeValue(cboAMPM->isEnabled() ? fields + " " + cboAMPM->currentText() : fields);
}

void frmMain::menuAMPM_Click(int index) {
  // 1. The marks and the list.
  if (index == 0) {
    menuAMPM[1]->setChecked(false);
    cboAMPM->setEnabled(true);
  } else {
    menuAMPM[0]->setChecked(false);
    cboAMPM->setEnabled(false);
  }
  menuAMPM[static_cast<std::size_t>(index)]->setChecked(true);

  // 2. The fields follow the mode; fields that do not form a time of day stay as they are.
  applyClockModeRange();
  if (const auto t = lblHDDNfromboxes) {
    if (is24()) {
      txtHRS->setText(platform::formatTime(*t, QStringLiteral("hh")));
      txtMIN->setText(platform::formatTime(*t, QStringLiteral("nn")));
      txtSEC->setText(platform::formatTime(*t, QStringLiteral("ss")));
    } else {
      fillFieldsFromAmPm(platform::formatTime(*t, platform::kFmtAmPm));
    }
  }

  // 3. An armed alarm's text follows the mode; the moment stays.
  engine_->followClockMode();
  // The stored alarm follows the mode too, so the next start arms the same moment.
  if (const auto t = armedFromFields_ ? engine_->dailyTime() : std::nullopt) {
    const engine::AmPmFields f = is24() ? engine::AmPmFields{platform::formatTime(*t, QStringLiteral("hh")),
                                                             platform::formatTime(*t, QStringLiteral("nn")),
                                                             platform::formatTime(*t, QStringLiteral("ss")),
                                                             cboAMPM->currentText()}
                                        : engine::cutAmPmText(platform::formatTime(*t, platform::kFmtAmPm));
    storeArmedFields(f.hours, f.minutes, f.seconds, f.half == QLatin1String("AM") ? 0 : 1);
  }

  // The displays show the new form at once, not at the next tick.
  showTime(engine::clockText(platform::services().clock->now().time(), is24()));

  // 4. Remember the mode.
  writeSetting("AMPMMenuIndex", QString::number(index));
  writeSetting("AMPMcboEnabled", QString::fromLatin1(platform::vbBoolText(cboAMPM->isEnabled())));
}

void frmMain::fillFieldsFromAmPm(const QString& s) {
  const engine::AmPmFields f = engine::cutAmPmText(s);
  txtHRS->setText(f.hours);
  txtMIN->setText(f.minutes);
  txtSEC->setText(f.seconds);
  cboAMPM->setCurrentIndex(f.half == QLatin1String("AM") ? 0 : 1);
}

void frmMain::menuLedcolour_Click(int index) {
  Lumicell1->putColor(index);
  for (int i = 0; i < 3; ++i) menuLedcolour[static_cast<std::size_t>(i)]->setChecked(i == index);
  writeSetting("LedColourMenuIndex", QString::number(index));
}

int frmMain::ledColour() const {
  for (int i = 0; i < 3; ++i)
    if (menuLedcolour[static_cast<std::size_t>(i)]->isChecked()) return i;
  return 0;
}

void frmMain::menuLedsize_Click(int index) {
  Lumicell1->putSize(index);
  menuLedsize[static_cast<std::size_t>(1 - index)]->setChecked(false);
  centreDisplay();
  menuLedsize[static_cast<std::size_t>(index)]->setChecked(true);
  writeSetting("LedSizeMenuIndex", QString::number(index));
}
