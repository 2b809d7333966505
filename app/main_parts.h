// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window asks of the parts of the program that live in other windows: the
// media player, the preferences dialog, the alarm's firing, the detached LED window and the
// tray menu. The main window holds one of these; the defaults stand in until each part is
// built, and a part replaces them by overriding.
#pragma once

#include <QDateTime>
#include <QPoint>
#include <QString>
#include <memory>
#include <optional>

#include "alarm/alarm_engine.h"

class frmMain;
class QWidget;

class MainWindowParts {
 public:
  virtual ~MainWindowParts() = default;

  // The main window takes these parts; a part hooks itself to the window's controls and
  // rings the window's alarm engine. The stand-in rings with one beep.
  virtual void attach(frmMain& main);

  // The one media player (clDShow): created at load, stopped and released at unload.
  virtual void createPlayer() {}
  virtual void stopPlayer() {}
  // The alarm's sound ends for good (the music's repeat poll too) and the player goes.
  virtual void removePlayer() {}

  // The preferences dialog, shown modally; returns when it closes.
  virtual void showPrefs(frmMain& main);
  // Whether the preferences dialog shows; a dialog not created yet does not (asking never
  // creates it).
  virtual bool prefsVisible() { return false; }

  // The next moment the alarm rings (none: no alarm): a sleeping computer wakes for it.
  virtual void wakeFor(frmMain&, const std::optional<QDateTime>& /*alarm*/) {}

  // Whether the alarm message window shows; asking never creates it.
  virtual bool alertMessageVisible() { return false; }

  // The detached LED window: whether it shows, the main window's place it stands for (its
  // top-left corner less the opening offsets, in twips), and its display.
  virtual bool ledWindowVisible() { return false; }
  virtual QPoint mainPlaceOfLedWindow() { return {}; }
  virtual void putLedDisplay(const QString& /*text*/) {}
  // Closes the LED window, which brings the main window back where it was.
  virtual void closeLedWindow() {}

  // A mouse message from the tray icon (TrayService: 514, 515, 516); a double-click
  // brings the main window back.
  virtual void trayMessage(frmMain& main, int message);

 private:
  std::unique_ptr<AlarmEngine::Ringer> beep_;
};
