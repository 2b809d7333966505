// SPDX-License-Identifier: GPL-3.0-or-later
// The preferences dialog's music buttons and the whole-alarm preview: they play through
// the main window's player and show the alert windows.
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "platform/errors.h"
#include "platform/fileexists.h"
#include "platform/services.h"
#include "prefs/frmPrefs.h"
#include "prefs/prefs_host.h"

namespace {

const QString kNoMusic = QStringLiteral("No music loaded...");
const QString kCrLf = QStringLiteral("\r\n");

}  // namespace

bool frmPrefs::musicChoiceUnplayable(const QString& missingTitle) {
  if (!optMusic->isChecked()) return false;
  if (lblTrack->text() == kNoMusic) {
    warn("You selected \"Play Music\" but there is no sound file to play..." + kCrLf + "Please correct your settings... ",
         QStringLiteral("Play dumb"));
  } else if (!fileexists(settings_.musicFile)) {
    warn("A previous selected audio file was not found." + kCrLf +
             "Please use the \"Load Music\" button to correct this problem.",
         missingTitle);
  } else {
    return false;
  }
  cmdLoadMusic->setFocus();
  return true;
}

void frmPrefs::cmdPlay_Click() {
  try {
    if (optMusic->isChecked() && lblTrack->text() == kNoMusic) {
      warn(QStringLiteral("Please select a sound file to play."), QStringLiteral("Going Deaf for a Living"));
      cmdLoadMusic->setFocus();
      return;
    }
    if (optMusic->isChecked() && !fileexists(settings_.musicFile)) {
      warn("A previous selected sound file was not found." + kCrLf + "Please select a sound file to play.",
           QStringLiteral("You moved it didn't you..."));
      cmdLoadMusic->setFocus();
      return;
    }
    applyAlarmVolume();
    if (optMusic->isChecked()) {
      // Once: Repeat is for the alarm itself.
      host_.playMusicOnce(settings_.musicFile, this);
      cmdDone->setFocus();
    }
  } catch (const platform::RuntimeError& e) {
    if (e.number() == platform::err::kObjectDoesNotSupport)
      warn("Alarm is unable to play this file." + kCrLf + settings_.musicFile, QStringLiteral("cmdPlay_Click - Oops"));
    else
      platform::showErrorBox(e, "frmPrefs, cmdPlay");
  }
}

void frmPrefs::cmdStop_Click() {
  platform::ignoreErrors([this] { host_.stopPlayer(); });
  cmdDone->setFocus();
}

void frmPrefs::cmdPreview_Click() {
  try {
    host_.stopPlayer();
    if (musicChoiceUnplayable(QStringLiteral("You moved it didn't you..."))) return;
    // The volumes, the sound (played once) and the alert window, modal to this dialog, as
    // edited here.
    host_.previewAlarm(this, edited());
  } catch (const platform::RuntimeError& e) {
    platform::showErrorBox(e, "frmPrefs, cmdPreview_Click");
  }
}
