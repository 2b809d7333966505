// SPDX-License-Identifier: GPL-3.0-or-later
// The two alert windows as the user meets them at an alarm: keys, clicks, the window
// frame's close, the hide time, their looks, and the preview from the preferences.
#include <QAction>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "firing_fixture.h"
#include "notify/frmAlarmFullscreen.h"
#include "notify/frmAlarmMessage.h"
#include "platform/vbtime.h"

namespace firingtest {
namespace {

using Sound = AlarmSettings::Sound;

TEST_F(Firing, TheMessageWindowStopsOnEnterIgnoresEscAndTreatsTheFrameCloseAsStop) {
  settings().sound = Sound::Music;
  settings().musicFile = file("song.ogg");
  settings().hideAlertMinutes = 1;
  frmMain& w = armAt("07", "00", "00");
  w.menuLedcolour_Click(1);
  onAlert([&](AlertWindow& a) {
    auto& m = static_cast<frmAlarmMessage&>(a);
    EXPECT_EQ(m.windowTitle(), "Alarm");
    EXPECT_EQ(m.size(), QSize(235, 103));
    EXPECT_EQ(m.lblMessage->toolTip(), "This message will disappear automatically after 1 minute");
    EXPECT_EQ(m.lblMessage->palette().color(QPalette::WindowText), QColor(0, 0xFF, 0));  // green LEDs
    EXPECT_TRUE(m.cmdSnooze->isEnabled());
    EXPECT_TRUE(m.cmdOk->isDefault());
    QTest::keyClick(&m, Qt::Key_Escape);
    EXPECT_TRUE(m.isVisible());
    QTest::keyClick(m.cmdOk, Qt::Key_Return);
  });
  tickAt(at(7, 0, 0));
  EXPECT_FALSE(w.engine().alarmEnabled());
  EXPECT_EQ(w.engine().previousAlarm(), record(8, "07:00:00"));

  // Snoozed, then closed by the window manager: a stop, and the music stops with it. A
  // message of ten long words shows whole, in red for the red LEDs, above the buttons.
  settings().messageText = "Nineteen, eighteen seventeen sixteen fourteen thirteen fifteen eighteen nineteen seventeen";
  w.menuLedcolour_Click(2);
  onAlert([&](AlertWindow& a) {
    auto& m = static_cast<frmAlarmMessage&>(a);
    EXPECT_EQ(m.lblMessage->palette().color(QPalette::WindowText), QColor(0xFF, 0, 0));
    EXPECT_GE(m.lblMessage->height(), m.lblMessage->heightForWidth(m.lblMessage->width()));
    EXPECT_GE(m.cmdSnooze->y(), m.lblMessage->geometry().bottom());
    EXPECT_LE(m.cmdSnooze->geometry().bottom(), m.height());
    EXPECT_EQ(m.width(), 235);
    // Enter on a focused Snooze snoozes (Stop is the default only while it keeps the focus).
    m.cmdSnooze->setFocus();
    QTest::keyClick(m.cmdSnooze, Qt::Key_Return);
  });
  tickAt(at(0, 0, 0, 9));
  tickAt(at(7, 0, 0, 9));
  // A word longer than the line widens the window, Stop at the end of the message.
  settings().messageText = "Get up: Pneumonoultramicroscopicsilicovolcanoconiosis!";
  onAlert([&](AlertWindow& a) {
    EXPECT_TRUE(graphs.graphs.back().running);
    auto& m = static_cast<frmAlarmMessage&>(a);
    EXPECT_GE(m.lblMessage->width(),
              QFontMetrics(m.lblMessage->font()).horizontalAdvance("Pneumonoultramicroscopicsilicovolcanoconiosis!"));
    EXPECT_NEAR(m.cmdOk->geometry().right(), m.lblMessage->geometry().right(), 1);
    a.close();
  });
  tickAt(at(7, 8, 0, 9));
  EXPECT_EQ(alertsSeen, 3);
  EXPECT_FALSE(graphs.graphs.back().running);
  EXPECT_FALSE(w.engine().alarmEnabled());
  EXPECT_EQ(w.engine().alarmText(), "07:00:00");

  // Left alone with "Exit Program after Alarm": it hides itself a minute later, ending the program.
  ui<QAction>(w, "menuAutoQuit")->setChecked(true);
  tickAt(at(0, 0, 0, 10));
  onAlert([&](AlertWindow& a) {
    hideTickAt(a, at(7, 0, 59, 10));
    EXPECT_TRUE(a.isVisible());
    hideTickAt(a, at(7, 1, 0, 10));
  });
  tickAt(at(7, 0, 0, 10));
  EXPECT_EQ(alertsSeen, 4);
  EXPECT_TRUE(w.isUnloaded());
}

TEST_F(Firing, TheFullScreenAlertCoversTheScreenAndAnswersKeysAndDoubleClicks) {
  settings().showMessage = false;
  settings().messageText = "Time to get up, the bus leaves at eight";
  frmMain& w = armAt("07", "00", "00");
  onAlert([&](AlertWindow& a) {
    EXPECT_EQ(a.geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_TRUE(a.windowFlags() & Qt::FramelessWindowHint);
    // The text in the middle of the screen, and how to end it near the bottom.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_LE((a.lblMessage->geometry().center() - screen.center()).manhattanLength(), 2);
    const QLabel* hint = static_cast<frmAlarmFullscreen&>(a).lblHint;
    EXPECT_EQ(hint->text(), "Double-click or press ESC to quit - Press Spacebar to Snooze");
    EXPECT_GT(hint->y(), screen.height() * 4 / 5);
    EXPECT_LT(hint->palette().color(QPalette::WindowText).lightness(), 160);
    // The whole message shows, on one line where the screen has room for it.
    EXPECT_GE(a.lblMessage->width(), a.lblMessage->fontMetrics().horizontalAdvance(settings().messageText));
    EXPECT_EQ(a.lblMessage->toolTip(), " Double-click or press ESC to quit - Press Spacebar to Snooze ");
    EXPECT_EQ(a.lblMessage->palette().color(QPalette::WindowText), QColor(0, 0xFF, 0xFF));
    EXPECT_EQ(QApplication::focusWidget() ? QApplication::focusWidget()->window() : nullptr, &a);
    // Given less than the screen (a desktop keeping its top bar), it lays itself out again.
    a.resize(screen.width(), screen.height() - 32);
    ASSERT_TRUE(QTest::qWaitFor([&] { return a.height() == screen.height() - 32; }, 2000));
    EXPECT_EQ(hint->width(), a.width());
    EXPECT_LT(hint->geometry().bottom(), a.height() * 39 / 40);
    EXPECT_LE((a.lblMessage->geometry().center() - a.rect().center()).manhattanLength(), 2);
    // A letter records the alarm and leaves the window open.
    QTest::keyClick(&a, Qt::Key_A);
    EXPECT_TRUE(a.isVisible());
    EXPECT_EQ(w.engine().previousAlarm(), record(8, "07:00:00"));
    QTest::mouseDClick(&a, Qt::LeftButton, {}, QPoint(400, 300));
  });
  tickAt(at(7, 0, 0));
  EXPECT_FALSE(w.engine().alarmEnabled());

  // Alt+F4 or the frame's close after a snooze: as Esc, the alarm ends.
  onAlert([&](AlertWindow& a) { QTest::keyClick(&a, Qt::Key_Space); });
  tickAt(at(0, 0, 0, 9));
  tickAt(at(7, 0, 0, 9));
  EXPECT_EQ(w.engine().alarmText(), "07:08:00");
  // A word wider than the screen is made smaller until the whole of it shows.
  settings().messageText = "PneumonoultramicroscopicsilicovolcanoconiosisPneumonoultramicroscopic";
  onAlert([&](AlertWindow& a) {
    EXPECT_GE(a.lblMessage->width(), a.lblMessage->fontMetrics().horizontalAdvance(settings().messageText));
    EXPECT_LE(a.lblMessage->geometry().right(), a.width());
    a.close();
  });
  tickAt(at(7, 8, 0, 9));
  EXPECT_EQ(alertsSeen, 3);
  EXPECT_FALSE(w.engine().alarmEnabled());
  EXPECT_EQ(w.engine().alarmText(), "07:00:00");
}

TEST_F(Firing, APreviewRecordsNothingCannotSnoozeAndGivesWayToARealAlarm) {
  frmMain& w = armAt("07", "00", "00");
  auto& firing = parts->firing(w);
  onAlert([&](AlertWindow& a) {
    auto& m = static_cast<frmAlarmMessage&>(a);
    EXPECT_TRUE(m.isPreview());
    EXPECT_FALSE(m.cmdSnooze->isEnabled());
    QTest::mouseClick(m.cmdOk, Qt::LeftButton);
  });
  firing.preview(&w, settings());
  untilAlertsClose();
  EXPECT_EQ(fakes.sound.waves.size(), 1u);
  EXPECT_FALSE(w.engine().previousAlarm());
  EXPECT_TRUE(w.engine().alarmEnabled());

  settings().showMessage = false;
  onAlert([&](AlertWindow& a) { QTest::keyClick(&a, Qt::Key_Space); });
  firing.preview(&w, settings());
  untilAlertsClose();
  EXPECT_EQ(w.engine().alarmText(), "07:00:00");

  // The alarm's second comes while a preview shows: the preview ends, the alarm rings.
  settings().showMessage = true;
  fakes.clock.current = at(6, 59, 59);
  AlarmSettings edited = settings();
  edited.messageText = "Only a rehearsal";
  onAlert([&](AlertWindow& a) {
    EXPECT_EQ(a.lblMessage->text(), "Only a rehearsal");
    tickAt(at(7, 0, 0));
  });
  onAlert([&](AlertWindow& a) {
    EXPECT_FALSE(a.isPreview());
    EXPECT_EQ(a.lblMessage->text(), "Wake up!");  // the alarm rings with the program's settings
    EXPECT_TRUE(static_cast<frmAlarmMessage&>(a).cmdSnooze->isEnabled());
    QTest::mouseClick(static_cast<frmAlarmMessage&>(a).cmdOk, Qt::LeftButton);
  });
  firing.preview(&w, edited);
  untilAlertsClose();
  EXPECT_EQ(alertsSeen, 4);
  EXPECT_EQ(w.engine().previousAlarm(), record(8, "07:00:00"));
  EXPECT_FALSE(w.engine().alarmEnabled());
}

}  // namespace
}  // namespace firingtest
