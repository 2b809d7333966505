// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm's firing: at the alarm second the volumes, the sound, the command, the hide
// time and the alert window, shown modal to the main window without waiting for it; when
// the alert closes, the user's volumes come back and the engine hears how it ended. Also
// the music's repeat poll, the snooze and the record of the alarm shown, and the preview
// that rehearses it all from the preferences.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "alarm/alarm_engine.h"
#include "alarm/alarm_settings.h"
#include "audio/saved_volumes.h"
#include "audio/volume.h"
#include "notify/alert_host.h"
#include "notify/alert_window.h"
#include "platform/desktop_notification.h"
#include "platform/stay_awake.h"

class QTimer;
class QWidget;

namespace audio {
class clsDShowControl;
class FadeIn;
}

class AlarmFiring final : public QObject, public AlertHost, public AlarmEngine::Ringer {
  Q_OBJECT
 public:
  using PlayerAccess = std::function<audio::clsDShowControl&()>;
  // engine: the alarm it rings (the firing installs itself as its ringer); settings: the
  // program's settings, read at each alarm (the command trimmed is written back); owner: the
  // window the alerts are modal to and the music's video window belongs to; ledColour: the
  // LED colour index the alert's text takes.
  AlarmFiring(AlarmEngine& engine, AlarmSettings& settings, PlayerAccess player, QWidget* owner,
              std::function<int()> ledColour);
  ~AlarmFiring() override;

  // Two seconds before the alarm: the sound code, the wave and the alert window are made
  // ready now, not at the alarm second.
  void prepareAlarm() override;
  // The firing sequence; comes back once the alert shows. A step that fails is reported
  // and the next runs, so the alert always shows.
  void raiseAlarm() override;
  // The rehearsal of the whole alarm from the preferences, with the settings as edited there:
  // volumes, sound (played once) and the alert modal to `owner`. Nothing is armed or
  // recorded.
  void preview(QWidget* owner, const AlarmSettings& edited);
  // Whether the message window shows (asking creates nothing).
  bool messageVisible() const;
  // The alert window open now, if any (a preview's too).
  QWidget* openAlert() const;
  // The music's repeat poll: every 100 ms while a repeated piece plays for the alarm.
  QTimer* Music = nullptr;

  void Music_Timer();
  void triggerCommand();

  // What the alert windows ask.
  void stopMusic() override;
  void snooze() override;
  void recordPreviousAlarm() override;

  // The sound of the alarm at `path`: alarm.wav in the program's folder.
  static QString waveFile();

 private:
  void applyVolume();
  void makeSound(bool forAlarm);
  void playMusic(bool forAlarm);
  void playWaveInstead(bool repeat);
  // The fade-in the settings ask for, in seconds (0: none; never for the beep).
  int fadeInSeconds() const;
  void repeatMusic(bool on);
  // The alarm's alert has closed: the music's poll ends, the user's volumes come back, and
  // the engine goes on (snooze, the daily time, Exit Program after Alarm).
  void alertClosed(AlarmEngine::AlertEnd end);
  // What the alert shows now: the message (a late alarm says so under it) in the LED colour.
  AlertContent content();
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
  std::function<int()> ledColour_;
  QPointer<AlertWindow> alert_;
  QPointer<AlertWindow> preview_;
  // Held from the alarm second until the alert has closed: the mixer, open, and the
  // user's own volumes, put back as they go.
  std::optional<audio::HeldMixer> heldMixer_;
  std::optional<audio::SavedVolumes> userVolumes_;
  // While the alert shows: the alarm where the user looks (a locked screen too), with Stop
  // and Snooze, and the computer kept from sleeping. Made with the warm-up, so that neither
  // bus is connected at the start or at the alarm second.
  void reachDesktop();
  std::unique_ptr<platform::DesktopNotification> notification_;
  std::unique_ptr<platform::SleepInhibitor> inhibitor_;
  bool polling_ = false;
  bool ringing_ = false;  // between the alarm second and its alert showing
  QElapsedTimer preparedAt_;  // when the alert window was built ahead
  struct Report {
    QString text;
    int flags;
    QString title;
  };
  std::vector<Report> reports_;
  // The boxes the last ring showed beside its alert: the next ring's replace them.
  std::vector<QPointer<QWidget>> notices_;
  // The gentle start of the alarm's wave sound or music, ended by Stop, Snooze and the close.
  audio::FadeIn* fade_ = nullptr;
};
