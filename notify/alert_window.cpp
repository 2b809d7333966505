// SPDX-License-Identifier: GPL-3.0-or-later
// The alert windows' shared behaviour.
#include "notify/alert_window.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QRegularExpression>
#include <algorithm>
#include <utility>

#include "notify/alert_host.h"
#include "alarm/timetext.h"
#include "notify/frmAlarmFullscreen.h"
#include "notify/frmAlarmMessage.h"
#include "platform/convert.h"
#include "platform/errors.h"
#include "platform/log.h"
#include "platform/registry.h"
#include "platform/second_timer.h"
#include "platform/services.h"
#include "platform/stay_with_owner.h"
#include "platform/vbtime.h"

namespace {

QColor fromBgr(int c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

}  // namespace

int alertColourForIndex(int index) {
  switch (index) {
    case 0: return 0xFFFF00;
    case 1: return 0x00FF00;
    case 2: return 0x0000FF;
    default: return -1;
  }
}

AlertWindow* createAlertWindow(AlertHost& host, bool message, bool preview, QWidget* owner) {
  if (message) return new frmAlarmMessage(host, preview, owner);
  return new frmAlarmFullscreen(host, preview, owner);
}

AlertWindow::AlertWindow(AlertHost& host, bool preview, QWidget* owner)
    : QDialog(owner), host_(host), preview_(preview) {
  setWindowTitle(QStringLiteral("Alarm"));
  // Modal to the owner only, so the tray icon still answers while the alert shows.
  setWindowModality(Qt::WindowModal);
  // Never minimised out of reach, even while its owner is hidden in the tray.
  new platform::StayWithOwner(this, true);
  TimerMessage = new platform::SecondTimer(this);
  connect(TimerMessage, &platform::SecondTimer::timeout, this, &AlertWindow::TimerMessage_Timer);
}

AlertWindow::~AlertWindow() = default;

void AlertWindow::showAlert() { open(); }

void AlertWindow::endPreview() {
  if (!preview_) return;
  platform::ignoreErrors([&] { host_.stopMusic(); });
  finish(End::Stopped);
}

void AlertWindow::startHideTimer(const QTime& at) {
  hideAt_ = at;
  checkedUpTo_ = platform::services().clock->now();
  TimerMessage->start();
}

void AlertWindow::TimerMessage_Timer() {
  const QDateTime now = platform::services().clock->now();
  const QDateTime from = std::exchange(checkedUpTo_, now);
  // Also when the clock went past it in a jump: an alert open across a suspend hides on waking.
  if (!hideAt_ || !engine::passedAt(from, now, *hideAt_)) return;
  platform::logEvent("alert hides itself at " + platform::formatTime(*hideAt_, platform::kFmt24).toStdString());
  TimerMessage->stop();
  hideTimeReached();
}

void AlertWindow::setContent(const AlertContent& content) {
  // Nothing stored: the window's own face.
  if (!content.font.isEmpty() && content.font != QLatin1String("Error")) {
    QFont f = lblMessage->font();
    f.setFamily(content.font);
    lblMessage->setFont(f);
  }
  if (const int colour = alertColourForIndex(content.colourIndex); colour >= 0) {
    QPalette p = lblMessage->palette();
    p.setColor(QPalette::WindowText, fromBgr(colour));
    lblMessage->setPalette(p);
  }
  lblMessage->setText(content.text);
  contentChanged();
}

void AlertWindow::finish(End end) {
  if (finishing_) return;
  finishing_ = true;
  TimerMessage->stop();
  platform::logEvent(("alert closed: " + objectName()).toStdString());
  done(0);
  emit ended(end);
}

void AlertWindow::record() {
  if (!preview_) platform::ignoreErrors([&] { host_.recordPreviousAlarm(); });
}

void AlertWindow::closeEvent(QCloseEvent* event) {
  if (finishing_) {
    event->accept();
    return;
  }
  event->ignore();
  closedByFrame();
}

void AlertWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  platform::logEvent(("alert shown: " + objectName() + (preview_ ? " (preview)" : "")).toStdString());
  // The alert takes the keyboard when it appears.
  raise();
  activateWindow();
}

int AlertWindow::widestWord() const {
  int widest = 0;
  const QFontMetrics metrics(lblMessage->font());
  for (const QString& word : lblMessage->text().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
    widest = std::max(widest, metrics.horizontalAdvance(word));
  return widest;
}
