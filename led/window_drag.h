// SPDX-License-Identifier: GPL-3.0-or-later
// Moving a window by pressing the mouse on it, not only on its title bar: the left button
// hands the move to the desktop's own move loop; the other buttons, and desktops without
// such a loop, move the window by hand until the button is released. The move starts once
// the pointer has moved a little with the button down, so clicks and double-clicks on the
// same place stay what they are.
#pragma once

#include <QObject>
#include <QPoint>
#include <initializer_list>

class QWidget;

namespace led {

class WindowDrag : public QObject {
 public:
  // A press of any button on one of `areas` moves `window`.
  WindowDrag(QWidget* window, std::initializer_list<QWidget*> areas);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  Qt::MouseButton button_ = Qt::NoButton;  // the button held since the press
  QPoint press_;                           // where it went down, on the screen
  QPoint grab_;                            // the pointer's place in the window's frame
  bool moving_ = false;                    // the window follows the pointer by hand
};

}  // namespace led
