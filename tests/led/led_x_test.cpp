// SPDX-License-Identifier: GPL-3.0-or-later
// The built program in a real X server with a window manager (openbox) and a notification
// area (trayer), driven by xdotool: the tray menu's Launch restores a minimised window and
// its Exit still works while the About box shows; the display's double-click swaps in the
// LED window, which the mouse drags and a double-click or its close box swaps back; a
// storm of double-clicks always leaves one window.
#include <gtest/gtest.h>
#include <signal.h>

#include <sstream>
#include <thread>

#include "desktop_fixture.h"

using namespace std::chrono_literals;
using namespace testx;
using e2e::firstLine;

namespace {

using e2e::Geometry;

class LedAndTrayInAnXServer : public e2e::Desktop {
 protected:
  LedAndTrayInAnXServer() { neededTools = {"openbox", "trayer", "xwininfo", "wmctrl"}; }

  pid_t start() { return Desktop::start(log); }
  bool logged(const std::string& text) const { return slurp(log).find(text) != std::string::npos; }
  std::string output() const { return slurp(log) + slurp(x->root() / (log.filename().string() + ".out")); }

  // The program's visible windows named Alarm (or of any name), larger than a tray icon.
  std::vector<std::string> windows(pid_t pid, const std::string& name = "^Alarm$") {
    std::vector<std::string> out;
    std::istringstream in(x->run("xdotool search --all --onlyvisible --pid " + std::to_string(pid) + " --name \"" + name + "\""));
    for (std::string id; std::getline(in, id);)
      if (!id.empty() && geometry(id).w > 64) out.push_back(id);
    return out;
  }
  std::string theWindow(pid_t pid) {
    std::vector<std::string> w;
    waitFor([&] { return (w = windows(pid)).size() == 1; }, 10s);
    return w.size() == 1 ? w[0] : std::string();
  }
  void doubleClick(const std::string& win, int px, int py) {
    x->run("xdotool mousemove --window " + win + " " + std::to_string(px) + " " + std::to_string(py) +
           " click --repeat 2 --delay 80 1");
  }

  std::filesystem::path log;
};

TEST_F(LedAndTrayInAnXServer, LaunchInTheTrayMenuRestoresAMinimisedWindow) {
  const pid_t alarm = startWithTrayIcon("alarm", log);
  ASSERT_GT(alarm, 0) << slurp(x->root() / "trayer.out") << output();
  const std::string main = theWindow(alarm);
  ASSERT_FALSE(main.empty()) << output();
  ASSERT_TRUE(waitFor([&] { return logged("window shown"); }, 10s));

  x->run("xdotool windowminimize " + main);
  ASSERT_TRUE(waitFor([&] { return logged("window hidden in the notification area"); }, 10s)) << output();
  ASSERT_TRUE(waitFor([&] { return windows(alarm).empty(); }, 5s));

  const std::string icon = trayIcon(alarm);
  ASSERT_FALSE(icon.empty()) << "no tray icon window";
  // A right-click pops the menu up (a window of its own); Launch is its first entry.
  const auto popUpMenu = [&] {
    x->run("xdotool mousemove --window " + icon + " 4 4 click 3");
    std::string menu;
    waitFor([&] {
      for (const std::string& w : windows(alarm, ".*"))
        if (w != main) menu = w;
      return !menu.empty();
    }, 10s);
    return menu;
  };
  const std::string menu = popUpMenu();
  ASSERT_FALSE(menu.empty()) << "no tray menu";
  x->run("xdotool mousemove --window " + menu + " 30 10 click 1");
  EXPECT_EQ(theWindow(alarm), main) << output();

  // While the About box shows, the icon still answers: its menu's Exit (the last entry)
  // ends the program.
  x->run("xdotool windowactivate --sync " + main + " ; xdotool key --window " + main + " ctrl+a");
  ASSERT_TRUE(waitFor([&] {
    return !x->run("xdotool search --all --onlyvisible --pid " + std::to_string(alarm) + " --name \"^About$\"").empty();
  }, 5s)) << output();
  ASSERT_FALSE(popUpMenu().empty()) << "no tray menu";
  x->run("xdotool key Up Return");
  EXPECT_EQ(waitExit(alarm, 5s), 0) << output();
  EXPECT_TRUE(logged("quit\n"));
}

TEST_F(LedAndTrayInAnXServer, TheLedWindowOpensIsDraggedAndBringsTheMainWindowBackBesideIt) {
  log = x->root() / "alarm.log";
  const pid_t alarm = start();
  const std::string main = theWindow(alarm);
  ASSERT_FALSE(main.empty()) << output();
  ASSERT_TRUE(waitFor([&] { return logged("window shown"); }, 10s));
  std::this_thread::sleep_for(300ms);
  const Geometry m0 = geometry(main);
  // The display box sits below the menu bar, above the 151 pixels of the window's controls.
  const int menuBar = m0.h - 151;
  doubleClick(main, 100, menuBar + 20);
  ASSERT_TRUE(waitFor([&] { return logged("LED window shown"); }, 5s)) << output();
  const std::string led = theWindow(alarm);
  ASSERT_FALSE(led.empty());
  ASSERT_NE(led, main);
  std::this_thread::sleep_for(300ms);
  const Geometry l0 = geometry(led);
  EXPECT_EQ(l0.x - m0.x, 9);
  EXPECT_EQ(l0.y - m0.y, 48);

  // Dragged by its display with the mouse: once the pointer has moved a little with the
  // button down, the window follows it, the point grabbed staying under the pointer (a
  // jump right after the first small step included).
  x->run("xdotool mousemove --window " + led + " 60 16 mousedown 1 sleep 0.2 mousemove_relative --sync 3 0 sleep 0.2 "
         "mousemove_relative --sync 43 0 sleep 0.2 mousemove_relative --sync 6 30 sleep 0.2 "
         "mousemove_relative --sync 40 30 sleep 0.2 mouseup 1");
  std::this_thread::sleep_for(300ms);
  const Geometry l1 = geometry(led);
  EXPECT_EQ(l1.x - l0.x, 92) << output();
  EXPECT_EQ(l1.y - l0.y, 60) << output();

  // A double-click brings the main window back beside where the LED window now is.
  doubleClick(led, 60, 16);
  ASSERT_TRUE(waitFor([&] { return logged("LED window closed"); }, 5s)) << output();
  EXPECT_EQ(theWindow(alarm), main);
  std::this_thread::sleep_for(300ms);
  const Geometry m1 = geometry(main);
  EXPECT_EQ(m1.x, l1.x - 9);
  EXPECT_EQ(m1.y, l1.y - 48);
  // Its close box brings the main window back too.
  doubleClick(main, 100, menuBar + 20);
  std::string again;
  ASSERT_TRUE(waitFor([&] { return windows(alarm).size() == 1 && (again = windows(alarm)[0]) != main; }, 5s));
  x->run("wmctrl -i -c " + again);
  EXPECT_EQ(theWindow(alarm), main) << output();

  // Twenty double-clicks in two seconds where both displays lie: always one window.
  const int y = (std::max(menuBar + 3, 48) + std::min(menuBar + 37, 80)) / 2;
  x->run("xdotool mousemove --window " + main + " 100 " + std::to_string(y) + " click --repeat 40 --delay 50 1");
  std::this_thread::sleep_for(1500ms);
  EXPECT_EQ(windows(alarm).size(), 1u) << output();
  EXPECT_TRUE(processAlive(alarm));
}

}  // namespace
