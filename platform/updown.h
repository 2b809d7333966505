// SPDX-License-Identifier: GPL-3.0-or-later
// A spinner bound to a text box: its arrows step the number the box holds and write the
// result back as plain decimal text, within the spinner's range. Up and Down in the box
// step it as the arrows do, Page Up and Page Down by ten.
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

class UpDown : public QWidget {
  Q_OBJECT
 public:
  UpDown(QLineEdit* buddy, int min, int max, QWidget* parent = nullptr);
  int Min = 0;
  int Max = 0;
  // Steps the box's number up (positive) or down (negative) by delta, kept within Min..Max.
  void step(int delta);
  QToolButton* upButton() const { return up_; }
  QToolButton* downButton() const { return down_; }

 signals:
  // Runs before each step (the owner may set the range), then after the box changed.
  void aboutToStep();
  void Change();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* buddy_;
  QToolButton* up_;
  QToolButton* down_;
};
