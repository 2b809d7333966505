// SPDX-License-Identifier: GPL-3.0-or-later
// What an open alert window asks of the alarm it shows: stopping the music, the snooze and
// the record of the alarm just shown. How the alert ended it reports by its own signal.
#pragma once

class AlertHost {
 public:
  virtual ~AlertHost() = default;

  // DS_Stop on the program's player.
  virtual void stopMusic() = 0;
  // Re-arms at now plus the snooze minutes and shows it in the status line.
  virtual void snooze() = 0;
  // The alarm just shown, with the date it fired.
  virtual void recordPreviousAlarm() = 0;
};
