// SPDX-License-Identifier: GPL-3.0-or-later
// The two small dialogs that hold an alert's intervals: frmSnooze (how many minutes a snooze
// postpones the alarm) and frmHideAlert (after how many minutes an unanswered alert closes
// itself). Each minutes box is the interval the alarm uses for the rest of the run.
#pragma once

#include <QDialog>
#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class UpDown;

class IntervalDialog : public QDialog {
  Q_OBJECT
 public:
  // Runs once, when the dialog object is created: topmost, and the box from the store.
  void Form_Load();
  // Puts the default into the box; nothing is stored.
  void cmdDefault_Click();
  // Stores the box's text and hides the dialog.
  void cmdSet_Click();
  // Shows the dialog modal to owner (unless it already shows); returns when it is hidden.
  void showModal(QWidget* owner);

  // The box's text, which the alarm reads as its interval.
  QString minutes() const;
  const QString& defaultMinutes() const { return default_; }

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
    const char* valueName;
    const char* defaultText;
  };
  IntervalDialog(const Design& design, QWidget* parent);

  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Esc does nothing: the dialog has no Cancel, and only Set stores.
  void reject() override {}

  QLineEdit* box_ = nullptr;
  QPushButton* set_ = nullptr;

 private:
  QString valueName_;
  QString default_;
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

// A whole number of minutes the alarm can use (1 to 1439: a day less one minute, so the
// new alarm never lands on the second it was set on).
bool usableMinutes(const QString& text);
