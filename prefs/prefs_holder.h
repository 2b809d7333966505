// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps the preferences dialog and the two interval dialogs for the program's run: each is
// created, hidden and loaded from the store, by the first read of one of its settings or
// by being opened, and the alarm reads its settings from their controls.
#pragma once

#include <QPoint>
#include <QPointer>
#include <optional>

#include "alarm/alarm_settings.h"

class PrefsHost;
class QWidget;
class frmHideAlert;
class frmPrefs;
class frmSnooze;

class PrefsHolder final : public AlarmSettings {
 public:
  // host: what the dialog uses of the program (the player it stops, the preview).
  explicit PrefsHolder(PrefsHost& host);
  ~PrefsHolder() override;
  PrefsHolder(const PrefsHolder&) = delete;
  PrefsHolder& operator=(const PrefsHolder&) = delete;

  // The dialogs, created and loaded on first use.
  frmPrefs& prefs();
  frmSnooze& snooze();
  frmHideAlert& hideAlert();

  // Shows the preferences modal to owner (only owner's window is blocked); returns when
  // Done hides it or its frame closes it.
  void showPrefs(QWidget& owner);
  // Whether the preferences show; never creates the dialog.
  bool prefsVisible() const;

  Sound sound() override;
  QString musicFile() override;
  bool repeat() override;
  bool unmute() override;
  QString volumeSpeaker() override;
  QString volumeWave() override;
  bool showMessage() override;
  QString messageText() override;
  bool commandOn() override;
  QString commandText() override;
  void setCommandText(const QString& text) override;
  bool commandMSDOS() override;
  bool previewing() override;
  QString snoozeMinutes() override;
  QString hideAlertMinutes() override;
  int fadeInSeconds() override;
  QWidget* dialogWindow() override;

 private:
  PrefsHost& host_;
  QPointer<QWidget> owner_;  // the window the dialog was last opened from
  std::optional<QPoint> placed_;  // where the dialog was when it last closed
  QPointer<frmPrefs> prefs_;
  QPointer<frmSnooze> snooze_;
  QPointer<frmHideAlert> hideAlert_;
};
