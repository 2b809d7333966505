// The alarm's firing.
#include "alarm/alarm_firing.h"

#include <QTimer>
#include <cmath>

#include "alarm/alarm_settings.h"
#include "alarm/command_start.h"
#include "audio/dshow_control.h"
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

constexpr int kDefaultSnooze = 8;
constexpr int kDefaultHide = 15;

std::string utf8(const QString& s) { return s.toStdString(); }

void warn(const QString& title, const QString& text) {
  platform::services().messageBox->msgBox(text, platform::mb::kExclamation, title);
}

}  // namespace

int usableMinutes(const QString& typed, int fallback) {
  const auto v = platform::tryCDbl(utf8(typed));
  // 1440 minutes would land on the same second, which has passed: the alarm would never come.
  if (!v || !std::isfinite(*v) || *v != std::floor(*v) || *v < 1 || *v > 1439) return fallback;
  return static_cast<int>(*v);
}

AlarmFiring::AlarmFiring(AlarmEngine& engine, AlarmSettings& settings, PlayerAccess player, QWidget* owner,
                         AlertFactory makeAlert)
    : engine_(engine),
      settings_(settings),
      player_(std::move(player)),
      owner_(owner),
      makeAlert_(std::move(makeAlert)) {
  Music = new QTimer(this);
  Music->setInterval(100);
  connect(Music, &QTimer::timeout, this, &AlarmFiring::Music_Timer);
}

AlarmFiring::~AlarmFiring() = default;

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
  platform::showErrorBox(number, description, location);
}

void AlarmFiring::prepare() {
  platform::ignoreErrors([&] {
    settings_.snoozeMinutes();
    settings_.hideAlertMinutes();
    if (settings_.sound() != AlarmSettings::Sound::Beep) platform::services().sound->outputCount();
  });
}

void AlarmFiring::raise() {
  // A rehearsal on screen ends first, as a stop; then the alarm rings as always.
  if (Alert* rehearsal = alertOf(preview_)) {
    platform::logEvent("a preview gives way to the alarm");
    rehearsal->endPreview();
    preview_ = nullptr;
  }

  const audio::SavedVolumes userVolumes(audio::volumeModule());  // back when the alert has closed
  step([&] { applyVolume(); });
  step([&] { makeSound(true); });
  step([&] { triggerCommand(); });
  bool message = true;
  platform::ignoreErrors([&] { message = settings_.showMessage(); });
  engine_.lblHDDNform = message ? QStringLiteral("frmAlarmMessage") : QStringLiteral("frmAlarmFullscreen");
  step([&] {
    const QString typed = settings_.hideAlertMinutes();
    const QString minutes = usableMinutes(typed, 0) > 0 ? typed.trimmed() : QString::number(kDefaultHide);
    engine_.setHideAlertIn(minutes);
    startCountDown(minutes);
  });
  if (!alert_) alert_ = createAlert(message, false, owner_)->alertWidget();
  alertOf(alert_)->showModal();
  delete alert_;
  Music->stop();  // the repeat poll ends with the alert; the next firing starts it again
}

void AlarmFiring::preview(QWidget* owner) {
  step([&] { applyVolume(); }, "frmPrefs, cmdPreview_Click");
  step([&] { makeSound(false); }, "frmPrefs, cmdPreview_Click");
  bool message = true;
  platform::ignoreErrors([&] { message = settings_.showMessage(); });
  preview_ = createAlert(message, true, owner)->alertWidget();
  QPointer<QWidget> shown = preview_;
  alertOf(shown)->showModal();
  delete shown;
}

void AlarmFiring::applyVolume() {
  const int32_t speaker = platform::vbCLng(utf8(settings_.volumeSpeaker()));
  const int32_t wave = platform::vbCLng(utf8(settings_.volumeWave()));
  audio::applyAlarmVolume(audio::volumeModule(), settings_.unmute(), speaker, wave);
}

void AlarmFiring::makeSound(bool forAlarm) {
  switch (settings_.sound()) {
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
  const QString path = settings_.musicFile();
  const bool repeat = forAlarm && settings_.repeat();
  QWidget* dialog = settings_.dialogWindow();
  const quintptr owner = dialog ? dialog->effectiveWinId() : 0;
  auto& player = player_();
  if (!fileexists(path)) {
    platform::logEvent(("music: not found: " + path).toStdString());
    if (!forAlarm) return;
    playWaveInstead(repeat);
    warn(QStringLiteral("You moved it didn't you..."),
         QStringLiteral("The alarm's music file was not found:\r\n") + path +
             QStringLiteral("\r\nAlarm plays its own sound instead."));
    return;
  }
  player.DS_OpenFile(path, 0, 0, 0, 0, owner);
  if (forAlarm && !player.fileRendered()) {
    playWaveInstead(repeat);
    warn(QStringLiteral("DS_Play - Oops"), QStringLiteral("Alarm is unable to play this file.\r\n") + path +
                                               QStringLiteral("\r\nAlarm plays its own sound instead."));
    return;
  }
  player.DS_Play();
  if (forAlarm) repeatMusic(repeat);
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
    engine_.lblHDDNduration = QString::fromStdString(platform::vbCStr(player.DS_GetDuration()));
    engine_.lblHDDNposition = QString::fromStdString(platform::vbCStr(player.DS_GetPosition()));
    const double duration = player.DS_GetDuration();
    // Only a piece with a length that stands at its end starts again.
    if (duration > 0 && player.DS_GetPosition() == duration) player.DS_Play();
  });
  polling_ = false;
}

void AlarmFiring::triggerCommand() {
  if (!settings_.commandOn()) return;
  const QString text = QString::fromStdString(platform::vbTrim(utf8(settings_.commandText())));
  settings_.setCommandText(text);
  if (text.isEmpty()) {
    platform::logEvent("alarm command: empty, nothing started");
    return;
  }
  engine::startCommand(text, settings_.commandMSDOS());
}

void AlarmFiring::RecordPreviousAlarm() { engine_.recordPreviousAlarm(); }

void AlarmFiring::startCountDown(const QString& minutes) {
  if (!alert_)
    alert_ = createAlert(engine_.lblHDDNform == QLatin1String("frmAlarmMessage"), false, owner_)->alertWidget();
  Alert* alert = alertOf(alert_);
  alert->startHideTimer();
  alert->setHideTooltip(minutes);
}

bool AlarmFiring::messageVisible() const {
  const QPointer<QWidget>& open = alert_ ? alert_ : preview_;
  const Alert* alert = alertOf(open);
  return alert && alert->isMessage() && open->isVisible();
}

QWidget* AlarmFiring::openAlert() const { return alert_ ? alert_.data() : preview_.data(); }

Alert* AlarmFiring::alertOf(const QPointer<QWidget>& window) { return dynamic_cast<Alert*>(window.data()); }

Alert* AlarmFiring::createAlert(bool message, bool preview, QWidget* owner) {
  return makeAlert_(*this, message, preview, owner);
}

void AlarmFiring::stopMusic() { player_().DS_Stop(); }

void AlarmFiring::markStopped() { engine_.markStopped(); }

void AlarmFiring::snooze() { engine_.snooze(usableMinutes(settings_.snoozeMinutes(), kDefaultSnooze)); }

QString AlarmFiring::hideAlertTime() { return engine_.lblHDDNhideAlert; }

QString AlarmFiring::messageText() { return settings_.messageText(); }

QString AlarmFiring::colourIndex() { return engine_.lblHDDNTempInteger; }
