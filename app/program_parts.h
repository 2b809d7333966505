// The program's own parts behind the main window's seams: the preferences and interval
// dialogs, the media player and the alarm's firing, the LED window and the tray menu.
#pragma once

#include <memory>

#include "app/main_parts.h"

class AlarmSettings;
class PrefsHolder;

class ProgramParts final : public MainWindowParts {
 public:
  ProgramParts();
  ~ProgramParts() override;

  // Preferences and the interval dialogs (prefs/, notify/).
  void showPrefs(frmMain& main) override;
  bool prefsVisible() override;
  // The alarm's run-time settings, read from those dialogs (created on the first read).
  AlarmSettings& settings();

  // The media player and the alarm's firing and alert windows (alarm/, notify/).

  // The detached LED window and the tray menu (led/).

 private:
  // Preferences and the interval dialogs.
  std::unique_ptr<PrefsHolder> prefs_;
};

// What the running program uses (the start installs it before the main window loads).
std::unique_ptr<MainWindowParts> makeProgramParts();
