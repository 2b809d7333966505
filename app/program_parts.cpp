// The program's own parts behind the main window's seams.
#include "app/program_parts.h"

#include "app/frmMain.h"
#include "prefs/prefs_holder.h"

ProgramParts::ProgramParts() : prefs_(std::make_unique<PrefsHolder>(*this)) {}
ProgramParts::~ProgramParts() = default;

// Preferences and the interval dialogs.

void ProgramParts::showPrefs(frmMain& main) { prefs_->showPrefs(main, &main); }
bool ProgramParts::prefsVisible() { return prefs_->prefsVisible(); }
AlarmSettings& ProgramParts::settings() { return *prefs_; }

std::unique_ptr<MainWindowParts> makeProgramParts() { return std::make_unique<ProgramParts>(); }
