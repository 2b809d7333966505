// SPDX-License-Identifier: GPL-3.0-or-later
// A real X server with a window manager (openbox) and the display control registered, and
// the built program started in it.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "xsession.h"

namespace e2e {

inline std::string firstLine(const std::string& s) { return s.substr(0, s.find('\n')); }

struct Geometry {
  int x = 0, y = 0, w = 0, h = 0;
};

class Desktop : public ::testing::Test {
 protected:
  void SetUp() override {
    using namespace std::chrono_literals;
    for (const std::string& tool : neededTools)
      if (std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) != 0)
        alsoMissing += std::string(alsoMissing.empty() ? "" : ", ") + tool;
    std::string missing = testx::missingTools();
    if (!alsoMissing.empty()) missing += (missing.empty() ? "" : ", ") + alsoMissing;
    if (!missing.empty()) GTEST_SKIP() << "needs " << missing << " to drive the program in a real X server";
    ASSERT_TRUE(std::filesystem::exists(testx::binDir() / "Alarm")) << testx::binDir();
    x = std::make_unique<testx::XSession>();
    ASSERT_TRUE(x->ok()) << "Xvfb did not start";
    if (displayControl) x->registerDisplayControl();
    if (!windowManager) return;
    x->spawn({firstLine(x->run("command -v openbox"))}, "openbox.out");
    std::this_thread::sleep_for(500ms);
  }

  // What a test may change before its set-up: the tools it needs besides Xvfb and xdotool,
  // what else it misses, whether openbox runs and the display control is registered.
  std::vector<std::string> neededTools{"openbox", "wmctrl"};
  std::string alsoMissing;
  bool windowManager = true, displayControl = true;

  // The visible window of that process whose title matches the pattern ("" when none).
  std::string findWindow(pid_t pid, const std::string& title) {
    return firstLine(
        x->run("xdotool search --all --onlyvisible --pid " + std::to_string(pid) + " --name \"" + title + "\" | tail -n 1"));
  }
  // The same, waited for.
  std::string window(pid_t pid, const std::string& title, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    std::string id;
    testx::waitFor([&] { return !(id = findWindow(pid, title)).empty(); }, timeout);
    return id;
  }
  // The program's main window (the visible window named Alarm of that process).
  std::string mainWindow(pid_t pid) { return window(pid, "^Alarm$", std::chrono::seconds(15)); }
  // A left click at that point of the window.
  void clickAt(const std::string& win, int px, int py) {
    x->run("xdotool mousemove --window " + win + " " + std::to_string(px) + " " + std::to_string(py) + " click 1");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  // Replaces the text of the focused box (keys go through the server, as typed).
  void retype(const std::string& win, const std::string& text) {
    x->run("xdotool windowactivate --sync " + win + " ; xdotool key ctrl+a ; xdotool type --delay 20 \"" + text + "\"");
  }
  // Whether the log shows that line within the time-out.
  static bool logged(const std::filesystem::path& log, const std::string& line,
                     std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    return testx::waitFor([&] { return testx::slurp(log).find(line) != std::string::npos; }, timeout);
  }

  pid_t start(const std::filesystem::path& log) {
    return x->spawn({(testx::binDir() / "Alarm").string(), "--log", log.string()}, log.filename().string() + ".out");
  }

  // The window's inner rectangle on the screen.
  Geometry geometry(const std::string& win) {
    Geometry g;
    std::istringstream(x->run("xwininfo -id " + win +
                              " | awk \"/Absolute upper-left|Width|Height/ { printf \\\"%s \\\", \\$NF }\"")) >>
        g.x >> g.y >> g.w >> g.h;
    return g;
  }
  // The same once the window manager has framed and placed it: unchanged over three looks.
  Geometry settledGeometry(const std::string& win) {
    Geometry last = geometry(win);
    int same = 0;
    testx::waitFor([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      const Geometry now = geometry(win);
      same = now.x == last.x && now.y == last.y && now.w == last.w && now.h == last.h ? same + 1 : 0;
      last = now;
      return same >= 2;
    }, std::chrono::seconds(5));
    return last;
  }
  bool viewable(const std::string& win) { return x->run("xwininfo -id " + win).find("IsViewable") != std::string::npos; }

  // Starts a notification area (trayer) and then the program, until the program shows its
  // icon there (a copy started before the area had claimed its place rightly runs without
  // one); the log is named from `stem`. The program's pid, -1 when no icon came.
  pid_t startWithTrayIcon(const std::string& stem, std::filesystem::path& log) {
    using namespace std::chrono_literals;
    bool trayer = false;
    for (int attempt = 0; attempt < 3 && !trayer; ++attempt) {
      const pid_t pid = x->spawn({firstLine(x->run("command -v trayer")), "--edge", "top"}, "trayer.out");
      trayer = testx::waitFor([&] { return !x->run("xdotool search --all --onlyvisible --class trayer").empty(); }, 10s);
      if (!trayer) ::kill(pid, SIGKILL);
    }
    if (!trayer) return -1;
    const auto logged = [&](const char* what) { return testx::slurp(log).find(what) != std::string::npos; };
    for (int attempt = 0; attempt < 5; ++attempt) {
      log = x->root() / (stem + std::to_string(attempt) + ".log");
      const pid_t alarm = start(log);
      testx::waitFor([&] { return logged("tray icon shown") || logged("no notification area"); }, 15s);
      if (logged("tray icon shown")) return alarm;
      ::kill(alarm, SIGKILL);
      testx::waitExit(alarm, 5s);
      std::this_thread::sleep_for(1s);
    }
    return -1;
  }
  // The program's tray icon: its small window inside the notification area ("" when none).
  std::string trayIcon(pid_t pid) {
    std::istringstream in(x->run("xdotool search --pid " + std::to_string(pid) + " --name \"^Alarm\""));
    std::string icon;
    for (std::string id; std::getline(in, id);) {
      const Geometry g = geometry(id);
      if (!id.empty() && g.w > 0 && g.w <= 64 && g.h <= 64) icon = id;
    }
    return icon;
  }

  std::filesystem::path settingsFile() const { return x->configHome() / "Orvanta" / "Alarm.conf"; }
  // Writes the settings file the next start reads.
  void settings(const std::map<std::string, std::string>& values) {
    std::filesystem::create_directories(settingsFile().parent_path());
    std::ofstream out(settingsFile());
    out << "[General]\n";
    for (const auto& [name, value] : values) out << name << "=\"" << value << "\"\n";
  }
  bool stored(const std::string& name, const std::string& value) const {
    return testx::slurp(settingsFile()).find(name + "=\"" + value + "\"\n") != std::string::npos;
  }

  std::unique_ptr<testx::XSession> x;
};

}  // namespace e2e
