// SPDX-License-Identifier: GPL-3.0-or-later
// What the preferences dialog asks of the program around it: the program's settings it
// edits a copy of, the media player its Play, Stop and Preview buttons use, the whole alarm
// rehearsed, and the LED colour its message box takes. The defaults stand in where the
// program has none of these (nothing plays, no colour).
#pragma once

#include <QString>

#include "alarm/alarm_settings.h"

class QWidget;

class PrefsHost {
 public:
  virtual ~PrefsHost() = default;

  // The settings the program runs with; what the dialogs hand back is stored into them.
  virtual AlarmSettings& settings() = 0;

  // The program's one media player: stopped, or playing the music file once.
  virtual void stopPlayer() {}
  virtual void playMusicOnce(const QString& /*path*/, QWidget* /*owner*/) {}
  // The whole alarm rehearsed with the settings as edited (volumes, sound played once, the
  // alert modal to owner).
  virtual void previewAlarm(QWidget* /*owner*/, const AlarmSettings& /*edited*/) {}
  // The LED display's colour index (0, 1, 2); -1 while there is no display.
  virtual int colourIndex() { return -1; }
};
