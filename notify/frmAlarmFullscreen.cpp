// SPDX-License-Identifier: GPL-3.0-or-later
// frmAlarmFullscreen.
#include "notify/frmAlarmFullscreen.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QResizeEvent>
#include <QScreen>
#include <algorithm>

#include "notify/alert_host.h"
#include "platform/errors.h"
#include "platform/second_timer.h"
#include "platform/services.h"
#include "platform/twips.h"

frmAlarmFullscreen::frmAlarmFullscreen(AlertHost& host, bool preview, QWidget* owner)
    : AlertWindow(host, preview, owner) {
  setObjectName(QStringLiteral("frmAlarmFullscreen"));
  // Borderless and on top from the start: a flag changed later would re-create the window.
  // A window of its own kind, not a dialog: a window manager keeps a dialog modal to its
  // owner inside the work area attached to that owner (GNOME does), and then it covers
  // neither the top bar nor the whole screen. It still blocks its owner (the modality is
  // kept by the program: the owner is its parent).
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  setAutoFillBackground(true);
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);
  resize(twipsToPx(3810), twipsToPx(2100));

  lblMessage = new QLabel(QStringLiteral("ALARM!!!"), this);
  lblMessage->setObjectName(QStringLiteral("lblMessage"));
  lblMessage->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  lblMessage->setWordWrap(true);
  QPalette cyan = lblMessage->palette();
  cyan.setColor(QPalette::WindowText, QColor(0, 0xFF, 0xFF));
  lblMessage->setPalette(cyan);
  QFont f(QStringLiteral("Arial"));
  f.setPointSize(24);
  f.setBold(true);
  lblMessage->setFont(f);
  lblMessage->setGeometry(twipsToPx(885), twipsToPx(600), twipsToPx(2205), twipsToPx(555));
  lblMessage->setToolTip(QStringLiteral(" Double-click or press ESC to quit - Press Spacebar to Snooze "));
  lblMessage->installEventFilter(this);
  lblHint = new QLabel(lblMessage->toolTip().trimmed(), this);
  lblHint->setObjectName(QStringLiteral("lblHint"));
  lblHint->setAlignment(Qt::AlignCenter);
  QPalette dim = lblHint->palette();
  dim.setColor(QPalette::WindowText, QColor(0x80, 0x80, 0x80));
  lblHint->setPalette(dim);
  lblHint->installEventFilter(this);
  setFocusPolicy(Qt::StrongFocus);
  Form_Load();
}

void frmAlarmFullscreen::Form_Load() {
  platform::services().window->setTopmost(this, true);
  // Over the whole of the screen the main window is on: the geometry places it there, the
  // window state asks the window manager for the full screen. The text is laid out again
  // from whatever size the window is given (resizeEvent).
  QScreen* screen = parentWidget() ? parentWidget()->screen() : nullptr;
  if (!screen) screen = QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
  setGeometry(area);
  setWindowState(Qt::WindowFullScreen);
  layOut(size());
}

void frmAlarmFullscreen::resizeEvent(QResizeEvent* event) {
  AlertWindow::resizeEvent(event);
  if (lblMessage && lblHint) layOut(event->size());
}

void frmAlarmFullscreen::layOut(const QSize& screen) {
  // The text in the middle of the screen, as large as the design's 24 points are on a
  // screen 768 pixels high, and the whole of it.
  const double scale = std::max(1.0, screen.height() / 768.0);
  QFont f = lblMessage->font();
  f.setPointSizeF(24 * scale);
  lblMessage->setFont(f);
  const int margin = screen.width() / 40;
  const QRect room(0, 0, screen.width() - 2 * margin, screen.height() - 2 * margin);
  // A word wider than the screen makes the text smaller, until it fits.
  // (Sizes are not exactly proportional; each step is at least half a point.)
  for (int widest = widestWord(); widest > room.width() && f.pointSizeF() > 6; widest = widestWord()) {
    f.setPointSizeF(std::max(6.0, f.pointSizeF() * room.width() / widest - 0.5));
    lblMessage->setFont(f);
  }
  const QSize need =
      lblMessage->fontMetrics().boundingRect(room, Qt::AlignHCenter | Qt::TextWordWrap, lblMessage->text()).size();
  const QSize label(std::min(need.width() + 2, room.width()), std::min(need.height(), room.height()));
  lblMessage->setGeometry(QRect(QPoint((screen.width() - label.width()) / 2, (screen.height() - label.height()) / 2), label));

  // How to end it, in a dim line near the bottom edge.
  QFont small = lblHint->font();
  small.setPointSizeF(10 * scale);
  lblHint->setFont(small);
  const int hintHeight = lblHint->fontMetrics().height();
  lblHint->setGeometry(0, screen.height() - hintHeight - screen.height() / 30, screen.width(), hintHeight);
}

void frmAlarmFullscreen::Form_DblClick() { stopAndRecord(End::Stopped); }

void frmAlarmFullscreen::stopAndRecord(End end) {
  platform::ignoreErrors([&] { host_.stopMusic(); });
  TimerMessage->stop();
  record();
  finish(end);
}

void frmAlarmFullscreen::stopByEsc() {
  using platform::ignoreErrors;
  ignoreErrors([&] { host_.stopMusic(); });
  TimerMessage->stop();
  finish(End::Stopped);
}

void frmAlarmFullscreen::Form_KeyPress(int keyAscii) {
  using platform::ignoreErrors;
  record();
  if (keyAscii == 27) {
    stopByEsc();
  } else if (keyAscii == 32) {
    ignoreErrors([&] { host_.stopMusic(); });
    if (!isPreview()) ignoreErrors([&] { host_.snooze(); });
    finish(End::Snoozed);
  }
}

void frmAlarmFullscreen::keyPressEvent(QKeyEvent* event) {
  const QString text = event->text();
  if (event->key() == Qt::Key_Escape) {
    Form_KeyPress(27);
  } else if (!text.isEmpty()) {
    Form_KeyPress(text[0].unicode());
  }
  event->accept();
}

void frmAlarmFullscreen::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
  Form_DblClick();
}

bool frmAlarmFullscreen::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == lblMessage || watched == lblHint) && event->type() == QEvent::MouseButtonDblClick) {
    Form_DblClick();  // lblMessage_DblClick
    return true;
  }
  return AlertWindow::eventFilter(watched, event);
}
