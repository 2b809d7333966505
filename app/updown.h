// A spinner bound to a text box: its arrows step the number the box holds and write the
// result back as plain decimal text, within the spinner's range.
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
  // One step up (+1) or down (-1) from the box's number, kept within Min..Max.
  void step(int direction);
  QToolButton* upButton() const { return up_; }
  QToolButton* downButton() const { return down_; }

 signals:
  // Runs before each step (the owner may set the range), then after the box changed.
  void aboutToStep();
  void Change();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QLineEdit* buddy_;
  QToolButton* up_;
  QToolButton* down_;
};
