// SPDX-License-Identifier: GPL-3.0-or-later
// The built program rings for real: a private X server with a window manager, a private
// PulseAudio server whose null sink is recorded, and the program started at a chosen wall
// time with an alarm armed from its stored settings. At the second alarm.wav is heard and
// the alert shows; Snooze rings it again a minute later, Stop brings the armed time back;
// the full-screen alert stops on Esc.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdint>
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
bool has(const std::string& text, const std::string& what) { return text.find(what) != std::string::npos; }

// The first sample at or after `from` (a byte offset into the 16-bit mono recording) that
// is clearly audible; -1 when there is none.
long firstAudible(const fs::path& raw, long from) {
  const std::string data = slurp(raw);
  for (long i = from & ~1L; i + 1 < static_cast<long>(data.size()); i += 2) {
    const auto v = static_cast<int16_t>(static_cast<uint8_t>(data[i]) | (static_cast<uint8_t>(data[i + 1]) << 8));
    if (v > 1500 || v < -1500) return i;
  }
  return -1;
}

std::string faketimeLibrary() {
  for (const char* dir : {"/usr/lib/x86_64-linux-gnu/faketime", "/usr/lib/aarch64-linux-gnu/faketime", "/usr/lib/faketime"})
    if (fs::exists(fs::path(dir) / "libfaketime.so.1")) return (fs::path(dir) / "libfaketime.so.1").string();
  return {};
}

long fileSize(const fs::path& p) {
  std::error_code ec;
  const auto n = fs::file_size(p, ec);
  return ec ? 0 : static_cast<long>(n);
}

class AlarmRings : public e2e::Desktop {
 protected:
  AlarmRings() {
    neededTools = {"openbox", "pulseaudio", "parec", "pactl"};
    if (faketimeLibrary().empty()) alsoMissing = "libfaketime";
  }
  void SetUp() override {
    Desktop::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    // The sound server in the session's runtime folder, where the program looks for it.
    x->spawn({firstLine(x->run("command -v pulseaudio")), "--daemonize=no", "--exit-idle-time=-1", "-n",
              "--use-pid-file=no", "--log-level=error", "--load=module-null-sink sink_name=nul",
              "--load=module-native-protocol-unix auth-anonymous=1"},
             "pulse.out");
    ASSERT_TRUE(waitFor([&] { return x->run("pactl info >/dev/null 2>&1 && echo ok").find("ok") == 0; }, 15s))
        << slurp(x->root() / "pulse.out");
    x->run("pactl set-default-sink nul");
    rec = x->root() / "sink.raw";
    x->spawn({firstLine(x->run("command -v parec")), "-d", "nul.monitor", "--raw", "--format=s16le", "--rate=44100",
              "--channels=1", "--latency-msec=20"},
             rec.filename().string());
    ASSERT_TRUE(waitFor([&] { return fileSize(rec) > 0; }, 10s));
  }

  // Stores the settings and starts the program at 06:59:54 with 07:00:00 armed.
  pid_t startAt0659(const std::string& extraSettings) {
    fs::create_directories(settingsFile().parent_path());
    std::ofstream(settingsFile()) << "[General]\nAutoStartMenu=\"True\"\nHH=\"07\"\nNN=\"00\"\nSS=\"00\"\nSnooze=\"1\"\n"
                                  << extraSettings;
    return startOn("2026-12-08 06:59:54");
  }
  // Starts the program on its stored settings with the clock at that moment; its log goes on.
  pid_t startOn(const std::string& when) {
    log = x->root() / "alarm.log";
    // libfaketime preloaded through env, so that the pid is the program's own.
    return x->spawn({"/usr/bin/env", "LD_PRELOAD=" + faketimeLibrary(), "FAKETIME=@" + when,
                     "FAKETIME_DONT_FAKE_MONOTONIC=1", (binDir() / "Alarm").string(), "--log", log.string()},
                    "alarm.out");
  }
  // Kills the program as a crash or a power cut would end it.
  void killHard(pid_t pid) {
    ::kill(pid, SIGKILL);
    waitExit(pid, 5s);
  }

  // Waits for a log line; returns the log.
  std::string waitLog(const std::string& what, std::chrono::milliseconds timeout) {
    std::string l;
    const bool found = waitFor([&] { l = slurp(log); return has(l, what); }, timeout);
    EXPECT_TRUE(found) << "no \"" << what << "\" in\n" << l << slurp(x->root() / "alarm.out");
    return l;
  }

  // Whether the sink plays something clearly audible within the time-out after `from`.
  bool heardAfter(long from, std::chrono::milliseconds timeout) {
    return waitFor([&] { return firstAudible(rec, from) >= 0; }, timeout);
  }

  // The program's window of that name and width (in pixels), shown.
  std::string window(pid_t pid, const std::string& name, int width) {
    std::string found;
    waitFor([&] {
      for (std::string rest = x->run("xdotool search --all --onlyvisible --pid " + std::to_string(pid) + " --name \"" + name + "\"");
           !rest.empty(); rest = rest.substr(rest.find('\n') + 1)) {
        const std::string id = firstLine(rest);
        if (!id.empty() && has(x->run("xdotool getwindowgeometry " + id), "Geometry: " + std::to_string(width) + "x")) {
          found = id;
          return true;
        }
        if (rest.find('\n') == std::string::npos) break;
      }
      return false;
    }, 10s);
    return found;
  }

  fs::path rec, log;
};

TEST_F(AlarmRings, TheMessageWindowRingsSnoozesAMinuteAndStopsBackOnTheArmedTime) {
  const pid_t pid = startAt0659("PlaySound=\"True\"\nShowMessage=\"True\"\n");
  waitLog("window loaded", 15s);
  // Nothing plays before the alarm.
  const std::string fired = waitLog("fire: alarm 07:00:00", 20s);
  EXPECT_TRUE(std::regex_search(fired, std::regex(R"(T07:00:00\.\d{3} fire: alarm 07:00:00)"))) << fired;
  const long atFire = fileSize(rec);
  EXPECT_TRUE(heardAfter(atFire, 3s)) << "alarm.wav was not heard on the sink\n" << slurp(log);
  waitLog("alert shown: frmAlarmMessage", 5s);
  const std::string alert = window(pid, "^Alarm$", 235);
  ASSERT_FALSE(alert.empty());

  // Minimised through the window manager, the alert comes straight back (its owner goes to
  // the tray, taken along by the window manager).
  x->run("xdotool windowminimize " + alert);
  waitLog("a minimised frmAlarmMessage comes back", 5s);
  EXPECT_TRUE(waitFor([&] { return viewable(alert); }, 5s));

  // Snooze: Tab from Stop to Snooze, then Enter presses the focused button (Stop is only
  // the default while no other button has the focus).
  std::this_thread::sleep_for(4s);  // let the chime end
  // (Keys through the server to the focused alert: a key aimed at a window that its press
  // closes would never be released, and would repeat into the main window.)
  x->run("xdotool windowactivate --sync " + alert + " ; xdotool key Tab Return");
  const std::string snoozed = waitLog("snooze: alarm set for 07:01:", 5s);
  ASSERT_TRUE(waitFor([&] { return !processAlive(pid) || window(pid, "^Alarm$", 235).empty(); }, 5s));
  const long afterSnooze = fileSize(rec);
  const std::string again = waitLog("fire: alarm 07:01:", 75s);
  EXPECT_TRUE(heardAfter(afterSnooze, 3s)) << "the snoozed alarm was not heard";
  const std::string second = window(pid, "^Alarm$", 235);
  ASSERT_FALSE(second.empty());
  x->run("xdotool windowactivate --sync " + second + " ; xdotool key Return");
  const std::string stopped = waitLog("alarm stopped", 5s);  // its last line
  EXPECT_TRUE(has(stopped, "alarm back on 07:00:00")) << stopped;
  ::kill(pid, SIGTERM);
  EXPECT_EQ(waitExit(pid, 10s), 0);
  const std::string conf = slurp(settingsFile());
  EXPECT_TRUE(has(conf, "PreviousAlarm=\"")) << conf;
}

TEST_F(AlarmRings, TheFullScreenAlertCoversTheScreenAndStopsOnEscWhateverFailedBeforeIt) {
  // The music file has gone and the console command does not exist: the alert still comes
  // in its second, alarm.wav plays instead, and the two failures are told beside the alert.
  const pid_t pid = startAt0659(
      "PlayMusic=\"True\"\nPlayMusicFile=\"/nowhere/wake up.ogg\"\nShowMessage=\"False\"\nShowFullscreen=\"True\"\n"
      "TriggerCommand=\"1\"\nCommandMSDOS=\"1\"\nCommand=\"no-such-program --now\"\n");
  waitLog("fire: alarm 07:00:00", 25s);
  const long atFire = fileSize(rec);
  EXPECT_TRUE(heardAfter(atFire, 3s)) << "alarm.wav was not heard on the sink\n" << slurp(log);
  const std::string shown = waitLog("alert shown: frmAlarmFullscreen", 5s);
  EXPECT_TRUE(std::regex_search(shown, std::regex(R"(T07:00:0[01]\.\d{3} alert shown: frmAlarmFullscreen)"))) << shown;
  const std::string told = waitLog("message box \"Command Error\"", 5s);  // told after the music
  EXPECT_TRUE(has(told, "message box \"You moved it didn't you...\"")) << told;
  EXPECT_FALSE(x->run("xdotool search --all --onlyvisible --pid " + std::to_string(pid) + " --name \"You moved it\"").empty());
  const std::string alert = window(pid, "^Alarm$", 1280);
  ASSERT_FALSE(alert.empty());
  EXPECT_TRUE(has(x->run("xdotool getwindowgeometry " + alert), "Geometry: 1280x800"));
  // It took the keyboard: Esc goes to the focused window.
  EXPECT_EQ(firstLine(x->run("xdotool getwindowfocus")), alert);
  x->run("xdotool key Escape");
  const std::string l = waitLog("alarm stopped", 5s);
  EXPECT_TRUE(has(l, "alert closed: frmAlarmFullscreen")) << l;
  ::kill(pid, SIGTERM);
  EXPECT_EQ(waitExit(pid, 10s), 0);
}

// Killed with a snooze pending, the program started again after the snooze's second rings it
// at once, late, with the note; its Stop goes back to the daily time. Killed again, the
// program started the next morning after the alarm's second rings that day's alarm late.
TEST_F(AlarmRings, WhatWasDueWhileTheProgramWasKilledRingsLateAtTheNextStart) {
  pid_t pid = startAt0659("PlaySound=\"True\"\nShowMessage=\"True\"\n");
  waitLog("fire: alarm 07:00:00", 25s);
  const std::string alert = window(pid, "^Alarm$", 235);
  ASSERT_FALSE(alert.empty());
  x->run("xdotool windowactivate --sync " + alert + " ; xdotool key Tab Return");
  waitLog("snooze: alarm set for 07:01:", 5s);
  ASSERT_TRUE(waitFor([&] { return stored("PendingAlarmKind", "Snooze"); }, 5s)) << slurp(settingsFile());
  killHard(pid);

  pid = startOn("2026-12-08 07:03:30");
  const std::string late = waitLog("(Rang late: due at 07:01:", 20s);
  EXPECT_TRUE(std::regex_search(late, std::regex(R"(T07:03:3\d\.\d{3} fire: alarm 07:01:\d\d \(Rang)"))) << late;
  const std::string again = window(pid, "^Alarm$", 235);
  ASSERT_FALSE(again.empty());
  x->run("xdotool windowactivate --sync " + again + " ; xdotool key Return");
  waitLog("alarm back on 07:00:00", 5s);
  ASSERT_TRUE(waitFor([&] { return stored("PendingAlarmKind", ""); }, 5s)) << slurp(settingsFile());
  killHard(pid);

  pid = startOn("2026-12-09 07:10:00");
  waitLog("fire: alarm 07:00:00 (Rang late: due at 07:00:00)", 20s);
  killHard(pid);
}

}  // namespace
