// SPDX-License-Identifier: GPL-3.0-or-later
// The built program in a real X server: one copy per user and program file name, the
// settings file it creates, its own files found wherever it is started from, and the end
// of the session during the start.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/store.h"
#include "desktop_fixture.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace testx;

namespace {

std::string windowsOf(XSession& x, pid_t pid, const std::string& title = "Alarm") {
  return x.run("xdotool search --all --onlyvisible --pid " + std::to_string(pid) + " --name " + title);
}

// The bare X server: no window manager unless a test starts one.
class StartUpInAnXServer : public e2e::Desktop {
 public:
  explicit StartUpInAnXServer(bool withControl = true) {
    neededTools = {};
    windowManager = false;
    displayControl = withControl;
  }
};

TEST_F(StartUpInAnXServer, ASecondCopyShowsTheMessageAndEndsWhenItIsAnswered) {
  const std::string alarm = (binDir() / "Alarm").string();
  const fs::path conf = settingsFile();
  const pid_t first = x->spawn({alarm, "--log", (x->root() / "first.log").string()}, "first.out");
  ASSERT_TRUE(waitFor([&] { return fs::exists(conf); }, 15s)) << slurp(x->root() / "first.out");
  ASSERT_TRUE(waitFor([&] { return !windowsOf(*x, first).empty(); }, 15s)) << slurp(x->root() / "first.out");
  struct stat before {};
  ::stat(conf.c_str(), &before);
  const std::string confBefore = slurp(conf);

  const fs::path secondLog = x->root() / "second.log";
  const pid_t second = x->spawn({alarm, "--log", secondLog.string()}, "second.out");
  ASSERT_TRUE(logged(secondLog, "message box \"Alarm\": Alarm is already running.", 15s))
      << slurp(x->root() / "second.out");
  std::string box;
  ASSERT_TRUE(waitFor([&] { return !(box = windowsOf(*x, second)).empty(); }, 10s));
  box = box.substr(0, box.find('\n'));
  EXPECT_EQ(waitExit(second, 500ms), -1) << "the copy must wait until the message is answered";

  x->run("xdotool windowfocus --sync " + box + " key Return");
  EXPECT_EQ(waitExit(second, 5s), 0);
  EXPECT_TRUE(processAlive(first));
  EXPECT_EQ(slurp(conf), confBefore) << "the second copy must not touch the settings";
  EXPECT_EQ(slurp(secondLog).find("start\n"), std::string::npos);
  // Without a notification area the first copy runs on without its icon.
  EXPECT_NE(slurp(x->root() / "first.log").find("no notification area"), std::string::npos);

  ::kill(first, SIGKILL);
  waitExit(first, 5s);
  // A killed copy never blocks the next start.
  const pid_t third = x->spawn({alarm}, "third.out");
  EXPECT_TRUE(waitFor([&] { return !windowsOf(*x, third).empty(); }, 20s)) << slurp(x->root() / "third.out");
  EXPECT_EQ(waitExit(third, 0ms), -1) << "the next copy ended: " << slurp(x->root() / "third.out");
}

TEST_F(StartUpInAnXServer, TheTrayIconIsShownWhenTheDesktopHasANotificationArea) {
  std::string trayer = x->run("command -v trayer");
  if (trayer.empty()) GTEST_SKIP() << "needs trayer";
  x->spawn({trayer.substr(0, trayer.find('\n')), "--edge", "top"}, "trayer.out");
  // The notification area takes a moment to claim its place on the screen; a copy started
  // before it has claimed it rightly runs without an icon, so such a start is repeated.
  ASSERT_TRUE(waitFor([&] { return !x->run("xdotool search --all --onlyvisible --class trayer").empty(); }, 10s));
  bool shown = false;
  std::string logs;
  for (int attempt = 0; attempt < 5 && !shown; ++attempt) {
    const fs::path log = x->root() / ("alarm" + std::to_string(attempt) + ".log");
    const pid_t alarm = x->spawn({(binDir() / "Alarm").string(), "--log", log.string()}, "alarm.out");
    waitFor([&] {
      const std::string l = slurp(log);
      return l.find("tray icon shown") != std::string::npos || l.find("no notification area") != std::string::npos;
    }, 15s);
    logs = slurp(log);
    shown = logs.find("tray icon shown: Alarm 2.0.7\n") != std::string::npos;
    EXPECT_TRUE(processAlive(alarm));
    ::kill(alarm, SIGKILL);
    waitExit(alarm, 5s);
    if (!shown) std::this_thread::sleep_for(1s);
  }
  EXPECT_TRUE(shown) << logs << slurp(x->root() / "alarm.out");
}

TEST_F(StartUpInAnXServer, ACopyNamedClockKeepsItsOwnSettingsAndRunsBesideAlarm) {
  const fs::path clock = x->root() / "Clock";
  fs::copy_file(binDir() / "Alarm", clock);
  const pid_t alarm = x->spawn({(binDir() / "Alarm").string()}, "alarm.out");
  const pid_t copy = x->spawn({clock.string()}, "clock.out");
  EXPECT_TRUE(waitFor([&] { return fs::exists(x->configHome() / "Orvanta" / "Clock.conf"); }, 15s))
      << slurp(x->root() / "clock.out");
  EXPECT_TRUE(waitFor([&] { return fs::exists(x->configHome() / "Orvanta" / "Alarm.conf"); }, 15s));
  EXPECT_TRUE(waitFor([&] { return !windowsOf(*x, copy).empty() && !windowsOf(*x, alarm).empty(); }, 15s));
  EXPECT_TRUE(processAlive(alarm));
  EXPECT_TRUE(processAlive(copy));
}

// Started by its bare name from the PATH, in another folder, as a desktop launcher does:
// Help opens the readme beside the program, and "Set Alarm on Startup" writes an entry
// that starts this very program at log-on.
TEST_F(StartUpInAnXServer, StartedFromThePathElsewhereItFindsItsOwnFiles) {
  const std::string openbox = e2e::firstLine(x->run("command -v openbox"));
  if (openbox.empty()) GTEST_SKIP() << "needs openbox";
  x->spawn({openbox}, "openbox.out");
  std::this_thread::sleep_for(500ms);  // the window manager settles before the window maps
  const fs::path bin = fs::canonical(binDir());
  const fs::path elsewhere = x->root() / "elsewhere", tools = x->root() / "tools", opened = x->root() / "opened.txt";
  fs::create_directories(elsewhere);
  fs::create_directories(tools);
  // The desktop's opener, replaced by one that notes what it was asked to open.
  std::ofstream(tools / "xdg-open") << "#!/bin/sh\necho \"$@\" >> '" << opened.string() << "'\n";
  fs::permissions(tools / "xdg-open", fs::perms::owner_all);
  const fs::path log = x->root() / "alarm.log";
  const pid_t alarm = x->spawn({"/bin/sh", "-c", "cd '" + elsewhere.string() + "' && PATH='" + tools.string() + ":" +
                                                    bin.string() + ":'\"$PATH\" exec Alarm --log '" + log.string() + "'"},
                               "alarm.out");
  const std::string win = window(alarm, "^Alarm$", 20s);
  ASSERT_FALSE(win.empty()) << slurp(x->root() / "alarm.out");
  x->run("xdotool windowactivate --sync " + win + " ; xdotool key F1");
  const std::string readme = (bin / "readme.txt").string();
  EXPECT_TRUE(logged(opened, "file://" + readme, 10s))
      << slurp(log) << slurp(opened);
  EXPECT_EQ(slurp(log).find("readme.txt seems to be missing"), std::string::npos);

  // Edit menu: three colours, two sizes, two clock modes, then "Set Alarm on Startup".
  x->run("xdotool windowactivate --sync " + win + " ; xdotool key --delay 150 alt+e Down Down Down Down Down Down Down Return");
  const fs::path entry = x->configHome() / "autostart" / "Alarm.desktop";
  ASSERT_TRUE(waitFor([&] { return fs::exists(entry); }, 10s)) << slurp(log);
  const auto exec = platform::FileStore(x->configHome().string()).readValue(platform::kHkeyCurrentUser, platform::kRunSubKey, "Alarm");
  EXPECT_EQ(exec.value_or(""), (bin / "Alarm").string()) << slurp(entry);
}

// The session ends while "Set Alarm on Startup" warns about a saved time out of range: the
// unload runs inside the load, and the start must end there instead of showing a window
// that no longer closes.
TEST_F(StartUpInAnXServer, TheSessionEndingWhileTheStartWarnsEndsTheProgram) {
  const fs::path conf = settingsFile();
  fs::create_directories(conf.parent_path());
  std::ofstream(conf) << "[General]\nAutoStartMenu=True\nHH=99\nNN=00\nSS=00\n";
  const fs::path log = x->root() / "alarm.log";
  const pid_t alarm = x->spawn({(binDir() / "Alarm").string(), "--log", log.string()}, "alarm.out");
  ASSERT_TRUE(logged(log, "message box \"I'm afraid I can't do that Tobrin...\"", 15s))
      << slurp(log) << slurp(x->root() / "alarm.out");
  ::kill(alarm, SIGTERM);
  EXPECT_EQ(waitExit(alarm, 10s), 0) << slurp(log);
  const std::string l = slurp(log);
  EXPECT_NE(l.find("the session is ending"), std::string::npos) << l;
  EXPECT_EQ(l.find("window shown"), std::string::npos) << l;
  EXPECT_NE(slurp(conf).find("Startup="), std::string::npos) << "the unload saved the settings";
}

// The LED display control is not registered for this user.
class StartUpWithoutTheDisplayControl : public StartUpInAnXServer {
 public:
  StartUpWithoutTheDisplayControl() : StartUpInAnXServer(false) {}
};

TEST_F(StartUpWithoutTheDisplayControl, ShowsTheReinstallMessageAndEndsWithoutAWindow) {
  const fs::path log = x->root() / "alarm.log";
  const pid_t alarm = x->spawn({(binDir() / "Alarm").string(), "--log", log.string()}, "alarm.out");
  EXPECT_TRUE(waitFor([&] {
    const std::string l = slurp(log);
    return l.find("message box \"Error\": An Error was generated: / Description: Error 339 - ") != std::string::npos &&
           l.find(" /  / Re-install the program to fix this.\n") != std::string::npos;
  }, 15s)) << slurp(log) << slurp(x->root() / "alarm.out");
  std::string box;
  ASSERT_TRUE(waitFor([&] { return !(box = windowsOf(*x, alarm, "Error")).empty(); }, 10s));
  box = box.substr(0, box.find('\n'));
  EXPECT_EQ(x->run("xdotool getwindowname " + box), "Error\n");
  x->run("xdotool windowfocus --sync " + box + " key Return");
  EXPECT_EQ(waitExit(alarm, 5s), 0) << "start-up must end after the message";
}

}  // namespace
