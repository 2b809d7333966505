// SPDX-License-Identifier: GPL-3.0-or-later
// The detached LED clock window.
#include "led/frmLEDalone.h"

#include <QCloseEvent>
#include <QFrame>
#include <QMouseEvent>

#include "app/clock_display.h"
#include "app/frmMain.h"
#include "app/program_icon.h"
#include "led/window_drag.h"
#include "platform/convert.h"
#include "platform/log.h"
#include "platform/twips.h"

namespace {

int roundTwips(double v) { return static_cast<int>(platform::roundHalfEven(v)); }

}  // namespace

frmLEDalone::frmLEDalone(frmMain& main) : main_(main) {
  setObjectName(QStringLiteral("frmLEDalone"));
  setWindowTitle(QStringLiteral("Alarm"));
  setWindowIcon(programIcon());
  // A window of its own in the task list (no owner), so it can always be found again.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  Picture1 = makeDisplayBox(this);
  Picture1->setGeometry(0, 0, twipsToPx(2835), twipsToPx(480));
  setFixedSize(Picture1->size());
  Lumicell1 = ClockDisplay::create(Picture1);
  Picture1->installEventFilter(this);
  new led::WindowDrag(this, {this, Picture1});
}

frmLEDalone::~frmLEDalone() = default;

void frmLEDalone::Form_Activate() {
  const QRect inner = Picture1->contentsRect();
  Lumicell1->setLeftTwips(pxToTwips(inner.left()) +
                          roundTwips((pxToTwips(inner.width()) - Lumicell1->widthTwips()) / 2.0));
  Lumicell1->setTopTwips(pxToTwips(inner.top()) +
                         roundTwips((pxToTwips(inner.height()) - Lumicell1->heightTwips()) / 2.0));
}

void frmLEDalone::Picture1_DblClick() { close(); }

QPoint frmLEDalone::topLeftTwips() const { return {pxToTwips(x()), pxToTwips(y())}; }

void frmLEDalone::moveToTwips(const QPoint& topLeft) { move(twipsToPx(topLeft.x()), twipsToPx(topLeft.y())); }

void frmLEDalone::rememberMainFrame() { mainFrame_ = main_.geometry().topLeft() - main_.frameGeometry().topLeft(); }

void frmLEDalone::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  Form_Unload();
}

void frmLEDalone::Form_Unload() {
  if (main_.isUnloaded()) return;  // the program is ending
  const QPoint led = topLeftTwips();
  const QPoint corner(twipsToPx(led.x() - kLedOffsetLeft), twipsToPx(led.y() - kLedOffsetTop));
  // The place is given as the window's inner corner with the frame it had when it last
  // showed: a window hidden by the desktop has no frame, and one moved to the frame's
  // corner would come back a title bar too high.
  // The LED window may have been dragged where the main window would be out of sight, or
  // where its title bar would be above the screen.
  const auto place = main_.placeOnScreen(corner);
  const bool onScreen = place.has_value();
  main_.setGeometry(QRect((onScreen ? *place : corner) + mainFrame_, main_.size()));
  if (!onScreen) main_.centreWindow();
  main_.show();
  main_.raise();
  main_.activateWindow();
  const QString where =
      onScreen ? QStringLiteral("back at %1,%2").arg(place->x()).arg(place->y()) : QStringLiteral("centred");
  platform::logEvent(("LED window closed, main window " + where).toStdString());
}

void frmLEDalone::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Form_Activate();
}

void frmLEDalone::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) Form_Activate();
}

bool frmLEDalone::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Picture1 && event->type() == QEvent::MouseButtonDblClick &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    Picture1_DblClick();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}
