// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm's settings as the program runs with them: one plain value, loaded from the store
// at start, read by the firing and the alert windows, and edited as a copy by the
// preferences and the two interval dialogs, which hand it back when the user confirms.
#pragma once

#include <QString>
#include <optional>

struct AlarmSettings {
  enum class Sound { Beep, Wave, Music };

  // Beep, PlaySound (alarm.wav) or PlayMusic.
  Sound sound = Sound::Wave;
  // PlayMusicFile: the music's full path; empty when none was ever chosen.
  QString musicFile;
  // Repeat and VolumeForceUnmute.
  bool repeat = false;
  bool unmute = false;
  // VolumeSpeaker and VolumeWaveOut: the alarm volumes, whole percentages 0 to 100.
  int volumeSpeaker = 100;
  int volumeWave = 100;

  // ShowMessage (the small message window), otherwise ShowFullscreen.
  bool showMessage = true;
  // Message: the alarm's text, at most as long as the preferences' box takes; Font: its face
  // (empty: the windows' own face).
  static constexpr int kMaxMessageLength = 100;
  QString messageText = QStringLiteral("Alarm!!!");
  QString font;

  // TriggerCommand, Command and CommandMSDOS.
  bool commandOn = false;
  QString commandText;
  bool commandMSDOS = false;

  // Snooze and HideAlert: whole minutes from 1 to 1439 (see usableMinutes).
  static constexpr int kDefaultSnoozeMinutes = 8;
  static constexpr int kDefaultHideAlertMinutes = 15;
  int snoozeMinutes = kDefaultSnoozeMinutes;
  int hideAlertMinutes = kDefaultHideAlertMinutes;

  // LateMinutes: how late an alarm skipped by a jump of the clock may still ring (0: never).
  static constexpr int kDefaultLateMinutes = 30;
  int lateMinutes = kDefaultLateMinutes;

  // The longest text the store gives back whole (a command, the music's path).
  static constexpr int kMaxStoredText = 254;

  // FadeInSeconds: the wave sound and the music rise from silence to full over this many
  // seconds (0: they start at full; at most 300).
  static constexpr int kMaxFadeInSeconds = 300;
  int fadeInSeconds = 0;

  bool operator==(const AlarmSettings&) const = default;
};

// The one rule for an interval as typed or stored: its whole minutes from 1 to 1439, or
// nothing. 1440 minutes would land on the second it was set on, which has passed: that
// alarm would never come.
std::optional<int> usableMinutes(const QString& text);

// The settings as stored, with the preferences' and the interval dialogs' rules for values
// that are absent or damaged (each such value falls back to its default, with a log line).
AlarmSettings loadAlarmSettings();

// The saves: each stores what one step of a dialog stores, under the same value names and in
// the same text forms ("True"/"False" for a choice, "0"/"1" for a check box, decimal numbers).
// Done of the preferences: the sound, the message and how it shows, the command, Unmute.
void savePrefsSettings(const AlarmSettings& settings);
// The two alarm volumes, as read from the mixer by Done and by Set Volume.
void saveAlarmVolumes(const AlarmSettings& settings);
// Set Volume's Unmute, and the font chosen in the preferences: stored at once.
void saveUnmute(bool unmute);
void saveFont(const QString& face);
// Set of the interval dialogs.
void saveSnoozeMinutes(int minutes);
void saveHideAlertMinutes(int minutes);
// At the program's end, so that the store shows the value it runs with.
void saveLateMinutes(int minutes);
