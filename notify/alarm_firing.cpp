// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm's firing.
#include "notify/alarm_firing.h"

#include <QTimer>
#include <optional>

#include "alarm/command_start.h"
#include "audio/dshow_control.h"
#include "audio/fade_in.h"
#include "audio/play_sound.h"
#include "audio/saved_volumes.h"
#include "audio/volume.h"
#include "platform/convert.h"
#include "platform/errors.h"
#include "platform/fileexists.h"
#include "platform/log.h"
#include "platform/registry.h"
#include "platform/services.h"

namespace {

// How long an alert window built ahead stays good for the alarm it was built for.
constexpr qint64 kPreparedForMs = 5000;


}  // namespace

AlarmFiring::AlarmFiring(AlarmEngine& engine, AlarmSettings& settings, PlayerAccess player, QWidget* owner,
                         std::function<int()> ledColour)
    : engine_(engine),
      settings_(settings),
      player_(std::move(player)),
      owner_(owner),
      ledColour_(std::move(ledColour)) {
  Music = new QTimer(this);
  Music->setInterval(100);
  connect(Music, &QTimer::timeout, this, &AlarmFiring::Music_Timer);
  fade_ = new audio::FadeIn([this]() -> audio::clsDShowControl& { return player_(); }, this);
  engine_.setRinger(this);
}

AlarmFiring::~AlarmFiring() {
  engine_.setRinger(nullptr);
  delete alert_.data();
  delete preview_.data();
}

QString AlarmFiring::waveFile() { return Registry::programFolder() + QStringLiteral("/alarm.wav"); }

void AlarmFiring::step(const std::function<void()>& run, const char* location) {
  int number = 0;
  std::string description;
  try {
    run();
    return;
  } catch (const platform::RuntimeError& e) {
    number = e.number();
    description = e.description();
  } catch (const std::exception& e) {
    number = platform::err::kUnexpected;
    description = e.what();
  }
  report(QString::fromStdString(platform::standardErrorText(number, description, location)), platform::mb::kOkOnly,
         QStringLiteral("Error"));
}

void AlarmFiring::report(const QString& text, int flags, const QString& title) {
  if (ringing_)
    reports_.push_back({text, flags, title});
  else
    platform::services().messageBox->msgBox(text, flags, title);
}

void AlarmFiring::showReports() {
  QWidget* beside = alert_.data();
  for (const Report& r : std::exchange(reports_, {}))
    notices_.emplace_back(platform::services().messageBox->notice(r.text, r.flags, r.title, beside));
}

void AlarmFiring::reachDesktop() {
  if (notification_) return;
  notification_ = std::make_unique<platform::DesktopNotification>();
  inhibitor_ = std::make_unique<platform::SleepInhibitor>();
  connect(notification_.get(), &platform::DesktopNotification::stopAsked, this, [this] {
    if (alert_ && alert_->isVisible()) alert_->pressStop();
  });
  connect(notification_.get(), &platform::DesktopNotification::snoozeAsked, this, [this] {
    if (alert_ && alert_->isVisible()) alert_->pressSnooze();
  });
}

void AlarmFiring::prepareAlarm() {
  reachDesktop();
  platform::ignoreErrors([&] {
    // The mixer is opened and the wave loaded now, so that the second only sets and plays.
    audio::volumeModule().hold();
    auto& output = *platform::services().sound;
    // Counting the outputs loads the media module, which beeps and plays the sounds.
    const AlarmSettings::Sound sound = settings().sound;
    if (output.outputCount() > 0 && sound == AlarmSettings::Sound::Wave) output.prepareWave(waveFile());
    if (sound == AlarmSettings::Sound::Music) player_().prepareGraph();
    // The alert window is built now, hidden, so that the alarm second only shows it.
    const bool message = settings().showMessage;
    if (alert_ && alert_->isMessage() != message) delete alert_;
    if (!alert_) alert_ = createAlertWindow(*this, message, false, owner_);
    preparedAt_.start();
  });
}

void AlarmFiring::raiseAlarm() {
  // An alert built ahead for an alarm that did not come then shows what was set then: gone.
  if (alert_ && !alert_->isVisible() && (!preparedAt_.isValid() || preparedAt_.elapsed() > kPreparedForMs)) delete alert_;
  // A rehearsal on screen ends first, as a stop; then the alarm rings as always.
  if (preview_) {
    platform::logEvent("a preview gives way to the alarm");
    preview_->endPreview();
  }
  rehearsal_.reset();  // the alarm rings with the program's settings, also when it came during a preview

  heldMixer_.emplace(audio::volumeModule());  // held from the warm-up until the volumes are back
  userVolumes_.emplace(audio::volumeModule());  // back when the alert has closed
  // Nothing may wait for the user before the alert is up: what fails is told beside it.
  // What an earlier ring told goes; this ring tells its own.
  for (const QPointer<QWidget>& box : std::exchange(notices_, {}))
    if (box) box->close();
  ringing_ = true;
  step([&] { applyVolume(); });
  // The fade starts first, so that the sound starts quiet.
  if (const int seconds = fadeInSeconds())
    fade_->start(seconds, settings().sound == AlarmSettings::Sound::Wave ? waveFile() : QString());
  step([&] { makeSound(true); });
  step([&] { triggerCommand(); });
  const bool message = settings().showMessage;
  if (alert_ && alert_->isMessage() != message) delete alert_;  // built ahead as the other kind
  if (!alert_) alert_ = createAlertWindow(*this, message, false, owner_);
  step([&] {
    const int minutes = settings().hideAlertMinutes;
    engine_.setHideAlertIn(minutes);
    alert_->startHideTimer(*engine_.hideAlertTime());
    alert_->setHideTooltip(QString::number(minutes));
  });
  const AlertContent shows = content();
  alert_->setContent(shows);
  preparedAt_.invalidate();
  ringing_ = false;
  connect(alert_, &AlertWindow::ended, this, &AlarmFiring::alertClosed);
  if (!reports_.empty()) QTimer::singleShot(0, alert_.data(), [this] { showReports(); });
  alert_->showAlert();
  // Then the rest of the desktop: the notification, the screen lit, and the computer kept up
  // while the alarm rings (each where the desktop offers it).
  reachDesktop();
  notification_->notify(QStringLiteral("Alarm"), shows.text, true, true, true);
  platform::wakeScreen();
  inhibitor_->hold(QStringLiteral("An alarm is ringing"));
}

void AlarmFiring::alertClosed(AlarmEngine::AlertEnd end) {
  showReports();  // whatever an alert that closed at once left untold
  if (alert_) alert_->deleteLater();
  alert_ = nullptr;
  Music->stop();  // the repeat poll ends with the alert; the next firing starts it again
  fade_->finish();  // Stop, Snooze or the hide time: the rise ends at once
  if (notification_) notification_->withdraw();
  if (inhibitor_) inhibitor_->release();
  userVolumes_.reset();
  heldMixer_.reset();
  engine_.alertEnded(end);
}

void AlarmFiring::preview(QWidget* owner, const AlarmSettings& edited) {
  rehearsal_ = edited;
  step([&] { applyVolume(); }, "frmPrefs, cmdPreview_Click");
  step([&] { makeSound(false); }, "frmPrefs, cmdPreview_Click");
  delete preview_;
  preview_ = createAlertWindow(*this, settings().showMessage, true, owner);
  preview_->setContent(content());
  connect(preview_, &AlertWindow::ended, this, [this, shown = preview_] {
    if (shown) shown->deleteLater();
    if (shown == preview_) rehearsal_.reset();
  });
  preview_->showAlert();
}

AlertContent AlarmFiring::content() {
  AlertContent c;
  c.text = settings().messageText;
  // A late alarm says so under its text.
  if (!engine_.lateNote().isEmpty()) c.text += "\n" + engine_.lateNote();
  c.font = settings().font;
  if (ledColour_) c.colourIndex = ledColour_();
  return c;
}

void AlarmFiring::applyVolume() {
  const AlarmSettings& s = settings();
  audio::applyAlarmVolume(audio::volumeModule(), s.unmute, s.volumeSpeaker, s.volumeWave);
}

void AlarmFiring::makeSound(bool forAlarm) {
  switch (settings().sound) {
    case AlarmSettings::Sound::Beep: platform::services().sound->beep(1500, 500); break;
    case AlarmSettings::Sound::Music: playMusic(forAlarm); break;
    default: audio::PlaySound(waveFile()); break;
  }
}

void AlarmFiring::repeatMusic(bool on) {
  if (on)
    Music->start();
  else
    Music->stop();
}

void AlarmFiring::playMusic(bool forAlarm) {
  const QString path = settings().musicFile;
  const bool repeat = forAlarm && settings().repeat;
  const quintptr owner = owner_ ? owner_->effectiveWinId() : 0;
  auto& player = player_();
  if (!fileexists(path)) {
    platform::logEvent(("music: not found: " + path).toStdString());
    if (!forAlarm) return;
    playWaveInstead(repeat);
    report(QStringLiteral("The alarm's music file was not found:\r\n") + path +
               QStringLiteral("\r\nAlarm plays its own sound instead."),
           platform::mb::kExclamation, QStringLiteral("You moved it didn't you..."));
    return;
  }
  player.DS_OpenFile(path, 0, 0, 0, 0, owner);
  const QString instead = QStringLiteral("\r\nAlarm plays its own sound instead.");
  if (forAlarm && !player.fileRendered()) {
    playWaveInstead(repeat);
    report(QStringLiteral("Alarm is unable to play this file.\r\n") + path + instead, platform::mb::kExclamation,
           QStringLiteral("DS_Play - Oops"));
    return;
  }
  if (!forAlarm) {
    player.DS_Play();
    return;
  }
  // At the alarm a play that fails gives way to the alarm sound, and is told beside the alert.
  std::optional<Report> failed;
  player.setReport([&](const QString& text, int flags, const QString& title) { failed = Report{text, flags, title}; });
  player.DS_Play();
  player.setReport(nullptr);
  if (failed) {
    playWaveInstead(repeat);
    report(failed->text + instead, failed->flags, failed->title);
    return;
  }
  repeatMusic(repeat);
}

void AlarmFiring::playWaveInstead(bool repeat) {
  // Through the player, so that Repeat goes on repeating it and Stop stops it.
  auto& player = player_();
  player.DS_OpenFile(waveFile(), 0, 0, 0, 0, 0);
  if (player.fileRendered()) {
    player.DS_Play();
    repeatMusic(repeat);
  } else {
    repeatMusic(false);
    audio::PlaySound(waveFile());
  }
}

void AlarmFiring::Music_Timer() {
  // Never inside itself: a box raised by a play must not let the next poll play again.
  if (polling_) return;
  polling_ = true;
  platform::ignoreErrors([&] {
    auto& player = player_();
    const double duration = player.DS_GetDuration();
    // Only a piece with a length that stands at its end starts again.
    if (duration > 0 && player.DS_GetPosition() == duration) player.DS_Play();
  });
  polling_ = false;
}

void AlarmFiring::triggerCommand() {
  if (!settings_.commandOn) return;
  const QString text = QString::fromStdString(platform::vbTrim(settings_.commandText.toStdString()));
  settings_.commandText = text;
  if (text.isEmpty()) {
    platform::logEvent("alarm command: empty, nothing started");
    return;
  }
  try {
    engine::startCommand(text, settings_.commandMSDOS);
  } catch (const platform::RuntimeError& e) {
    if (e.number() != platform::err::kFileNotFound) throw;
    report(QStringLiteral("Alarm could not start the command:\r\n") + text + QStringLiteral("\r\n(") +
               QString::fromStdString(e.description()) + QStringLiteral(")"),
           platform::mb::kExclamation, QStringLiteral("Command Error"));
  }
}

void AlarmFiring::recordPreviousAlarm() { engine_.recordPreviousAlarm(); }

bool AlarmFiring::messageVisible() const {
  const AlertWindow* open = alert_ ? alert_.data() : preview_.data();
  return open && open->isMessage() && open->isVisible();
}

QWidget* AlarmFiring::openAlert() const { return alert_ ? alert_.data() : preview_.data(); }

void AlarmFiring::stopMusic() { player_().DS_Stop(); }

int AlarmFiring::fadeInSeconds() const {
  return settings().sound != AlarmSettings::Sound::Beep ? settings().fadeInSeconds : 0;
}

void AlarmFiring::snooze() { engine_.snooze(settings_.snoozeMinutes); }
