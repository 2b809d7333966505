// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own parts behind the main window's seams: the preferences and interval
// dialogs, the media player and the alarm's firing, the LED window and the tray menu.
#pragma once

#include <memory>
#include <optional>

#include "app/main_parts.h"
#include "audio/media_graph.h"
#include "prefs/prefs_host.h"

class AlarmFiring;
class PrefsHolder;
namespace audio {
class clsDShowControl;
}
namespace led {
class LedTray;
}
namespace platform {
class WakeAlarm;
}

class ProgramParts final : public MainWindowParts, public PrefsHost {
 public:
  ProgramParts();
  ~ProgramParts() override;

  // Preferences and the interval dialogs (prefs/, notify/).
  void showPrefs(frmMain& main) override;
  bool prefsVisible() override;
  // The one value of the settings the program runs with: loaded from the store once, at
  // start, when the main window takes these parts (attach); the dialogs edit copies of it.
  AlarmSettings& settings() override;

  // The media player and the alarm's firing and alert windows (alarm/, notify/).
  void createPlayer() override;
  void stopPlayer() override;
  void removePlayer() override;
  bool alertMessageVisible() override;
  // What the preferences ask: the music once, the preview (with the main window only) and
  // the LED colour.
  void playMusicOnce(const QString& path, QWidget* owner) override;
  void previewAlarm(QWidget* owner, const AlarmSettings& edited) override;
  int colourIndex() override;
  // clDShow: created at load; its sound code is loaded on the first open.
  audio::clsDShowControl& player();
  AlarmFiring& firing(frmMain& main);
  // Tests play through their own graphs.
  void setMediaGraphFactory(audio::MediaGraphFactory factory) { graphFactory_ = std::move(factory); }

  // The detached LED window and the tray menu (led/).
  void attach(frmMain& main) override;
  bool ledWindowVisible() override;
  QPoint mainPlaceOfLedWindow() override;
  void putLedDisplay(const QString& text) override;
  void closeLedWindow() override;
  void trayMessage(frmMain& main, int message) override;

  // Waking the computer for the alarm, through the helper at that path (none: never).
  void wakeFor(frmMain& main, const std::optional<QDateTime>& alarm) override;
  void setWakeHelper(const QString& path) { wakeHelper_ = path; }

 private:
  // The settings, then the preferences and the interval dialogs.
  std::optional<AlarmSettings> settings_;
  std::unique_ptr<PrefsHolder> prefs_;
  // The media player and the alarm's firing.
  audio::MediaGraphFactory graphFactory_;
  std::unique_ptr<audio::clsDShowControl> clDShow_;
  std::unique_ptr<AlarmFiring> firing_;
  // The detached LED window and the tray menu.
  std::unique_ptr<led::LedTray> ledTray_;
  frmMain* main_ = nullptr;  // the window attached
  // Waking the computer.
  QString wakeHelper_;
  std::unique_ptr<platform::WakeAlarm> wake_;
};

// What the running program uses (the start installs it before the main window loads).
std::unique_ptr<MainWindowParts> makeProgramParts();
