// SPDX-License-Identifier: GPL-3.0-or-later
// The main window in a real X server with a window manager, driven by the mouse and the
// keyboard as a user drives it: a click out of a field, Ctrl+T, and a start hidden in the
// notification area.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <sstream>

#include "desktop_fixture.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace testx;
using e2e::firstLine;

namespace {

class MainWindowInAnXServer : public e2e::Desktop {
 protected:
  fs::path log;
  pid_t pid = -1;
  // The window's inner width and height.
  std::pair<int, int> size(const std::string& win) {
    std::istringstream geometry(x->run("xdotool getwindowgeometry --shell " + win));
    int w = 0, h = 0;
    for (std::string line; std::getline(geometry, line);) {
      if (line.rfind("WIDTH=", 0) == 0) w = std::stoi(line.substr(6));
      if (line.rfind("HEIGHT=", 0) == 0) h = std::stoi(line.substr(7));
    }
    return {w, h};
  }
  // Starts the program on these settings and activates its window; the window's id.
  std::string startActive(const std::map<std::string, std::string>& values) {
    settings(values);
    log = x->root() / "alarm.log";
    pid = start(log);
    const std::string win = mainWindow(pid);
    if (!win.empty()) x->run("xdotool windowactivate --sync " + win);
    std::this_thread::sleep_for(300ms);
    return win;
  }
  bool onTop(const std::string& win) {
    return x->run("xprop -id " + win + " _NET_WM_STATE").find("_NET_WM_STATE_ABOVE") != std::string::npos;
  }
};

const std::string kRange12 =
    "message box \"I'm afraid I can't do that Tobrin...\": Please enter a value in the range of 0 - 12.";

TEST_F(MainWindowInAnXServer, AClickOnSetAlarmChecksTheHoursFieldInAmPmModeAndTheAlarmSetOutlivesAKill) {
  const std::string win = startActive({{"AMPMMenuIndex", "0"}, {"AMPMcboEnabled", "True"}, {"HH", "7"}, {"NN", "30"},
                                       {"SS", "00"}, {"AutoStartMenu", "True"}});
  ASSERT_FALSE(win.empty()) << slurp(x->root() / "alarm.log.out");
  ASSERT_TRUE(logged(log, "alarm set for 7:30:00 PM")) << slurp(log);
  const std::size_t started = slurp(log).size();
  // The hours field has the focus: 13, then a real click on "Set Alarm" (its middle is
  // 76, 79 pixels into the area below the menu bar; the area is 151 pixels high).
  x->run("xdotool key BackSpace BackSpace BackSpace ; xdotool type --delay 40 13");
  const auto [w, h] = size(win);
  ASSERT_GT(h, 151);
  x->run("xdotool mousemove --window " + win + " 76 " + std::to_string(h - 151 + 79) + " click 1");
  ASSERT_TRUE(logged(log, kRange12)) << slurp(log);
  EXPECT_EQ(slurp(log).find("alarm set for", started), std::string::npos) << slurp(log);
  const std::string box = window(pid, "Tobrin");
  ASSERT_FALSE(box.empty());
  std::this_thread::sleep_for(300ms);
  x->run("xdotool windowactivate --sync " + box + " ; sleep 0.3 ; xdotool key Return");
  ASSERT_TRUE(waitFor([&] { return x->run("xdotool search --onlyvisible --name Tobrin").empty(); }, 10s));

  // The focus stayed in the field with its text selected: 12 replaces it and Enter arms.
  x->run("xdotool windowactivate --sync " + win + " ; xdotool type --delay 40 12 ; xdotool key Return");
  EXPECT_TRUE(logged(log, "alarm set for 12:30:00 PM"))
      << slurp(log);

  // Reset puts the time now into the fields; then the program is killed. The next start
  // arms the alarm that was set.
  x->run("xdotool key ctrl+r");
  ASSERT_TRUE(waitFor([&] { return slurp(settingsFile()).find("HH=\"12\"") != std::string::npos; }, 5s));
  ::kill(pid, SIGKILL);
  waitExit(pid, 10s);
  log = x->root() / "again.log";
  pid = start(log);
  EXPECT_TRUE(logged(log, "alarm set for 12:30:00 PM")) << slurp(log);
  ::kill(pid, SIGTERM);
  EXPECT_EQ(waitExit(pid, 10s), 0);
}

TEST_F(MainWindowInAnXServer, CtrlTKeepsTheKeyboardFocusAndTheWindowsPlace) {
  const std::string win =
      startActive({{"Startup", "True"}, {"Top", "3000"}, {"Left", "4500"}, {"HH", "07"}, {"NN", "30"}, {"SS", "00"}});
  ASSERT_FALSE(win.empty()) << slurp(x->root() / "alarm.log.out");
  x->run("xdotool key ctrl+t");
  EXPECT_TRUE(waitFor([&] { return onTop(mainWindow(pid)); }, 5s));
  std::this_thread::sleep_for(300ms);
  // Tab to the minutes and type: the typed digit replaces them.
  x->run("xdotool key Tab ; xdotool type --delay 40 5");
  std::this_thread::sleep_for(300ms);
  x->run("wmctrl -i -c " + mainWindow(pid));
  ASSERT_EQ(waitExit(pid, 10s), 0) << slurp(log);
  EXPECT_TRUE(stored("AlwaysOnTopMenu", "True")) << slurp(settingsFile());
  EXPECT_TRUE(stored("NN", "5")) << slurp(settingsFile());
  EXPECT_TRUE(stored("Top", "3000") && stored("Left", "4500")) << slurp(settingsFile());
}

// A user who logs on with "Set Alarm on Startup" and "Auto Set & Minimize" finds the alarm
// armed and the window hidden in the notification area; one double-click brings it back.
TEST_F(MainWindowInAnXServer, StartedHiddenInTheTrayOneDoubleClickOnTheIconBringsTheWindowBack) {
  const std::string trayer = firstLine(x->run("command -v trayer"));
  if (trayer.empty()) GTEST_SKIP() << "needs trayer";
  x->spawn({trayer, "--edge", "top"}, "trayer.out");
  ASSERT_TRUE(waitFor([&] { return !x->run("xdotool search --all --onlyvisible --class trayer").empty(); }, 10s));
  for (int run = 0, tries = 0; run < 3 && tries < 6; ++tries) {
    settings({{"Startup", "True"}, {"Top", "3000"}, {"Left", "3000"}, {"HH", "07"}, {"NN", "30"}, {"SS", "00"},
              {"AutoStartMenu", "True"}, {"AutoMinimize", "1"}});
    log = x->root() / ("tray" + std::to_string(tries) + ".log");
    pid = start(log);
    ASSERT_TRUE(waitFor([&] {
      const std::string l = slurp(log);
      return l.find("window hidden in the notification area") != std::string::npos ||
             l.find("window minimised") != std::string::npos;
    }, 15s)) << slurp(log);
    if (slurp(log).find("tray icon shown") == std::string::npos) {
      // Started before the notification area had claimed its place: no icon, so again.
      ::kill(pid, SIGKILL);
      waitExit(pid, 5s);
      continue;
    }
    ++run;
    // The only window of the program on the screen is now its icon.
    std::string icon;
    ASSERT_TRUE(waitFor([&] {
      icon = x->run("xdotool search --onlyvisible --pid " + std::to_string(pid));
      return !icon.empty() && icon.find('\n') == icon.size() - 1;
    }, 5s)) << icon;
    icon = firstLine(icon);
    const auto [w, h] = size(icon);
    x->run("xdotool mousemove --window " + icon + " " + std::to_string(w / 2) + " " + std::to_string(h / 2) +
           " click --repeat 2 --delay 80 1");
    const auto shownWindows = [&] {
      const std::string all = x->run("xdotool search --onlyvisible --pid " + std::to_string(pid));
      return std::count(all.begin(), all.end(), '\n');
    };
    EXPECT_TRUE(waitFor([&] { return shownWindows() == 2; }, 5s)) << "run " << run << "\n" << slurp(log);
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(shownWindows(), 2) << "hidden again, run " << run << "\n" << slurp(log);
    ::kill(pid, SIGTERM);
    EXPECT_EQ(waitExit(pid, 10s), 0);
  }
}

}  // namespace
