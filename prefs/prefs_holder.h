// Keeps the preferences dialog and the two interval dialogs for the program's run: each is
// created, hidden and loaded from the store, by the first read of one of its settings or
// by being opened, and the alarm reads its settings from their controls.
#pragma once

#include <QPointer>

#include "prefs/alarm_settings.h"

class MainWindowParts;
class QWidget;
class frmHideAlert;
class frmMain;
class frmPrefs;
class frmSnooze;

class PrefsHolder final : public AlarmSettings {
 public:
  // parts: the program's parts the dialog uses (the player it stops).
  explicit PrefsHolder(MainWindowParts& parts);
  ~PrefsHolder() override;
  PrefsHolder(const PrefsHolder&) = delete;
  PrefsHolder& operator=(const PrefsHolder&) = delete;

  // The dialogs, created and loaded on first use.
  frmPrefs& prefs();
  frmSnooze& snooze();
  frmHideAlert& hideAlert();

  // Shows the preferences modal to owner (only owner's window is blocked); returns when
  // Done hides it or its frame closes it.
  void showPrefs(QWidget& owner, frmMain* main);
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
  QWidget* dialogWindow() override;

 private:
  MainWindowParts& parts_;
  QPointer<frmMain> main_;
  QPointer<frmPrefs> prefs_;
  QPointer<frmSnooze> snooze_;
  QPointer<frmHideAlert> hideAlert_;
};
