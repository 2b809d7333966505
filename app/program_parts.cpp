// The program's own parts behind the main window's seams.
#include "app/program_parts.h"

#include "app/frmMain.h"
#include "led/led_tray.h"
#include "prefs/prefs_holder.h"

ProgramParts::ProgramParts() : prefs_(std::make_unique<PrefsHolder>(*this)) {}
ProgramParts::~ProgramParts() = default;

// Preferences and the interval dialogs.

void ProgramParts::showPrefs(frmMain& main) { prefs_->showPrefs(main, &main); }
bool ProgramParts::prefsVisible() { return prefs_->prefsVisible(); }
AlarmSettings& ProgramParts::settings() { return *prefs_; }

// --- The detached LED window and the tray menu.

void ProgramParts::attach(frmMain& main) { ledTray_ = std::make_unique<led::LedTray>(main); }
bool ProgramParts::ledWindowVisible() { return ledTray_ && ledTray_->ledWindowVisible(); }
QPoint ProgramParts::ledWindowTopLeft() { return ledTray_ ? ledTray_->ledWindowTopLeft() : QPoint(); }
void ProgramParts::putLedDisplay(const QString& text) {
  if (ledTray_) ledTray_->putLedDisplay(text);
}
void ProgramParts::closeLedWindow() {
  if (ledTray_) ledTray_->closeLedWindow();
}
void ProgramParts::setTrayLaunchEnabled(bool enabled) {
  if (ledTray_) ledTray_->setTrayLaunchEnabled(enabled);
}
void ProgramParts::trayMessage(frmMain& main, int message) {
  if (ledTray_)
    ledTray_->pichook_MouseMove(message);
  else
    MainWindowParts::trayMessage(main, message);
}

std::unique_ptr<MainWindowParts> makeProgramParts() { return std::make_unique<ProgramParts>(); }
