// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm's run-time settings as the preferences dialog and the two interval dialogs hold
// them. The firing, the alert windows and the preview read them only through this, so they
// never depend on how those dialogs are built. A read creates the dialog that holds the
// value (hidden, loaded from the store) the first time, as reading one of its controls would.
#pragma once

#include <QString>

class QWidget;

class AlarmSettings {
 public:
  virtual ~AlarmSettings() = default;

  enum class Sound { Beep, Wave, Music };

  // Alarm/Audio: optBeep, optMusic, otherwise optSound (alarm.wav).
  virtual Sound sound() = 0;
  // lblHDDNfilename: the music file's full path ("Error" when none was ever stored).
  virtual QString musicFile() = 0;
  // chkRepeat and chkUnmute checked (value 1).
  virtual bool repeat() = 0;
  virtual bool unmute() = 0;
  // lblHDDNvolumeSpeaker and lblHDDNvolumeWave: whole percentages as text.
  virtual QString volumeSpeaker() = 0;
  virtual QString volumeWave() = 0;

  // Alarm/Show: optMessage selected (otherwise the full-screen alert); Alarm/Message: txtMessage.
  virtual bool showMessage() = 0;
  virtual QString messageText() = 0;

  // Alarm/Command: chkCommand checked, txtCommand, chkMSDOS non-zero. The alarm writes the
  // trimmed command back into the box before it starts it.
  virtual bool commandOn() = 0;
  virtual QString commandText() = 0;
  virtual void setCommandText(const QString& text) = 0;
  virtual bool commandMSDOS() = 0;

  // lblHDDNpreview reads "Preview!": the alert on screen is a rehearsal from the preferences.
  virtual bool previewing() = 0;

  // The interval dialogs' boxes: txtSnoozeMinutes of frmSnooze, txtHideAlertMinutes of
  // frmHideAlert, as typed (the caller checks them).
  virtual QString snoozeMinutes() = 0;
  virtual QString hideAlertMinutes() = 0;

  // FadeInSeconds: the wave sound and the music rise from silence to full over this many
  // seconds (0: they start at full; at most 300).
  virtual int fadeInSeconds() { return 0; }

  // The preferences dialog's window: owner of the player's video window and of a preview's
  // alert. Creates the dialog hidden when it does not exist yet.
  virtual QWidget* dialogWindow() = 0;
};
