// SPDX-License-Identifier: GPL-3.0-or-later
// The preferences dialog: how an alarm is raised (sound, message, command, volumes). It
// edits a copy of the program's settings and hands it back on Done (and what Set Volume and
// the font buttons store at once); Done only hides it, and only closing it through its frame
// unloads it.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <cstdint>

#include "alarm/alarm_settings.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class PrefsHolder;
class PrefsHost;

class frmPrefs : public QDialog {
  Q_OBJECT
 public:
  // host: the player the sound buttons use, the preview, and the LED colour the message
  // box takes.
  frmPrefs(PrefsHolder& holder, PrefsHost& host, QWidget* parent = nullptr);
  ~frmPrefs() override;

  // Runs once per load: the settings into the controls, the alarm volumes to the mixer.
  void Form_Load(const AlarmSettings& settings);
  // The settings into the controls (when the dialog shows again).
  void setSettings(const AlarmSettings& settings);
  // The settings as edited: the copy the dialog was given, with its controls.
  AlarmSettings edited() const;
  // Each time the dialog becomes active.
  void Form_Activate();
  // Hands the edited settings back, checks the sound and command choices, and hides the dialog.
  void cmdDone_Click();

  // Alarm/Audio.
  void optBeep_Click();
  void optSound_Click();
  void optMusic_Click();
  void optBeep_DblClick();
  void optSound_DblClick();
  void cmdLoadMusic_Click();
  void cmdPlay_Click();
  void cmdStop_Click();
  void lblTrack_MouseMove();
  void cmdSetVolume_Click();
  // The alarm-volume sequence: the speakers unmuted when chosen, then the two alarm volumes
  // set on the mixer (at load, and before Play and Preview).
  void applyAlarmVolume();
  // Starts a program and waits for it (at most TimeOutValue seconds) with the window
  // running; sets volumeAppDone. False with the "Oops" box when it cannot be started.
  bool ShellandWait(const QString& ExeFullPath, int32_t TimeOutValue);

  // Alarm/Message.
  void cmdFont_Click();
  void cmdDefaultFont_Click();
  void txtMessage_MouseMove();

  // Alarm/Show.
  void cmdPreview_Click();
  void cmdPreview_MouseMove();

  // Alarm/Command.
  void chkCommand_Click();
  void cmdTestCommand_Click();
  void txtCommand_Change();
  // A text longer than the settings keep (a paste) is refused with a word.
  void txtCommand_Edited(const QString& text);

  // Miscellaneous: the two links to the interval dialogs.
  void lblSnooze_Click();
  void lblHideInterval_Click();

  // F1: the readme in the desktop's text editor.
  void showHelp();

  // Closed through its frame: the holder drops it and the next use loads a new one.
  bool unloaded() const { return unloaded_; }

  // Controls, by frame.
  QGroupBox* frameAAudio = nullptr;
  QRadioButton* optBeep = nullptr;
  QRadioButton* optSound = nullptr;
  QRadioButton* optMusic = nullptr;
  QPushButton* cmdLoadMusic = nullptr;
  QPushButton* cmdPlay = nullptr;
  QPushButton* cmdStop = nullptr;
  QLabel* lblTrack = nullptr;
  QCheckBox* chkRepeat = nullptr;
  QPushButton* cmdSetVolume = nullptr;
  QCheckBox* chkUnmute = nullptr;
  // "Fade in over N s": the seconds the sound rises over (0: off).
  QLabel* lblFadeIn = nullptr;
  QSpinBox* spnFadeIn = nullptr;

  QGroupBox* frameAMessage = nullptr;
  QLineEdit* txtMessage = nullptr;
  QPushButton* cmdFont = nullptr;
  QPushButton* cmdDefaultFont = nullptr;

  QGroupBox* frameAShow = nullptr;
  QRadioButton* optMessage = nullptr;
  QRadioButton* optFullscreen = nullptr;
  QPushButton* cmdPreview = nullptr;

  QGroupBox* frameCommand = nullptr;
  QCheckBox* chkCommand = nullptr;
  QLineEdit* txtCommand = nullptr;
  QPushButton* cmdTestCommand = nullptr;
  QCheckBox* chkMSDOS = nullptr;

  QGroupBox* frameMisc = nullptr;
  QLabel* lblSnooze = nullptr;
  QLabel* lblHideInterval = nullptr;

  QPushButton* cmdDone = nullptr;

  bool volumeAppDone = false;

  // The most a text the settings keep can hold and still be read back whole.
  static constexpr int kMaxStoredText = AlarmSettings::kMaxStoredText;

 signals:
  // Done, before its checks: the settings as edited, and whether the alarm volumes in them
  // were read from the mixer just now.
  void settingsDone(const AlarmSettings& edited, bool volumesRead);
  // Set Volume, once the volume program has ended: Unmute, and the volumes as above.
  void volumesSet(const AlarmSettings& edited, bool volumesRead);
  // A font chosen (or the default one): stored at once.
  void fontChosen(const QString& face);

 protected:
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  // Esc does nothing: the dialog has no Cancel, and only Done stores.
  void reject() override {}

 private:
  void buildControls();
  void setMusicControls(bool enabled);
  void applyLedColour();
  void applyFontFace(const QString& face);
  void warn(const QString& text, const QString& title);
  // "Play Music" chosen without a file, or with one that has gone: says so (the second box
  // with the title given), turns to Load Music and answers true.
  bool musicChoiceUnplayable(const QString& missingTitle);
  // Reads the mixer's speakers and wave-out volumes into the edited settings; false, with
  // nothing changed, when no mixer opens.
  bool captureVolumes();

  PrefsHolder& holder_;
  PrefsHost& host_;
  // The copy edited: what has no control here (the music's path, the alarm volumes, the
  // font, the intervals) is kept in it; the rest is in the controls.
  AlarmSettings settings_;
  bool unloaded_ = false;
  bool waiting_ = false;  // for the volume application
  QString lastCommand_;   // the command box's last text the settings can keep
};

// The part of a path after its last folder separator (WhichPart 2, the only one used).
QString filePart(const QString& FullPath, int WhichPart);
