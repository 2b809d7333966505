// The program's own parts behind the main window's seams: the preferences and interval
// dialogs, the media player and the alarm's firing, the LED window and the tray menu.
#pragma once

#include <memory>

#include "app/main_parts.h"

class AlarmSettings;
class PrefsHolder;
namespace led {
class LedTray;
}

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
  void attach(frmMain& main) override;
  bool ledWindowVisible() override;
  QPoint ledWindowTopLeft() override;
  void putLedDisplay(const QString& text) override;
  void closeLedWindow() override;
  void setTrayLaunchEnabled(bool enabled) override;
  void trayMessage(frmMain& main, int message) override;

 private:
  // Preferences and the interval dialogs.
  std::unique_ptr<PrefsHolder> prefs_;
  // The detached LED window and the tray menu.
  std::unique_ptr<led::LedTray> ledTray_;
};

// What the running program uses (the start installs it before the main window loads).
std::unique_ptr<MainWindowParts> makeProgramParts();
