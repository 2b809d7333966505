// SPDX-License-Identifier: GPL-3.0-or-later
// The two small dialogs that hold an alert's intervals: frmSnooze (how many minutes a snooze
// postpones the alarm) and frmHideAlert (after how many minutes an unanswered alert closes
// itself). Each is built with the interval the program uses, and hands the new one back on Set.
#pragma once

#include <QDialog>
#include <QString>
#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class UpDown;

class IntervalDialog : public QDialog {
  Q_OBJECT
 public:
  // Runs once, when the dialog object is created: topmost, and the interval in the box.
  void Form_Load(int minutes);
  // Puts the default into the box; nothing is handed back.
  void cmdDefault_Click();
  // Hides the dialog with the box's interval handed back; a box that holds none is refused.
  void cmdSet_Click();
  // Shows the dialog modal to owner; returns the interval Set handed back, or nothing when
  // the dialog was closed otherwise (the interval stays as it was).
  std::optional<int> showModal(QWidget* owner);

  QLabel* lblInfo = nullptr;
  QGroupBox* Frame1 = nullptr;
  UpDown* UpDown1 = nullptr;
  QPushButton* cmdDefault = nullptr;

 protected:
  struct Design {
    const char* title;
    const char* boxName;
    const char* info;
    int infoHeightTwips;
    const char* setName;
    int defaultMinutes;
  };
  IntervalDialog(const Design& design, QWidget* parent);

  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Esc does nothing: the dialog has no Cancel, and only Set hands the interval back.
  void reject() override {}

  QLineEdit* box_ = nullptr;
  QPushButton* set_ = nullptr;

 private:
  int default_;
};

class frmSnooze final : public IntervalDialog {
  Q_OBJECT
 public:
  explicit frmSnooze(QWidget* parent = nullptr);
  QLineEdit* const txtSnoozeMinutes = box_;
  QPushButton* const cmdSetSnoozeMinutes = set_;
};

class frmHideAlert final : public IntervalDialog {
  Q_OBJECT
 public:
  explicit frmHideAlert(QWidget* parent = nullptr);
  QLineEdit* const txtHideAlertMinutes = box_;
  QPushButton* const cmdSetHideAlertMinutes = set_;
};
