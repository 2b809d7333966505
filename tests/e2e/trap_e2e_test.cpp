// SPDX-License-Identifier: GPL-3.0-or-later
// Nothing traps the user, in a real X server with a window manager (openbox) and a
// notification area (trayer): a minimised dialog comes straight back, the preferences go to
// the tray with the main window and come back on top of it with the keyboard, and the
// volume window opened from the preferences comes above them, once.
#include <gtest/gtest.h>
#include <signal.h>

#include <sstream>
#include <thread>

#include "desktop_fixture.h"

using namespace std::chrono_literals;
using namespace testx;
using e2e::firstLine;

namespace {

class NothingTraps : public e2e::Desktop {
 protected:
  NothingTraps() { neededTools = {"openbox", "trayer", "xwininfo", "xprop", "wmctrl"}; }

  bool logged(const std::string& text) const { return slurp(log).find(text) != std::string::npos; }
  std::string output() const { return slurp(log) + slurp(x->root() / (log.filename().string() + ".out")); }
  // The program's shown window of that title, larger than a tray icon ("" when none).
  std::string shown(pid_t pid, const std::string& title) {
    std::string found;
    waitFor([&] {
      std::istringstream in(
          x->run("xdotool search --all --onlyvisible --pid " + std::to_string(pid) + " --name \"" + title + "\""));
      for (std::string id; std::getline(in, id);)
        if (!id.empty() && geometry(id).w > 64) found = id;
      return !found.empty();
    }, 10s);
    return found;
  }
  std::string active() { return firstLine(x->run("xdotool getactivewindow")); }
  // Where the window stands in the window manager's stacking order (bottom first), -1 when absent.
  long stackPlace(const std::string& win) {
    std::istringstream in(x->run("xprop -root _NET_CLIENT_LIST_STACKING | tr -d ',' | cut -d'#' -f2"));
    const unsigned long id = std::stoul(win);
    long place = 0;
    for (std::string w; in >> w; ++place)
      if (std::stoul(w, nullptr, 16) == id) return place;
    return -1;
  }

  std::filesystem::path log;
};

TEST_F(NothingTraps, MinimisedDialogsComeBackAndTheVolumeWindowComesAboveThePreferencesOnce) {
  const pid_t alarm = startWithTrayIcon("alarm", log);
  ASSERT_GT(alarm, 0) << slurp(x->root() / "trayer.out") << output();
  const std::string main = shown(alarm, "^Alarm$");
  ASSERT_FALSE(main.empty()) << output();
  ASSERT_TRUE(waitFor([&] { return logged("window shown"); }, 10s));
  clickAt(main, 174, 123);  // Prefs
  const std::string prefs = shown(alarm, "^Preferences$");
  ASSERT_FALSE(prefs.empty()) << output();
  std::this_thread::sleep_for(500ms);

  // The preferences minimised (openbox offers it on every dialog and takes the owner along),
  // then the main window with the preferences open: each time both go to the tray, and
  // Launch, then a double-click on the icon, brings both back, the preferences on top
  // with the keyboard.
  const std::string icon = trayIcon(alarm);
  ASSERT_FALSE(icon.empty()) << "no tray icon window";
  for (const std::string& minimised : {prefs, main}) {
    SCOPED_TRACE(minimised == main ? "main window minimised" : "preferences minimised");
    x->run("xdotool windowminimize " + minimised);
    ASSERT_TRUE(waitFor([&] { return !viewable(main) && !viewable(prefs); }, 5s)) << output();
    std::this_thread::sleep_for(500ms);
    if (minimised == prefs) {
      // The icon's menu (the program's only large window now), and Launch, its first entry.
      x->run("xdotool mousemove --window " + icon + " 4 4 click 3");
      const std::string menu = shown(alarm, ".*");
      ASSERT_FALSE(menu.empty()) << "no tray menu";
      clickAt(menu, 30, 10);
    } else {
      x->run("xdotool mousemove --window " + icon + " 4 4 click --repeat 2 --delay 80 1");
    }
    EXPECT_TRUE(waitFor([&] { return viewable(main) && viewable(prefs); }, 5s)) << output();
    EXPECT_TRUE(waitFor([&] { return active() == prefs; }, 5s)) << active() << " is active, not " << prefs;
    EXPECT_GT(stackPlace(prefs), stackPlace(main));
  }

  // Set Volume: the volume window comes above the preferences (which stay on top of other
  // windows); a second press brings that one forward instead of opening another.
  x->run("xdotool windowactivate --sync " + prefs);
  std::this_thread::sleep_for(500ms);  // settled after coming back, on a busy machine too
  clickAt(prefs, 60, 147);
  std::string vol;
  ASSERT_TRUE(waitFor([&] { return !(vol = firstLine(x->run("xdotool search --onlyvisible --name \"^Alarm volume$\""))).empty(); },
                      10s)) << output();
  EXPECT_TRUE(waitFor([&] { return stackPlace(vol) > stackPlace(prefs); }, 5s));
  x->run("xdotool windowactivate --sync " + prefs);
  EXPECT_TRUE(waitFor([&] { return stackPlace(vol) < stackPlace(prefs); }, 5s));
  clickAt(prefs, 60, 147);
  EXPECT_TRUE(waitFor([&] { return stackPlace(vol) > stackPlace(prefs); }, 5s));
  EXPECT_EQ(x->run("xdotool search --onlyvisible --name \"^Alarm volume$\" | wc -l"), "1\n");
  x->run("wmctrl -i -c " + vol);
  ASSERT_TRUE(waitFor([&] { return logged("the started program has ended"); }, 10s)) << output();

  // Done, and the main window answers again: its close box ends the program.
  x->run("xdotool windowactivate --sync " + prefs);
  clickAt(prefs, 400, 300);  // Done! (Enter would press Set Volume again, which has the focus)
  ASSERT_TRUE(waitFor([&] { return logged("preferences stored"); }, 5s)) << output();
  x->run("wmctrl -i -c " + main);
  EXPECT_EQ(waitExit(alarm, 10s), 0) << output();
}

}  // namespace
