// SPDX-License-Identifier: GPL-3.0-or-later
// The preferences in a real X server with a window manager: opened from the main window's
// Prefs button, the snooze interval changed through its link, other choices made, Done;
// after a restart every changed value is back.
#include <gtest/gtest.h>
#include <signal.h>

#include "desktop_fixture.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace testx;

namespace {

class PrefsInAnXServer : public e2e::Desktop {
 protected:
  // Starts the program and waits for its main window to be loaded and in its place.
  pid_t startLoaded(const fs::path& log) {
    const pid_t pid = start(log);
    main_ = mainWindow(pid);
    EXPECT_TRUE(logged(log, "window loaded")) << slurp(log);
    if (!main_.empty()) settledGeometry(main_);
    return pid;
  }
  // The Prefs button of the main window, below the menu bar.
  void pressPrefs() { clickAt(main_, 174, 123); }

  std::string main_;
};

TEST_F(PrefsInAnXServer, ChangesMadeAndConfirmedWithDoneAreBackAfterARestart) {
  const fs::path log1 = x->root() / "first.log";
  const pid_t first = startLoaded(log1);
  ASSERT_FALSE(main_.empty()) << slurp(x->root() / "first.log.out");
  pressPrefs();
  const std::string prefs = window(first, "^Preferences$");
  ASSERT_FALSE(prefs.empty()) << slurp(log1);
  EXPECT_TRUE(logged(log1, "preferences loaded: sound alarm.wav, message window, message \"Alarm!!!\", command off"))
      << slurp(log1);
  const e2e::Geometry placed = settledGeometry(prefs);

  clickAt(prefs, 40, 292);  // "Set Snooze Interval"
  const std::string snooze = window(first, "^Snooze Interval$");
  ASSERT_FALSE(snooze.empty()) << slurp(log1);
  retype(snooze, "21");
  clickAt(snooze, 260, 18);  // Set
  ASSERT_TRUE(logged(log1, "Snooze set to 21 minutes")) << slurp(log1);

  clickAt(prefs, 22, 33);   // Beep
  clickAt(prefs, 300, 36);  // the message
  retype(prefs, "Wake up now");
  clickAt(prefs, 400, 300);  // Done!
  ASSERT_TRUE(logged(log1, "preferences stored")) << slurp(log1);
  EXPECT_TRUE(waitFor([&] { return findWindow(first, "^Preferences$") != prefs; }, 5s)) << slurp(log1);  // hidden
  // Opened again, it comes where it was.
  pressPrefs();
  const std::string again = window(first, "^Preferences$");
  ASSERT_FALSE(again.empty());
  const e2e::Geometry reopened = settledGeometry(again);
  EXPECT_EQ(reopened.x, placed.x);
  EXPECT_EQ(reopened.y, placed.y);
  // Done, by a key pressed and released at the keyboard: sent to the window, its release
  // would go astray once Done has hidden it, and the key would repeat in the next window.
  x->run("xdotool windowactivate --sync " + again + " ; xdotool key Return");
  ASSERT_TRUE(waitFor([&] { return findWindow(first, "^Preferences$") != again; }, 5s)) << slurp(log1);

  x->run("wmctrl -i -c " + main_);
  ASSERT_EQ(waitExit(first, 10s), 0) << slurp(log1);

  const fs::path log2 = x->root() / "second.log";
  const pid_t second = startLoaded(log2);
  pressPrefs();
  EXPECT_TRUE(logged(log2, "preferences loaded: sound beep, message window, message \"Wake up now\", command off"))
      << slurp(log2);
  const std::string prefs2 = window(second, "^Preferences$");
  ASSERT_FALSE(prefs2.empty());
  clickAt(prefs2, 40, 292);
  EXPECT_TRUE(logged(log2, "Snooze loaded: 21 minutes")) << slurp(log2);
  const std::string conf = slurp(settingsFile());
  EXPECT_NE(conf.find("Snooze=\"21\""), std::string::npos) << conf;
  EXPECT_NE(conf.find("Beep=\"True\""), std::string::npos) << conf;
  EXPECT_NE(conf.find("Message=\"Wake up now\""), std::string::npos) << conf;

  ::kill(second, SIGTERM);
  EXPECT_EQ(waitExit(second, 10s), 0) << slurp(log2);
}

}  // namespace
