// SPDX-License-Identifier: GPL-3.0-or-later
// The LED window, the tray icon's clicks and menu, dragging by the displays and the display
// tooltip, on the offscreen platform with the fake clock and services.
#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "app/clock_display.h"
#include "app/frmAbout.h"
#include "led/frmLEDalone.h"
#include "led/led_tray.h"
#include "lumicell/lumicell.h"
#include "platform/errors.h"
#include "platform/host/component_registry.h"
#include "platform/host/lumicell_widget.h"
#include "platform/second_timer.h"
#include "window_fixture.h"

namespace {

using testsupport::at;
using testsupport::ui;

// The LED and tray part as the program wires it, with the other windows' answers scripted.
struct Parts : MainWindowParts {
  void attach(frmMain& main) override { tray = std::make_unique<led::LedTray>(main); }
  bool ledWindowVisible() override { return tray->ledWindowVisible(); }
  QPoint mainPlaceOfLedWindow() override { return tray->mainPlaceOfLedWindow(); }
  void putLedDisplay(const QString& text) override { tray->putLedDisplay(text); }
  void closeLedWindow() override { tray->closeLedWindow(); }
  void trayMessage(frmMain&, int message) override { tray->pichook_MouseMove(message); }
  bool prefsVisible() override {
    if (prefsError) throw platform::RuntimeError(std::exchange(prefsError, 0));
    return prefsShown;
  }
  bool alertMessageVisible() override { return alertShown; }
  std::unique_ptr<led::LedTray> tray;
  bool prefsShown = false, alertShown = false;
  int prefsError = 0;
};

QString digitsOf(ClockDisplay& d) {
  return QString::fromStdString(static_cast<platform::LumicellWidget*>(d.widget())->getText(lumicell::kDispDigitDisplay));
}

class LedWindow : public testsupport::MainWindowTest {
 protected:
  frmMain& load() {
    auto p = std::make_unique<Parts>();
    parts = p.get();
    MainWindowTest::load(std::move(p));
    win->show();
    win->move(300, 200);
    QApplication::processEvents();
    return *win;
  }
  frmLEDalone* led() { return parts->tray->ledWindow(); }
  static QPoint middle(QWidget* w) { return w->rect().center(); }
  void dblClick(QWidget* w, Qt::MouseButton b = Qt::LeftButton) {
    QTest::mouseDClick(w, b, {}, middle(w));
    QApplication::processEvents();
  }
  void openLed() {
    dblClick(ui<QFrame>(*win, "Picture1"));
    ASSERT_TRUE(led() && led()->isVisible());
  }
  void hideInTray() {
    minimise();
    ASSERT_FALSE(win->isVisible());
  }
  // Right-clicks the tray icon; `inside` runs while the menu is open, then the menu closes
  // or, given an entry, that entry is clicked.
  void rightClickTray(const std::function<void()>& inside, QAction* choose = nullptr) {
    bool opened = false;
    QTimer::singleShot(0, [&] {
      QMenu* menu = ui<QMenu>(*win, "menuDummy");
      opened = menu->isVisible();
      inside();
      if (choose && choose->isEnabled())
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(choose).center());
      else
        menu->close();
    });
    emit fakes.tray.activated(platform::TrayService::kContext);
    EXPECT_TRUE(opened) << "the tray menu did not open";
    QApplication::processEvents();
  }
  std::vector<QString> entries() const {
    std::vector<QString> out;
    for (QAction* a : ui<QMenu>(*win, "menuDummy")->actions())
      if (a->isVisible() && !a->isSeparator())
        out.push_back(a->text() + (a->isEnabled() ? "" : " (off)") + (a->isChecked() ? " (checked)" : ""));
    return out;
  }

  Parts* parts = nullptr;
};

using Entries = std::vector<QString>;

// --- The swap ----------------------------------------------------------------------------

TEST_F(LedWindow, SwappingThereAndBackTenTimesPutsTheMainWindowBackToThePixel) {
  frmMain& w = load();
  const QPoint home = w.pos();
  dblClick(ui<QFrame>(w, "Picture1"), Qt::RightButton);  // the right button drags; only the left one swaps
  EXPECT_EQ(led(), nullptr);
  for (int round = 0; round < 10; ++round) {
    dblClick(ui<QFrame>(w, "Picture1"));
    ASSERT_TRUE(led() && led()->isVisible()) << "round " << round;
    EXPECT_FALSE(w.isVisible());
    // 140 twips right and 720 twips down, in whole pixels.
    EXPECT_EQ(led()->pos(), home + QPoint(9, 48));
    dblClick(led()->Picture1);
    EXPECT_FALSE(led()->isVisible());
    ASSERT_TRUE(w.isVisible());
    EXPECT_EQ(w.pos(), home) << "round " << round;
  }
  // Quit while the LED window shows and start again, ten times: the same pixel.
  for (int round = 0; round < 10; ++round) {
    dblClick(ui<QFrame>(*win, "Picture1"));
    ASSERT_TRUE(win->requestUnload(frmMain::vbFormCode));
    auto p = std::make_unique<Parts>();
    parts = p.get();
    MainWindowTest::load(std::move(p)).show();
    EXPECT_EQ(win->pos(), home) << "round " << round;
  }
  // The LED window dragged to the top of the screen: the main window comes back with its
  // title bar on the screen, and a place partly off the screen comes inside it.
  dblClick(ui<QFrame>(*win, "Picture1"));
  led()->move(led()->x(), 10);
  dblClick(led()->Picture1);
  EXPECT_EQ(win->y(), 0);
  put("Left", QString::number(700 * 15));
  put("Top", QString::number(550 * 15));
  frmMain& partly = MainWindowTest::load(std::make_unique<Parts>());
  EXPECT_TRUE(partly.screen()->availableGeometry().contains(partly.frameGeometry())) << partly.frameGeometry().x();
}

TEST_F(LedWindow, TheLedWindowTakesColourSizeAndTimeWhenItOpensAndTicksWhileTheMainWindowIsHidden) {
  // Damaged stored choices give the same display as a first start would.
  put("LedColourMenuIndex", "9");
  put("LedSizeMenuIndex", "-1");
  frmMain& w = load();
  fakes.clock.current = at(7, 5, 9);
  openLed();
  EXPECT_EQ(led()->Lumicell1->color(), 0);
  EXPECT_EQ(led()->Lumicell1->size(), 1);
  EXPECT_EQ(digitsOf(*led()->Lumicell1), "07:05:09");  // never the designed "543"
  const QRect shown = led()->Lumicell1->widget()->geometry();
  EXPECT_TRUE(led()->Picture1->contentsRect().contains(shown)) << "the display is centred inside its box";

  // The clock ticks every second into the LED window while the main window is hidden.
  fakes.clock.current = at(7, 5, 10);
  emit ui<platform::SecondTimer>(w, "Clock")->timeout();
  EXPECT_EQ(digitsOf(*led()->Lumicell1), "07:05:10");
  EXPECT_LE(ui<platform::SecondTimer>(w, "Clock")->remainingMs(), 1000);

  // A colour chosen while the LED window is closed reaches it when it next opens; with
  // "Always On Top" checked it opens in the topmost band.
  dblClick(led()->Picture1);
  ui<QAction>(w, "menuLedcolour", 2)->trigger();
  ui<QAction>(w, "menuLedsize", 0)->trigger();
  ui<QAction>(w, "menuAlwaysOnTop")->trigger();
  EXPECT_EQ(led()->Lumicell1->color(), 0);
  openLed();
  EXPECT_EQ(led()->Lumicell1->color(), 2);
  EXPECT_EQ(led()->Lumicell1->size(), 0);
  ASSERT_FALSE(fakes.window.topmost.empty());
  EXPECT_EQ(fakes.window.topmost.back(), std::make_pair(static_cast<QWidget*>(led()), true));
}

TEST_F(LedWindow, ThereIsAlwaysAWindowToFind) {
  frmMain& w = load();
  // Without its display control the LED window cannot be built: the main window stays.
  const std::string key = platform::progIdKey(lumicell::kProgId);
  const auto clsid = store.readValue(platform::kHkeyCurrentUser, key, "CLSID");
  ASSERT_TRUE(clsid);
  store.deleteValue(platform::kHkeyCurrentUser, key, "CLSID");
  dblClick(ui<QFrame>(w, "Picture1"));
  store.writeValue(platform::kHkeyCurrentUser, key, "CLSID", *clsid);
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(led(), nullptr);
  ASSERT_EQ(fakes.messageBox.boxes.size(), 1u);
  EXPECT_NE(fakes.messageBox.boxes[0].prompt.indexOf("Error 339 - "), -1);
  EXPECT_NE(fakes.messageBox.boxes[0].prompt.indexOf("frmMain, Picture1_DblClick"), -1);

  // Closed by the window manager, the LED window brings the main window back as a
  // double-click does; dragged off every screen, the main window comes back centred.
  openLed();
  led()->move(-5000, -5000);
  led()->close();
  EXPECT_TRUE(w.isVisible());
  EXPECT_TRUE(w.screen()->geometry().contains(w.frameGeometry()));

  // Quitting closes the LED window and does not bring the main window back, not even for
  // the moment before it goes.
  openLed();
  struct ShowCount : QObject {
    int shown = 0;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Show) ++shown;
      return false;
    }
  } mainShows;
  w.installEventFilter(&mainShows);
  ui<QAction>(w, "menuExit")->trigger();
  w.removeEventFilter(&mainShows);
  EXPECT_TRUE(w.isUnloaded());
  EXPECT_FALSE(led()->isVisible());
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(mainShows.shown, 0);
}

// --- The tray icon -----------------------------------------------------------------------

TEST_F(LedWindow, TheTrayMenuShowsTheEntriesOfEachState) {
  frmMain& w = load();
  const Entries plain{"Launch", "Help", "About", "Exit"};
  rightClickTray([&] { EXPECT_EQ(entries(), plain) << "shown"; });
  EXPECT_EQ(w.aboutBox(), nullptr) << "looking at the menu created the About box";
  hideInTray();
  rightClickTray([&] { EXPECT_EQ(entries(), plain) << "hidden"; });

  armAt("07", "30", "00");
  const Entries armed{"Launch", "Activated  [ 07:30:00 ] (checked)", "Help", "About", "Exit"};
  rightClickTray([&] { EXPECT_EQ(entries(), armed) << "armed"; });
  w.MenuDeactivateAlarm_Click();
  rightClickTray([&] { EXPECT_EQ(entries(), plain) << "deactivated"; });

  parts->prefsShown = true;
  rightClickTray([&] { EXPECT_EQ(entries(), (Entries{"Launch (off)", "Help", "About", "Exit"})) << "preferences"; });
  parts->prefsShown = false;
  parts->alertShown = true;
  rightClickTray([&] { EXPECT_EQ(entries(), (Entries{"Launch (off)", "Help", "About", "Exit"})) << "alert"; });
  parts->alertShown = false;

  // While the About box shows: the icon answers, and "About" is off.
  w.menuTrayLaunch_Click();
  QTimer::singleShot(0, [&] {
    rightClickTray([&] { EXPECT_EQ(entries(), (Entries{"Launch", "Help", "About (off)", "Exit"})) << "about"; });
    w.aboutBox()->close();
  });
  ui<QAction>(w, "menuAbout")->trigger();

  // While the quit question is open: the menu still opens, and its Exit asks nothing more.
  ui<QLineEdit>(w, "txtHRS")->setText("08");
  w.cmdSet_Click();
  fakes.messageBox.onShow = [&] {
    fakes.messageBox.onShow = nullptr;
    rightClickTray([] {}, ui<QAction>(w, "menuTrayExit"));
  };
  ui<QAction>(w, "menuExit")->trigger();
  EXPECT_EQ(fakes.messageBox.boxes.size(), 1u);
  EXPECT_FALSE(w.isUnloaded());
  EXPECT_TRUE(w.isVisible());
}

TEST_F(LedWindow, LaunchAndTheDoubleClickBringTheMainWindowBackFromTheTrayOrTheLedWindow) {
  frmMain& w = load();
  hideInTray();
  rightClickTray([] {}, ui<QAction>(w, "menuTrayLaunch"));
  EXPECT_TRUE(w.isVisible());
  EXPECT_FALSE(w.isMinimized());
  EXPECT_FALSE(ui<QAction>(w, "menuTrayLaunch")->isEnabled());

  // From the LED window: it closes and the main window stands beside where it was.
  openLed();
  led()->move(500, 400);
  rightClickTray([] {}, ui<QAction>(w, "menuTrayLaunch"));
  EXPECT_FALSE(led()->isVisible());
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(w.pos(), QPoint(491, 352));
  openLed();
  emit fakes.tray.activated(platform::TrayService::kDoubleClick);
  EXPECT_FALSE(led()->isVisible());
  EXPECT_TRUE(w.isVisible());

  // Single clicks do nothing on an X11 notification area.
  hideInTray();
  emit fakes.tray.activated(platform::TrayService::kLeftButtonUp);
  EXPECT_FALSE(w.isVisible());
}

TEST_F(LedWindow, TheTrayAnswersAgainAfterAFailedMessageAndDropsClicksWhileItsMenuIsOpen) {
  frmMain& w = load();
  hideInTray();
  parts->prefsError = 440;  // ignored silently
  emit fakes.tray.activated(platform::TrayService::kContext);
  EXPECT_TRUE(fakes.messageBox.boxes.empty());
  parts->prefsError = 5;
  emit fakes.tray.activated(platform::TrayService::kContext);
  expectOneBox("Error", QString::fromStdString(platform::standardErrorText(5, platform::errorDescription(5), "pichook")));

  // A double-click while the menu is open is dropped, but remembered as the last message.
  rightClickTray([&] {
    emit fakes.tray.activated(platform::TrayService::kDoubleClick);
    EXPECT_EQ(parts->tray->lastTrayMessage(), platform::TrayService::kDoubleClick);
  });
  EXPECT_FALSE(w.isVisible());
  emit fakes.tray.activated(platform::TrayService::kDoubleClick);
  EXPECT_TRUE(w.isVisible());
}

TEST_F(LedWindow, TheTrayMenuIsShownAgainWhenALateLossOfFocusClosesIt) {
  frmMain& w = load();
  hideInTray();
  // The desktop reports the hidden window's loss of focus just after the right-click, which
  // closes every open menu: the menu comes back, once.
  int shown = 0;
  bool chooseLaunch = false;
  QObject::connect(ui<QMenu>(w, "menuDummy"), &QMenu::aboutToShow, &w, [&] {
    ++shown;
    QTimer::singleShot(0, &w, [&] {
      if (chooseLaunch && shown == 2) {
        QMenu* menu = ui<QMenu>(w, "menuDummy");
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(ui<QAction>(w, "menuTrayLaunch")).center());
        return;
      }
      QEvent lost(QEvent::ApplicationDeactivate);
      QApplication::sendEvent(qApp, &lost);
    });
  });
  emit fakes.tray.activated(platform::TrayService::kContext);
  EXPECT_EQ(shown, 2) << "closed by a loss of focus, the menu comes back once, and only once";
  EXPECT_FALSE(ui<QMenu>(w, "menuDummy")->isVisible());
  EXPECT_FALSE(w.isVisible());

  shown = 0;
  chooseLaunch = true;
  emit fakes.tray.activated(platform::TrayService::kContext);
  EXPECT_EQ(shown, 2);
  EXPECT_TRUE(w.isVisible()) << "Launch in the menu shown again";
}

TEST_F(LedWindow, ADesktopThatShowsTheMenuItselfGetsItPreparedAndASingleActivationRestores) {
  fakes.tray.statusNotifier = true;
  frmMain& w = load();
  EXPECT_EQ(fakes.tray.menu, ui<QMenu>(w, "menuDummy"));
  hideInTray();
  ui<QLineEdit>(w, "txtHRS")->setText("06");
  w.cmdSet_Click();
  emit fakes.tray.activated(platform::TrayService::kContext);  // the desktop shows the menu
  EXPECT_FALSE(ui<QMenu>(w, "menuDummy")->isVisible());
  emit ui<QMenu>(w, "menuDummy")->aboutToShow();
  EXPECT_EQ(entries(), (Entries{"Launch", "Activated  [ 06:00:00 ] (checked)", "Help", "About", "Exit"}));
  emit fakes.tray.activated(platform::TrayService::kLeftButtonUp);
  EXPECT_TRUE(w.isVisible());
}

// --- Dragging and the tooltip ------------------------------------------------------------

TEST_F(LedWindow, BothWindowsMoveByTheirDisplays) {
  frmMain& w = load();
  const auto dragBy = [](QWidget* area, Qt::MouseButton b, QPoint by) {
    QTest::mousePress(area, b, {}, QPoint(20, 10));
    QTest::mouseMove(area, QPoint(20, 10) + by);
    QTest::mouseRelease(area, b, {}, QPoint(20, 10) + by);
  };
  // A click is no move; a drag with the left button hands the move to the desktop.
  QTest::mouseClick(ui<QFrame>(w, "Picture1"), Qt::LeftButton, {}, QPoint(20, 10));
  EXPECT_TRUE(fakes.window.moved.empty());
  dragBy(ui<QFrame>(w, "Picture1"), Qt::LeftButton, {20, 0});
  ASSERT_EQ(fakes.window.moved.size(), 1u);
  EXPECT_EQ(fakes.window.moved[0], &w);
  EXPECT_EQ(w.pos(), QPoint(320, 200));  // caught up with the pointer before the desktop took over
  w.move(300, 200);

  // The desktop's move does not follow the right button: the window follows by hand.
  dragBy(ui<QFrame>(w, "Picture1"), Qt::RightButton, {40, 25});
  EXPECT_EQ(w.pos(), QPoint(340, 225));

  // The LED window, where the desktop has no move of its own.
  openLed();
  fakes.window.systemMove = false;
  const QPoint ledAt = led()->pos();
  dragBy(led()->Picture1, Qt::LeftButton, {-30, 15});
  EXPECT_EQ(led()->pos(), ledAt + QPoint(-30, 15));
  dblClick(led()->Picture1);
  EXPECT_EQ(w.pos(), ledAt + QPoint(-30, 15) - QPoint(9, 48));
}

TEST_F(LedWindow, TheDisplayTooltipGivesTheTimeInBothForms) {
  frmMain& w = load();
  const auto tipAt = [&](QTime t) {
    fakes.clock.current = QDateTime(QDate(2026, 12, 8), t);
    QTest::mouseMove(ui<QFrame>(w, "Picture1"), QPoint(30, 10));
    QTest::mouseMove(ui<QFrame>(w, "Picture1"), QPoint(31, 10));
    EXPECT_EQ(ui<QWidget>(w, "Lumicell1")->toolTip(), ui<QFrame>(w, "Picture1")->toolTip());
    return ui<QFrame>(w, "Picture1")->toolTip();
  };
  for (int mode : {0, 1}) {
    ui<QAction>(w, "menuAMPM", mode)->trigger();
    EXPECT_EQ(tipAt(QTime(0, 5)), " Time: 00:05 (12:05 am) ");
    EXPECT_EQ(tipAt(QTime(12, 0)), " Time: 12:00 (12:00 pm) ");
    EXPECT_EQ(tipAt(QTime(23, 59, 59)), " Time: 23:59 (11:59 pm) ");
  }
}

}  // namespace
