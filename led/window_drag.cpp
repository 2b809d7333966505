// Moving a window by pressing the mouse on it.
#include "led/window_drag.h"

#include <QMouseEvent>
#include <QWidget>

#include "platform/services.h"

namespace led {

WindowDrag::WindowDrag(QWidget* window, std::initializer_list<QWidget*> areas) : QObject(window), window_(window) {
  for (QWidget* area : areas) area->installEventFilter(this);
}

bool WindowDrag::eventFilter(QObject*, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      // Consumed, so the press does not reach the window again through the area's parent.
      const auto* press = static_cast<QMouseEvent*>(event);
      // The desktop's move loop follows a right-button drag until the next left click, so
      // it takes the left button only.
      if (press->button() == Qt::LeftButton && platform::services().window->startSystemMove(window_)) return true;
      button_ = press->button();
      grab_ = press->globalPosition().toPoint() - window_->pos();
      return true;
    }
    case QEvent::MouseMove: {
      const auto* move = static_cast<QMouseEvent*>(event);
      if (button_ == Qt::NoButton || !(move->buttons() & button_)) return false;
      window_->move(move->globalPosition().toPoint() - grab_);
      return true;
    }
    case QEvent::MouseButtonRelease:
      if (static_cast<QMouseEvent*>(event)->button() != button_) return false;
      button_ = Qt::NoButton;
      return true;
    default:
      return false;
  }
}

}  // namespace led
