// SPDX-License-Identifier: GPL-3.0-or-later
// frmAlarmMessage.
#include "notify/frmAlarmMessage.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "notify/alert_host.h"
#include "alarm/timetext.h"
#include "platform/errors.h"
#include "platform/second_timer.h"
#include "platform/services.h"
#include "platform/stay_with_owner.h"
#include "platform/place_twips.h"
#include "platform/twips.h"

frmAlarmMessage::frmAlarmMessage(AlertHost& host, bool preview, QWidget* owner) : AlertWindow(host, preview, owner) {
  setObjectName(QStringLiteral("frmAlarmMessage"));
  // A fixed border; on top of every window from the start (changing it later would
  // re-create the window under its modal loop).
  setWindowFlags(platform::dialogFlags(Qt::Dialog, true));
  setFixedSize(twipsToPx(3525), twipsToPx(1545));

  lblMessage = new QLabel(QStringLiteral("Message..."), this);
  lblMessage->setObjectName(QStringLiteral("lblMessage"));
  lblMessage->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  lblMessage->setWordWrap(true);
  lblMessage->setAutoFillBackground(true);
  QPalette p = lblMessage->palette();
  p.setColor(QPalette::Window, Qt::black);
  p.setColor(QPalette::WindowText, QColor(0xFF, 0, 0));
  lblMessage->setPalette(p);
  QFont f(QStringLiteral("MS Sans Serif"));
  f.setPointSizeF(8.25);
  f.setBold(true);
  lblMessage->setFont(f);
  placeTwips(lblMessage, 135, 195, 3240, 660);

  cmdOk = new QPushButton(QStringLiteral("Stop"), this);
  cmdOk->setObjectName(QStringLiteral("cmdOk"));
  cmdOk->setDefault(true);
  placeTwips(cmdOk, 1545, 975, 1815, 405);
  cmdSnooze = new QPushButton(QStringLiteral("Snooze"), this);
  cmdSnooze->setObjectName(QStringLiteral("cmdSnooze"));
  // Stop is the default, but a focused Snooze takes Enter: a keyboard user who tabbed to
  // it means to snooze.
  cmdSnooze->setAutoDefault(true);
  placeTwips(cmdSnooze, 135, 975, 1305, 405);
  setTabOrder(cmdOk, cmdSnooze);
  cmdOk->setFocus();
  connect(cmdOk, &QPushButton::clicked, this, &frmAlarmMessage::cmdok_Click);
  connect(cmdSnooze, &QPushButton::clicked, this, &frmAlarmMessage::cmdSnooze_Click);
  Form_Load();
}

void frmAlarmMessage::Form_Load() {
  platform::services().window->setTopmost(this, true);
}

void frmAlarmMessage::fitMessage() {
  // A word longer than the line (the lines break between words only) widens the window,
  // as far as the screen allows; Stop stays at the right-hand end of the message.
  const QScreen* screen = QGuiApplication::primaryScreen();
  const int room = screen ? screen->availableGeometry().width() - (width() - lblMessage->width()) : 0;
  if (const int wider = std::min(widestWord(), room) - lblMessage->width(); wider > 0) {
    lblMessage->resize(lblMessage->width() + wider, lblMessage->height());
    cmdOk->move(cmdOk->x() + wider, cmdOk->y());
    setFixedSize(width() + wider, height());
  }
  // The window grows downwards to show the whole message; the buttons stay below it.
  const int need = lblMessage->heightForWidth(lblMessage->width());
  const int extra = need - lblMessage->height();
  if (extra <= 0) return;
  lblMessage->resize(lblMessage->width(), need);
  for (QWidget* w : {static_cast<QWidget*>(cmdOk), static_cast<QWidget*>(cmdSnooze)}) w->move(w->x(), w->y() + extra);
  setFixedSize(width(), height() + extra);
}

void frmAlarmMessage::Form_Activate() { cmdSnooze->setEnabled(!isPreview()); }

bool frmAlarmMessage::event(QEvent* e) {
  if (e->type() == QEvent::Show || e->type() == QEvent::WindowActivate) Form_Activate();
  return AlertWindow::event(e);
}

void frmAlarmMessage::setHideTooltip(const QString& minutes) { lblMessage->setToolTip(engine::hideAlertTooltip(minutes)); }

void frmAlarmMessage::cmdok_Click() { stop(End::Stopped); }

void frmAlarmMessage::stop(End end) {
  using platform::ignoreErrors;
  ignoreErrors([&] { host_.stopMusic(); });
  TimerMessage->stop();
  record();
  finish(end);
}

void frmAlarmMessage::cmdSnooze_Click() {
  using platform::ignoreErrors;
  if (isPreview()) return;  // disabled in a preview
  record();
  ignoreErrors([&] { host_.stopMusic(); });
  ignoreErrors([&] { host_.snooze(); });
  finish(End::Snoozed);
}
