// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm days as a user sets them: the dialog from the Edit menu, the days stored and
// loaded by the next start, and the tooltips that name the days and the next ring.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>

#include "window_fixture.h"

namespace {

using testsupport::at;

class AlarmDays : public testsupport::MainWindowTest {
 protected:
  QDialog* openDays() {
    win->findChild<QAction*>(QStringLiteral("menuAlarmDays"))->trigger();
    auto* dialog = win->findChild<QDialog*>(QStringLiteral("frmDays"));
    EXPECT_TRUE(dialog && dialog->isVisible());
    return dialog;
  }
  static QCheckBox* day(QDialog* d, const char* name) { return d->findChild<QCheckBox*>(QLatin1String("chk") + name); }
  static QString ticked(QDialog* d) {
    QString days;
    for (const char* name : {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"})
      if (day(d, name)->isChecked()) days += QLatin1String(name);
    return days;
  }
  static void press(QDialog* d, const char* button) { d->findChild<QPushButton*>(QLatin1String(button))->click(); }
  QString statusTip() {
    auto* label = win->findChild<QLabel*>(QStringLiteral("lblAlarm"));
    QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(label, &move);
    return label->toolTip();
  }
};

// Tuesday 07:00, an alarm at 07:30 set to ring on Mondays and Fridays: not one day is refused,
// OK stores the days, the next start (killed, not quit) loads them and arms for Friday, and
// Cancel or an unreadable stored value change nothing.
TEST_F(AlarmDays, TheDaysChosenInTheDialogAreStoredAndTheTooltipsNameTheNextRing) {
  load();
  win->findChild<QAction*>(QStringLiteral("menuAutoStart"))->trigger();
  win->findChild<QLineEdit*>(QStringLiteral("txtHRS"))->setText("07");
  win->findChild<QLineEdit*>(QStringLiteral("txtMIN"))->setText("30");
  win->findChild<QPushButton*>(QStringLiteral("cmdSet"))->click();
  EXPECT_EQ(statusTip(), " There is no record of any recent alarms \n Every day - Next: Tue 07:30 ");

  QPointer<QDialog> dialog = openDays();
  EXPECT_EQ(ticked(dialog), "MonTueWedThuFriSatSun");
  for (const char* name : {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"}) day(dialog, name)->click();
  press(dialog, "cmdOK");
  expectOneBox("Not a single day?", "Please choose at least one day for the alarm.", platform::mb::kExclamation);
  ASSERT_TRUE(dialog && dialog->isVisible());
  day(dialog, "Mon")->click();
  day(dialog, "Fri")->click();
  press(dialog, "cmdOK");
  EXPECT_FALSE(dialog && dialog->isVisible());
  EXPECT_EQ(stored("AlarmDays"), "Mon,Fri");

  load();
  const QString next = "Mon, Fri - Next: Fri 07:30";
  EXPECT_EQ(statusTip(), " There is no record of any recent alarms \n " + next + " ");
  EXPECT_EQ(fakes.tray.tip, win->trayRecord().tip() + "\n" + next);
  dialog = openDays();
  EXPECT_EQ(ticked(dialog), "MonFri");
  day(dialog, "Mon")->click();
  press(dialog, "cmdCancel");
  EXPECT_EQ(stored("AlarmDays"), "Mon,Fri");

  put("AlarmDays", "Mon,Funday");
  load();
  EXPECT_EQ(ticked(openDays()), "MonTueWedThuFriSatSun");
}

}  // namespace
