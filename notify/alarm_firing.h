// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm's firing: at the alarm second the volumes, the sound, the command, the hide
// time and the alert window shown modally; the music's repeat poll; the snooze and the
// record of the alarm shown; and the preview that rehearses it all from the preferences.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "alarm/alarm_engine.h"
#include "alarm/alarm_settings.h"
#include "notify/alert.h"
#include "notify/alert_host.h"

class QTimer;
class QWidget;

namespace audio {
class clsDShowControl;
}

class AlarmFiring final : public QObject, public AlertHost, public AlarmEngine::Ringer {
  Q_OBJECT
 public:
  using PlayerAccess = std::function<audio::clsDShowControl&()>;
  // engine: the alarm it rings; settings: the program's settings, read at each alarm (the
  // command trimmed is written back); owner: the window the alerts are modal to and the
  // music's video window belongs to; makeAlert builds the alert windows.
  AlarmFiring(AlarmEngine& engine, AlarmSettings& settings, PlayerAccess player, QWidget* owner,
              AlertFactory makeAlert);
  ~AlarmFiring() override;

  // Two seconds before the alarm: the sound code is loaded and the alert built now, not at
  // the alarm second.
  void prepare();
  // The firing sequence; returns when the alert has closed, with "Snooze!" in
  // lblHDDNsnooze when it was snoozed. A step that fails is reported and the next runs,
  // so the alert always shows.
  void raise();
  void prepareAlarm() override { prepare(); }
  void raiseAlarm() override { raise(); }
  // The rehearsal of the whole alarm from the preferences, with the settings as edited there:
  // volumes, sound (played once) and the alert modal to `owner`. Nothing is armed or
  // recorded; returns when the alert closes.
  void preview(QWidget* owner, const AlarmSettings& edited);

  // startCountDown's part: the hide timer of the alert about to show, and its tooltip.
  void startCountDown(const QString& minutes);
  // Whether the message window shows (asking creates nothing).
  bool messageVisible() const;
  // The alert window open now, if any (a preview's too).
  QWidget* openAlert() const;
  // The music's repeat poll: every 100 ms while a repeated piece plays for the alarm.
  QTimer* Music = nullptr;

  void Music_Timer();
  void triggerCommand();
  void RecordPreviousAlarm();

  // What the alert windows ask.
  void stopMusic() override;
  void markStopped() override;
  void snooze() override;
  void recordPreviousAlarm() override { RecordPreviousAlarm(); }
  QString hideAlertTime() override;
  QString messageText() override;
  QString colourIndex() override;

  // The sound of the alarm at `path`: alarm.wav in the program's folder.
  static QString waveFile();

 private:
  void applyVolume();
  void makeSound(bool forAlarm);
  void playMusic(bool forAlarm);
  void playWaveInstead(bool repeat);
  void repeatMusic(bool on);
  Alert* createAlert(bool message, bool preview, QWidget* owner);
  static Alert* alertOf(const QPointer<QWidget>& window);
  // The settings the alarm rings with: a preview's while it shows, the program's otherwise.
  const AlarmSettings& settings() const { return rehearsal_ ? *rehearsal_ : settings_; }
  // Runs one step; a failure shows the standard error box with the location given. At the
  // alarm second the box waits until the alert is up, beside it, and blocks nothing.
  void step(const std::function<void()>& run, const char* location = "frmMain, Alarm_Timer");
  // A failure of the alarm's own steps: told once the alert shows; a preview's at once.
  void report(const QString& text, int flags, const QString& title);
  void showReports();

  AlarmEngine& engine_;
  AlarmSettings& settings_;
  std::optional<AlarmSettings> rehearsal_;
  PlayerAccess player_;
  QPointer<QWidget> owner_;
  AlertFactory makeAlert_;
  QPointer<QWidget> alert_;
  QPointer<QWidget> preview_;
  bool polling_ = false;
  bool ringing_ = false;  // between the alarm second and its alert showing
  QElapsedTimer preparedAt_;  // when the alert window was built ahead
  struct Report {
    QString text;
    int flags;
    QString title;
  };
  std::vector<Report> reports_;
};
