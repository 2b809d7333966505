// The preferences in a real X server with a window manager: opened from the main window's
// Prefs button, the snooze interval changed through its link, other choices made, Done;
// after a restart every changed value is back.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "xsession.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace testx;

namespace {

std::string firstLine(const std::string& s) { return s.substr(0, s.find('\n')); }

class PrefsInAnXServer : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string missing = missingTools();
    for (const char* tool : {"openbox", "wmctrl"})
      if (std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) != 0)
        missing += std::string(missing.empty() ? "" : ", ") + tool;
    if (!missing.empty()) GTEST_SKIP() << "needs " << missing << " to drive the program in a real X server";
    ASSERT_TRUE(fs::exists(binDir() / "Alarm")) << binDir();
    x = std::make_unique<XSession>();
    ASSERT_TRUE(x->ok()) << "Xvfb did not start";
    x->registerDisplayControl();
    x->spawn({firstLine(x->run("command -v openbox"))}, "openbox.out");
    std::this_thread::sleep_for(500ms);
  }

  // The visible window of that process whose title is exactly name.
  std::string findWindow(pid_t pid, const std::string& name) {
    return firstLine(x->run("xdotool search --onlyvisible --pid " + std::to_string(pid) + " --name \"^" + name +
                            "$\" | tail -n 1"));
  }
  std::string window(pid_t pid, const std::string& name) {
    std::string id;
    waitFor([&] { return !(id = findWindow(pid, name)).empty(); }, 10s);
    return id;
  }
  void clickAt(const std::string& win, int px, int py) {
    x->run("xdotool mousemove --window " + win + " " + std::to_string(px) + " " + std::to_string(py) + " click 1");
    std::this_thread::sleep_for(200ms);
  }
  // Replaces the text of the focused box (keys go through the server, as typed).
  void retype(const std::string& win, const std::string& text) {
    x->run("xdotool windowactivate --sync " + win + " ; xdotool key ctrl+a ; xdotool type --delay 20 \"" + text + "\"");
  }
  bool logged(const fs::path& log, const std::string& line) {
    return waitFor([&] { return slurp(log).find(line) != std::string::npos; }, 10s);
  }
  pid_t start(const fs::path& log) {
    const pid_t pid = x->spawn({(binDir() / "Alarm").string(), "--log", log.string()}, log.filename().string() + ".out");
    main_ = window(pid, "Alarm");
    EXPECT_TRUE(logged(log, "window loaded")) << slurp(log);
    return pid;
  }
  // The Prefs button of the main window, below the menu bar.
  void pressPrefs() { clickAt(main_, 174, 123); }

  std::unique_ptr<XSession> x;
  std::string main_;
};

TEST_F(PrefsInAnXServer, ChangesMadeAndConfirmedWithDoneAreBackAfterARestart) {
  const fs::path log1 = x->root() / "first.log";
  const pid_t first = start(log1);
  ASSERT_FALSE(main_.empty()) << slurp(x->root() / "first.log.out");
  pressPrefs();
  const std::string prefs = window(first, "Preferences");
  ASSERT_FALSE(prefs.empty()) << slurp(log1);
  EXPECT_TRUE(logged(log1, "preferences loaded: sound alarm.wav, message window, message \"Alarm!!!\", command off"))
      << slurp(log1);

  clickAt(prefs, 40, 292);  // "Set Snooze Interval"
  const std::string snooze = window(first, "Snooze Interval");
  ASSERT_FALSE(snooze.empty()) << slurp(log1);
  retype(snooze, "21");
  clickAt(snooze, 260, 18);  // Set
  ASSERT_TRUE(logged(log1, "Snooze set to 21 minutes")) << slurp(log1);

  clickAt(prefs, 22, 33);   // Beep
  clickAt(prefs, 300, 36);  // the message
  retype(prefs, "Wake up now");
  clickAt(prefs, 400, 300);  // Done!
  ASSERT_TRUE(logged(log1, "preferences stored")) << slurp(log1);
  EXPECT_TRUE(waitFor([&] { return findWindow(first, "Preferences") != prefs; }, 5s)) << slurp(log1);  // hidden

  x->run("wmctrl -i -c " + main_);
  ASSERT_EQ(waitExit(first, 10s), 0) << slurp(log1);

  const fs::path log2 = x->root() / "second.log";
  const pid_t second = start(log2);
  pressPrefs();
  EXPECT_TRUE(logged(log2, "preferences loaded: sound beep, message window, message \"Wake up now\", command off"))
      << slurp(log2);
  const std::string prefs2 = window(second, "Preferences");
  ASSERT_FALSE(prefs2.empty());
  clickAt(prefs2, 40, 292);
  EXPECT_TRUE(logged(log2, "Snooze loaded: 21 minutes")) << slurp(log2);
  const std::string conf = slurp(x->configHome() / "Orvanta" / "Alarm.conf");
  EXPECT_NE(conf.find("Snooze=\"21\""), std::string::npos) << conf;
  EXPECT_NE(conf.find("Beep=\"True\""), std::string::npos) << conf;
  EXPECT_NE(conf.find("Message=\"Wake up now\""), std::string::npos) << conf;

  ::kill(second, SIGTERM);
  EXPECT_EQ(waitExit(second, 10s), 0) << slurp(log2);
}

}  // namespace
