// SPDX-License-Identifier: GPL-3.0-or-later
// Checks an entry field before a mouse press takes the focus out of it. Presses are looked
// at where they reach the window, before the toolkit moves the focus to the widget under
// the pointer: by the time the widget itself sees the press, the field has lost the focus.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;
class QWindow;

class LeaveCheck : public QObject {
 public:
  // check(target) runs when a press lands on target, the widget that would take the focus
  // (or, where none would, the widget under the pointer); false eats the press.
  using Check = std::function<bool(QWidget* target)>;
  LeaveCheck(QWidget* window, Check check);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The window's native handle is made anew when its flags change; follow it.
  void attach();
  QWidget* targetAt(const QPoint& pos) const;

  QWidget* window_;
  Check check_;
  QPointer<QWindow> handle_;
};
