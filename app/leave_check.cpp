// SPDX-License-Identifier: GPL-3.0-or-later
// The check of an entry field before a mouse press takes the focus out of it.
#include "app/leave_check.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

LeaveCheck::LeaveCheck(QWidget* window, Check check) : QObject(window), window_(window), check_(std::move(check)) {
  window_->installEventFilter(this);
  attach();
}

void LeaveCheck::attach() {
  QWindow* handle = window_->windowHandle();
  if (handle == handle_) return;
  if (handle_) handle_->removeEventFilter(this);
  handle_ = handle;
  if (handle_) handle_->installEventFilter(this);
}

QWidget* LeaveCheck::targetAt(const QPoint& pos) const {
  QWidget* hit = window_->childAt(pos);
  // The focus goes to the first enabled widget from the one under the pointer outwards
  // that takes the focus on a click.
  for (QWidget* w = hit; w && w != window_; w = w->parentWidget())
    if (w->isEnabled() && (w->focusPolicy() & Qt::ClickFocus)) return w;
  return hit;
}

bool LeaveCheck::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_) {
    if (event->type() == QEvent::WinIdChange || event->type() == QEvent::Show) attach();
    return false;
  }
  if (watched == handle_ && event->type() == QEvent::MouseButtonPress) {
    const auto* press = static_cast<QMouseEvent*>(event);
    if (QWidget* target = targetAt(press->position().toPoint()); target && !check_(target)) return true;
  }
  return false;
}
