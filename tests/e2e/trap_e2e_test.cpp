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
  const std::string main = mainWindow(alarm);
  ASSERT_FALSE(main.empty()) << output();
  ASSERT_TRUE(waitFor([&] { return logged("window shown"); }, 10s));
  clickAt(main, 174, 123);  // Prefs
  const std::string prefs = window(alarm, "^Preferences$");
  ASSERT_FALSE(prefs.empty()) << output();
  std::this_thread::sleep_for(500ms);

  // Minimised on its own through the window manager: straight back.
  x->run("xdotool windowminimize " + prefs);
  EXPECT_TRUE(waitFor([&] { return logged("a minimised frmPrefs comes back"); }, 5s)) << output();
  EXPECT_TRUE(waitFor([&] { return viewable(prefs); }, 5s));

  // The main window minimised with the preferences open: both go to the tray, and one
  // double-click on the icon brings both back, the preferences on top with the keyboard.
  x->run("xdotool windowminimize " + main);
  ASSERT_TRUE(waitFor([&] { return logged("window hidden in the notification area"); }, 10s)) << output();
  ASSERT_TRUE(waitFor([&] { return !viewable(main) && !viewable(prefs); }, 5s));
  const std::string icon = trayIcon(alarm);
  ASSERT_FALSE(icon.empty()) << "no tray icon window";
  x->run("xdotool mousemove --window " + icon + " 4 4 click --repeat 2 --delay 80 1");
  EXPECT_TRUE(waitFor([&] { return viewable(main) && viewable(prefs); }, 5s)) << output();
  EXPECT_TRUE(waitFor([&] { return active() == prefs; }, 5s)) << active() << " is active, not " << prefs;
  EXPECT_GT(stackPlace(prefs), stackPlace(main));

  // Set Volume: the volume window comes above the preferences (which stay on top of other
  // windows); a second press brings that one forward instead of opening another.
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
  x->run("xdotool windowactivate --sync " + prefs + " ; xdotool key --window " + prefs + " Return");
  ASSERT_TRUE(waitFor([&] { return logged("preferences stored"); }, 5s)) << output();
  x->run("wmctrl -i -c " + main);
  EXPECT_EQ(waitExit(alarm, 10s), 0) << output();
}

}  // namespace
