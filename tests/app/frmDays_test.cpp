// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm days as a user sets them: the dialog from the Edit menu, the days stored and
// loaded by the next start, and the tooltips that name the next ring.
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

using AlarmDays = testsupport::MainWindowTest;

// Tuesday 07:00, an alarm at 07:30 to ring on Mondays and Fridays: no day at all is refused,
// OK stores the days, the next start (killed, not quit) loads them and names Friday as the
// next ring, and Cancel or an unreadable stored value change nothing.
TEST_F(AlarmDays, TheDaysChosenInTheDialogAreStoredAndTheTooltipsNameTheNextRing) {
  const QStringList week{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
  const auto openDays = [&] {
    win->findChild<QAction*>("menuAlarmDays")->trigger();
    return QPointer<QDialog>(win->findChild<QDialog*>("frmDays"));
  };
  const auto box = [](QDialog* d, const QString& day) { return d->findChild<QCheckBox*>("chk" + day); };
  const auto ticked = [&](QDialog* d) {
    QString days;
    for (const QString& day : week) days += box(d, day)->isChecked() ? day : QString();
    return days;
  };
  const auto press = [](QDialog* d, const char* button) { d->findChild<QPushButton*>(button)->click(); };
  load();
  win->findChild<QAction*>("menuAutoStart")->trigger();
  win->findChild<QLineEdit*>("txtMIN")->setText("30");
  win->findChild<QPushButton*>("cmdSet")->click();
  QPointer<QDialog> dialog = openDays();
  ASSERT_TRUE(dialog && dialog->isVisible());
  EXPECT_EQ(ticked(dialog), week.join(""));
  for (const QString& day : week) box(dialog, day)->click();
  press(dialog, "cmdOK");
  expectOneBox("Not a single day?", "Please choose at least one day for the alarm.", platform::mb::kExclamation);
  ASSERT_TRUE(dialog && dialog->isVisible());
  box(dialog, "Mon")->click();
  box(dialog, "Fri")->click();
  press(dialog, "cmdOK");
  EXPECT_FALSE(dialog && dialog->isVisible());
  EXPECT_EQ(stored("AlarmDays"), "Mon,Fri");

  load();
  auto* status = win->findChild<QLabel*>("lblAlarm");
  QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(status, &move);
  EXPECT_EQ(status->toolTip(), " There is no record of any recent alarms \n Mon, Fri - Next: Fri 07:30 ");
  EXPECT_EQ(fakes.tray.tip, "Alarm 2.0.7\nMon, Fri - Next: Fri 07:30");
  dialog = openDays();
  EXPECT_EQ(ticked(dialog), "MonFri");
  box(dialog, "Mon")->click();
  press(dialog, "cmdCancel");
  EXPECT_EQ(stored("AlarmDays"), "Mon,Fri");

  put("AlarmDays", "Mon,Funday");
  load();
  EXPECT_EQ(ticked(openDays()), week.join(""));
}

}  // namespace
