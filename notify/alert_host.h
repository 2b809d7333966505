// SPDX-License-Identifier: GPL-3.0-or-later
// What an open alert window asks of the alarm it shows: stopping the music, the snooze,
// the record of the alarm just shown, and the texts it displays.
#pragma once

#include <QString>

class AlertHost {
 public:
  virtual ~AlertHost() = default;

  // DS_Stop on the main window's player.
  virtual void stopMusic() = 0;
  // The alarm ends when the alert closes: lblHDDNsnooze back to "lblHDDNsnooze".
  virtual void markStopped() = 0;
  // Re-arms at now plus the snooze minutes, shows it in the status line and marks "Snooze!".
  virtual void snooze() = 0;
  // RecordPreviousAlarm: the alarm just shown, with the date it fired.
  virtual void recordPreviousAlarm() = 0;

  // lblHDDNhideAlert: the 24-hour time text at which the alert closes by itself.
  virtual QString hideAlertTime() = 0;
  // txtMessage of the preferences and the LED colour index (lblHDDNTempInteger).
  virtual QString messageText() = 0;
  virtual QString colourIndex() = 0;
};
