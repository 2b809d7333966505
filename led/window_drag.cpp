// SPDX-License-Identifier: GPL-3.0-or-later
// Moving a window by pressing the mouse on it.
#include "led/window_drag.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include "platform/services.h"

namespace led {

WindowDrag::WindowDrag(QWidget* window, std::initializer_list<QWidget*> areas) : QObject(window), window_(window) {
  for (QWidget* area : areas) area->installEventFilter(this);
}

bool WindowDrag::eventFilter(QObject*, QEvent* event) {
  // The presses are consumed, so they do not reach the window again through the area's parent.
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      const auto* press = static_cast<QMouseEvent*>(event);
      button_ = press->button();
      press_ = press->globalPosition().toPoint();
      grab_ = press_ - window_->pos();
      moving_ = false;
      return true;
    }
    case QEvent::MouseMove: {
      const auto* move = static_cast<QMouseEvent*>(event);
      if (button_ == Qt::NoButton || !(move->buttons() & button_)) return false;
      const QPoint at = move->globalPosition().toPoint();
      if (!moving_) {
        if ((at - press_).manhattanLength() < QApplication::startDragDistance()) return true;
        // The window catches up with the pointer first, so the place under the pointer stays
        // the one that was pressed. The desktop's move loop follows a right-button drag until
        // the next left click, so it takes the left button only.
        window_->move(at - grab_);
        if (button_ == Qt::LeftButton && platform::services().window->startSystemMove(window_)) {
          button_ = Qt::NoButton;
          return true;
        }
        moving_ = true;
      }
      window_->move(at - grab_);
      return true;
    }
    case QEvent::MouseButtonRelease:
      if (static_cast<QMouseEvent*>(event)->button() != button_) return false;
      button_ = Qt::NoButton;
      moving_ = false;
      return true;
    default:
      return false;
  }
}

}  // namespace led
