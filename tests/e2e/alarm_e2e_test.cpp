// SPDX-License-Identifier: GPL-3.0-or-later
// The built program in a real X server with a window manager: type an alarm time, press
// Enter, see the alarm fire at its second in the diagnostic log, quit through the close
// box and the quit question, start again and find the settings restored.
#include <gtest/gtest.h>
#include <signal.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>

#include "desktop_fixture.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace testx;

namespace {

using e2e::firstLine;
using AlarmInAnXServer = e2e::Desktop;

TEST_F(AlarmInAnXServer, TypedAlarmFiresAtItsSecondAndTheSettingsSurviveARestart) {
  const fs::path log1 = x->root() / "first.log";
  const pid_t first = start(log1);
  const std::string win = mainWindow(first);
  ASSERT_FALSE(win.empty()) << slurp(x->root() / "first.log.out");
  ASSERT_TRUE(logged(log1, "window loaded"));

  // An alarm a few seconds from now, typed into the three fields (the hours field has the focus).
  const std::time_t when = std::time(nullptr) + 6;
  std::tm tm{};
  localtime_r(&when, &tm);
  char hh[3], mm[3], ss[3], text[9];
  std::snprintf(hh, sizeof hh, "%02d", tm.tm_hour);
  std::snprintf(mm, sizeof mm, "%02d", tm.tm_min);
  std::snprintf(ss, sizeof ss, "%02d", tm.tm_sec);
  std::snprintf(text, sizeof text, "%s:%s:%s", hh, mm, ss);
  x->run("xdotool windowactivate --sync " + win + " ; xdotool windowfocus --sync " + win);
  x->run("xdotool type --delay 30 --window " + win + " " + hh + " ; xdotool key --window " + win + " Tab ; " +
         "xdotool type --delay 30 --window " + win + " " + mm + " ; xdotool key --window " + win + " Tab ; " +
         "xdotool type --delay 30 --window " + win + " " + ss + " ; xdotool key --window " + win + " Return");
  ASSERT_TRUE(logged(log1, std::string("alarm set for ") + text, 5s))
      << slurp(log1);

  // The fire line carries the time of the check: it must be the alarm's own second.
  std::smatch m;
  const std::regex fire(std::string(R"(\d{4}-\d\d-\d\dT(\d\d:\d\d:\d\d)\.(\d{3}) fire: alarm )") + text);
  std::string l;
  ASSERT_TRUE(waitFor([&] { l = slurp(log1); return std::regex_search(l, m, fire); }, 15s)) << l;
  EXPECT_EQ(m[1].str(), text) << l;
  // The sound code is loaded for the alarm's sound (just before its second), not at start.
  const std::size_t armed = l.find("alarm set for");
  ASSERT_TRUE(logged(log1, "sound: media module loaded", 5s))
      << slurp(log1);
  EXPECT_GT(slurp(log1).find("sound: media module loaded"), armed) << slurp(log1);
  // The alert window shows with the focus on Stop; Enter stops the alarm.
  ASSERT_TRUE(logged(log1, "alert shown: frmAlarmMessage", 5s))
      << slurp(log1);
  std::this_thread::sleep_for(300ms);
  x->run("xdotool key --window \"$(xdotool getwindowfocus)\" Return");
  ASSERT_TRUE(logged(log1, "alarm stopped", 5s)) << slurp(log1);

  // Quit through the close box: an alarm is still set, so the question comes; answer Yes.
  x->run("wmctrl -i -c " + win);
  ASSERT_TRUE(logged(log1, "message box \"Alarm - Quit\": Are you sure you want to quit? (You have activated an alarm)."))
      << slurp(log1);
  std::string box;
  ASSERT_TRUE(waitFor([&] {
    // The last match: the program's hidden leader window may carry the name as well.
    box = firstLine(x->run("xdotool search --all --onlyvisible --pid " + std::to_string(first) +
                           " --name \"Alarm - Quit\" | tail -n 1"));
    return !box.empty() && box != win;
  }, 10s));
  std::this_thread::sleep_for(300ms);
  x->run("xdotool windowactivate --sync " + box + " ; xdotool key --window " + box + " alt+y");
  EXPECT_EQ(waitExit(first, 10s), 0) << slurp(log1);
  const std::string loaded1 = l.substr(l.find("window loaded"));

  // The next start restores the fields and the position.
  const fs::path log2 = x->root() / "second.log";
  const pid_t second = start(log2);
  ASSERT_FALSE(mainWindow(second).empty()) << slurp(x->root() / "second.log.out");
  ASSERT_TRUE(logged(log2, "window loaded"));
  const std::string l2 = slurp(log2);
  EXPECT_NE(l2.find(std::string("window loaded: fields ") + text + ", 24-hour clock"), std::string::npos) << l2;
  const std::string conf = slurp(settingsFile());
  EXPECT_NE(conf.find("Startup=\"True\""), std::string::npos) << conf;
  EXPECT_NE(conf.find(std::string("SS=\"") + ss + "\""), std::string::npos) << conf;

  // The end of the session (SIGTERM) saves without asking.
  ::kill(second, SIGTERM);
  EXPECT_EQ(waitExit(second, 10s), 0) << slurp(log2);
  EXPECT_NE(slurp(log2).find("the session is ending"), std::string::npos);
  EXPECT_EQ(slurp(log2).find("message box"), std::string::npos);
}

TEST_F(AlarmInAnXServer, EnlargedStartsKeepTheStoredPlace) {
  settings({{"Startup", "True"}, {"Top", "1500"}, {"Left", "1500"}});
  for (int run = 0; run < 3; ++run) {
    const fs::path log = x->root() / ("enlarged" + std::to_string(run) + ".log");
    const pid_t pid = x->spawn({(binDir() / "Alarm").string(), "Enlarge", "--log", log.string()}, log.filename().string() + ".out");
    const std::string win = mainWindow(pid);
    ASSERT_FALSE(win.empty()) << slurp(x->root() / (log.filename().string() + ".out"));
    std::this_thread::sleep_for(700ms);  // the enlarged size is applied once the frame is known
    x->run("wmctrl -i -c " + win);
    ASSERT_EQ(waitExit(pid, 10s), 0) << slurp(log);
    const std::string saved = slurp(settingsFile());
    EXPECT_NE(saved.find("Top=\"1500\""), std::string::npos) << "run " << run << ":\n" << saved;
    EXPECT_NE(saved.find("Left=\"1500\""), std::string::npos) << "run " << run << ":\n" << saved;
  }
}

}  // namespace
