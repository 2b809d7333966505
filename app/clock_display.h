// SPDX-License-Identifier: GPL-3.0-or-later
// The digit display a window hosts (Lumicell1): the few properties the program sets on the
// display control, and its place inside its picture box in twips. The display takes no
// mouse input of its own: presses, double-clicks and moves go to its picture box.
#pragma once

#include <QString>
#include <memory>

class QFrame;
class QWidget;

// The black, sunken picture box a display sits in (Picture1), not yet placed.
QFrame* makeDisplayBox(QWidget* parent);

class ClockDisplay {
 public:
  virtual ~ClockDisplay() = default;
  // Creates the display control inside `parent`; raises RuntimeError 339 when the control is
  // not registered or cannot be loaded.
  static std::unique_ptr<ClockDisplay> create(QWidget* parent);

  virtual QWidget* widget() = 0;
  virtual void putDisplay(const QString& text) = 0;
  virtual int color() = 0;
  virtual void putColor(int color) = 0;
  virtual int size() = 0;
  virtual void putSize(int size) = 0;
  virtual int widthTwips() = 0;
  virtual int heightTwips() = 0;
  virtual void setLeftTwips(int left) = 0;
  virtual void setTopTwips(int top) = 0;
  // The display's tooltip (the host's ToolTipText).
  virtual void putToolTip(const QString& text);
};
