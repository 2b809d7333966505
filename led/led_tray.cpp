// SPDX-License-Identifier: GPL-3.0-or-later
// The LED window and the tray icon's part of the main window.
#include "led/led_tray.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QFrame>
#include <QMenu>
#include <QMouseEvent>

#include "alarm/timetext.h"
#include "app/clock_display.h"
#include "app/frmAbout.h"
#include "app/frmMain.h"
#include "app/main_parts.h"
#include "led/frmLEDalone.h"
#include "led/window_drag.h"
#include "platform/errors.h"
#include "platform/log.h"
#include "platform/second_timer.h"
#include "platform/services.h"
#include "platform/twips.h"
#include "platform/vbtime.h"

namespace led {

QString timeTooltip(const QTime& t) {
  const QString a = platform::formatTime(t, QStringLiteral("hh:nn"));
  const int hour12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
  const QString b = QString::number(hour12) + platform::formatTime(t, QStringLiteral(":nn")) + (t.hour() < 12 ? " am" : " pm");
  return " Time: " + a + " (" + b + ") ";
}

LedTray::LedTray(frmMain& main) : main_(main), hooks_(main.ledHooks()) {
  hooks_.display->setMouseTracking(true);
  hooks_.display->installEventFilter(this);
  new WindowDrag(&main_, {hooks_.display});
  // A notification area that shows the menu itself opens it without a message to the
  // program: the entries are prepared whenever it is about to show.
  connect(hooks_.trayMenu, &QMenu::aboutToShow, this, [this] {
    if (trayBusy_) return;  // opened by the right-click handling, prepared there
    try {
      prepareTrayMenu();
    } catch (const platform::RuntimeError& e) {
      platform::showErrorBox(e, "pichook");
    }
  });
  platform::services().tray->setMenu(hooks_.trayMenu);
}

LedTray::~LedTray() { platform::services().tray->setMenu(nullptr); }

bool LedTray::ledWindowVisible() const { return led_ && led_->isVisible(); }

QPoint LedTray::mainPlaceOfLedWindow() const {
  return led_ ? led_->topLeftTwips() - QPoint(kLedOffsetLeft, kLedOffsetTop) : QPoint();
}

void LedTray::putLedDisplay(const QString& text) {
  if (ledWindowVisible()) led_->Lumicell1->putDisplay(text);
}

void LedTray::closeLedWindow() {
  if (ledWindowVisible()) led_->close();
}

void LedTray::Picture1_DblClick() {
  // The LED window is made ready before the main window goes, so a display control that
  // cannot be created or set leaves the main window where it is.
  try {
    if (!led_) led_ = std::make_unique<frmLEDalone>(main_);
    led_->rememberMainFrame();
    led_->moveToTwips({pxToTwips(main_.x()) + kLedOffsetLeft, pxToTwips(main_.y()) + kLedOffsetTop});
    led_->Lumicell1->putColor(hooks_.digits.color());
    led_->Lumicell1->putSize(hooks_.digits.size());
    platform::services().window->setTopmost(led_.get(), main_.alwaysOnTop());
    // The time from the first paint on, not the display's designed digits.
    led_->Lumicell1->putDisplay(engine::clockText(platform::services().clock->now().time(), main_.is24()));
  } catch (const platform::RuntimeError& e) {
    platform::logEvent("the LED window could not be opened: error " + std::to_string(e.number()));
    platform::showErrorBox(e, "frmMain, Picture1_DblClick");
    return;
  }
  led_->show();
  led_->raise();
  led_->activateWindow();
  main_.hide();
  main_.tickEverySecond();
  platform::logEvent(QStringLiteral("LED window shown at %1,%2").arg(led_->x()).arg(led_->y()).toStdString());
}

void LedTray::Picture1_MouseMove() {
  const QString text = timeTooltip(platform::services().clock->now().time());
  hooks_.display->setToolTip(text);
  platform::ignoreErrors("the display's tooltip", [&] { hooks_.digits.putToolTip(text); });
}

bool LedTray::eventFilter(QObject* watched, QEvent* event) {
  if (watched == hooks_.display) {
    // The left button's double-click only: the right button drags.
    if (event->type() == QEvent::MouseButtonDblClick && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
      Picture1_DblClick();
      return true;
    }
    if (event->type() == QEvent::MouseMove) Picture1_MouseMove();
  }
  return QObject::eventFilter(watched, event);
}

void LedTray::pichook_MouseMove(int message) {
  lastTrayMessage_ = message;
  if (trayBusy_) return;
  trayBusy_ = true;
  // Cleared on every way out, an error included: a guard left set would drop every later
  // message, and a window hidden in the tray could never be brought back.
  struct Clear {
    bool& flag;
    ~Clear() { flag = false; }
  } clear{trayBusy_};
  const bool desktopMenu = platform::services().tray->desktopShowsMenu();
  try {
    if (message == platform::TrayService::kDoubleClick ||
        (message == platform::TrayService::kLeftButtonUp && desktopMenu)) {
      main_.menuTrayLaunch_Click();
    } else if (message == platform::TrayService::kContext && !desktopMenu) {
      prepareTrayMenu();
      execTrayMenu();
    }
  } catch (const platform::RuntimeError& e) {
    if (e.number() != 401 && e.number() != 440) platform::showErrorBox(e, "pichook");
  }
}

namespace {

// Notes whether the program lost the focus while it watches.
class DeactivationWatch : public QObject {
 public:
  DeactivationWatch() { qApp->installEventFilter(this); }
  ~DeactivationWatch() override { qApp->removeEventFilter(this); }
  bool seen = false;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == qApp && event->type() == QEvent::ApplicationDeactivate) seen = true;
    return false;
  }
};

// A loss of focus this soon after the menu opened was under way before the click.
constexpr int kLateFocusLossMs = 500;

}  // namespace

void LedTray::execTrayMenu() {
  // Qt closes every open menu when the program loses the focus. The desktop reports that
  // loss a moment late (a tenth of a second, longer on a busy machine), so a right-click
  // just after the main window went to the tray saw the menu flash and go: it is shown
  // again, once, where it was.
  const QPoint at = QCursor::pos();
  for (int round = 0; round < 2; ++round) {
    DeactivationWatch watch;
    QElapsedTimer open;
    open.start();
    const QAction* chosen = hooks_.trayMenu->exec(at);
    if (chosen || !watch.seen || open.elapsed() > kLateFocusLossMs) return;
    platform::logEvent("tray menu closed by a late loss of focus: shown again");
  }
}

void LedTray::prepareTrayMenu() {
  hooks_.trayLaunch->setEnabled(true);
  hooks_.trayAbout->setEnabled(!(main_.aboutBox() && main_.aboutBox()->isVisible()));
  if (main_.parts().alertMessageVisible()) hooks_.trayLaunch->setEnabled(false);
  if (main_.parts().prefsVisible()) hooks_.trayLaunch->setEnabled(false);
  // The armed time; with none armed the entry goes again, rather than go on showing an
  // alarm that was deactivated.
  const bool armed = main_.engine().armed();
  hooks_.trayAlarmTime->setVisible(armed);
  if (armed) {
    hooks_.trayAlarmTime->setCheckable(true);
    hooks_.trayAlarmTime->setChecked(true);
    hooks_.trayAlarmTime->setText(engine::activatedText(main_.engine().alarmText()));
  }
}

}  // namespace led
