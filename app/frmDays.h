// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm days dialog: seven check boxes for the days of the week the alarm rings on, on
// a copy of the days that it hands back when the user presses OK.
#pragma once

#include <QDialog>
#include <array>

#include "alarm/week_days.h"

class QCheckBox;
class QPushButton;

class frmDays : public QDialog {
  Q_OBJECT
 public:
  frmDays(QWidget* owner, const WeekDays& days);

  // The days as ticked.
  WeekDays days() const;
  // Accepts the days, unless none is ticked: then it says so and stays open.
  void cmdOK_Click();

 private:
  std::array<QCheckBox*, 7> chkDay_{};  // Monday first
};
