// SPDX-License-Identifier: GPL-3.0-or-later
// The quick alarm dialog: arms the alarm a chosen 1 to 120 minutes from now and remembers
// the number for next time.
#pragma once

#include <QDialog>

#include "platform/entry_selection.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QGroupBox;
class UpDown;
class frmMain;

class frmQuickAlarm : public QDialog {
  Q_OBJECT
 public:
  explicit frmQuickAlarm(frmMain& main);

  // Runs when the dialog is loaded (first use, or again after its window was closed).
  void Form_Load();
  void cmdSetMinutes_Click();
  void cmdCancel_Click();
  // Shows the dialog modally, loading it first when needed.
  void showModal();

  QLabel* lblInfo = nullptr;
  QGroupBox* Frame1 = nullptr;
  QLineEdit* txtMinutes = nullptr;
  UpDown* UpDown1 = nullptr;
  QPushButton* cmdSetMinutes = nullptr;
  QPushButton* cmdCancel = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  frmMain& main_;
  bool loaded_ = false;
  platform::EntrySelection entrySelection_;
};
