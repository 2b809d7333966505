// SPDX-License-Identifier: GPL-3.0-or-later
// The About box: the program's title, version and copyright, and a link to its readme.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class frmAbout : public QDialog {
  Q_OBJECT
 public:
  explicit frmAbout(QWidget* parent = nullptr);
  // What the link opens: readme.txt in the program's folder.
  static QString linkTarget();

  void Form_Load();
  void cmdok_Click();
  void lblurl_Click();

  QLabel* imgicon = nullptr;
  QLabel* lblprogtitle = nullptr;
  QLabel* lblversion = nullptr;
  QLabel* lblcopyright = nullptr;
  QLabel* lblcopyright2 = nullptr;
  QLabel* lblurl = nullptr;
  QPushButton* cmdok = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};
