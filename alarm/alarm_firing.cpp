// The alarm's firing.
#include "alarm/alarm_firing.h"

#include <QTimer>
#include <cmath>

#include "alarm/timetext.h"
#include "app/frmMain.h"
#include "app/registry.h"
#include "audio/dshow_control.h"
#include "audio/volume.h"
#include "notify/frmAlarmFullscreen.h"
#include "notify/frmAlarmMessage.h"
#include "platform/convert.h"
#include "platform/errors.h"
#include "platform/log.h"
#include "platform/services.h"
#include "platform/vbtime.h"
#include "prefs/alarm_settings.h"
#include "prefs/command_start.h"

namespace {

const QString kSnoozed = QStringLiteral("Snooze!");
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

AlarmFiring::AlarmFiring(frmMain& main, AlarmSettings& settings, PlayerAccess player)
    : main_(main), settings_(settings), player_(std::move(player)) {
  connect(main_.Music, &QTimer::timeout, this, &AlarmFiring::Music_Timer);
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
  if (preview_) {
    platform::logEvent("a preview gives way to the alarm");
    preview_->endPreview();
    preview_ = nullptr;
  }
  firedOn_ = platform::services().clock->now().date();
  const auto armed = platform::timeValue(main_.lblHDDNtime);
  if (!snoozedTo_ || armed != snoozedTo_) daily_ = armed;  // not a snoozed alarm: the user's own
  // Each alert starts unsnoozed, so only its own Snooze keeps the alarm on the snooze time.
  main_.lblHDDNsnooze = QStringLiteral("lblHDDNsnooze");

  step([&] { applyVolume(); });
  step([&] { makeSound(true); });
  step([&] { triggerCommand(); });
  bool message = true;
  platform::ignoreErrors([&] { message = settings_.showMessage(); });
  main_.lblHDDNform = message ? QStringLiteral("frmAlarmMessage") : QStringLiteral("frmAlarmFullscreen");
  step([&] {
    const QString typed = settings_.hideAlertMinutes();
    const bool usable = usableMinutes(typed, 0) > 0;
    main_.startCountDown(usable ? typed.trimmed() : QString::number(kDefaultHide));
  });
  if (!alert_) alert_ = createAlert(message, false, &main_);
  alert_->showModal();
  delete alert_;

  if (main_.lblHDDNsnooze == kSnoozed) {
    snoozedTo_ = platform::timeValue(main_.lblHDDNtime);
    return;
  }
  // Stopped: a snoozed alarm goes back to the time the user armed, in today's clock mode.
  if (snoozedTo_ && daily_ && platform::timeValue(main_.lblHDDNtime) != daily_) {
    main_.lblHDDNtime = engine::alarmText(*daily_, main_.is24());
    main_.setStatus(engine::activatedText(main_.lblHDDNtime), frmMain::kColourArmed);
    platform::logEvent(("alarm back on " + main_.lblHDDNtime).toStdString());
  }
  snoozedTo_.reset();
}

void AlarmFiring::preview(QWidget* owner) {
  step([&] { applyVolume(); }, "frmPrefs, cmdPreview_Click");
  step([&] { makeSound(false); }, "frmPrefs, cmdPreview_Click");
  bool message = true;
  platform::ignoreErrors([&] { message = settings_.showMessage(); });
  preview_ = createAlert(message, true, owner);
  QPointer<AlertWindow> shown = preview_;
  shown->showModal();
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
    default: main_.PlaySound(waveFile()); break;
  }
}

void AlarmFiring::repeatMusic(bool on) {
  if (on)
    main_.Music->start();
  else
    main_.Music->stop();
}

void AlarmFiring::playMusic(bool forAlarm) {
  const QString path = settings_.musicFile();
  const bool repeat = forAlarm && settings_.repeat();
  QWidget* dialog = settings_.dialogWindow();
  const quintptr owner = dialog ? dialog->effectiveWinId() : 0;
  auto& player = player_();
  if (!frmMain::fileexists(path)) {
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
    main_.PlaySound(waveFile());
  }
}

void AlarmFiring::Music_Timer() {
  // Never inside itself: a box raised by a play must not let the next poll play again.
  if (polling_) return;
  polling_ = true;
  platform::ignoreErrors([&] {
    auto& player = player_();
    main_.lblHDDNduration = QString::fromStdString(platform::vbCStr(player.DS_GetDuration()));
    main_.lblHDDNposition = QString::fromStdString(platform::vbCStr(player.DS_GetPosition()));
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
  prefs::startCommand(text, settings_.commandMSDOS());
}

void AlarmFiring::RecordPreviousAlarm() {
  const QDate day = firedOn_.isValid() ? firedOn_ : platform::services().clock->now().date();
  main_.lblHDDNpreviousAlarm = platform::shortDate(day) + " " + main_.lblHDDNtime;
}

void AlarmFiring::startCountDown(const QString& minutes) {
  if (!alert_)
    alert_ = createAlert(main_.lblHDDNform == QLatin1String("frmAlarmMessage"), false, &main_);
  alert_->startHideTimer();
  if (auto* message = qobject_cast<frmAlarmMessage*>(alert_.data())) message->setHideTooltip(minutes);
}

bool AlarmFiring::messageVisible() const {
  const AlertWindow* w = openAlert();
  return w && qobject_cast<const frmAlarmMessage*>(w) && w->isVisible();
}

AlertWindow* AlarmFiring::openAlert() const { return alert_ ? alert_.data() : preview_.data(); }

AlertWindow* AlarmFiring::createAlert(bool message, bool preview, QWidget* owner) {
  if (message) return new frmAlarmMessage(*this, preview, owner);
  return new frmAlarmFullscreen(*this, preview, owner);
}

void AlarmFiring::stopMusic() { player_().DS_Stop(); }

void AlarmFiring::markStopped() { main_.lblHDDNsnooze = QStringLiteral("lblHDDNsnooze"); }

void AlarmFiring::snooze() {
  const int minutes = usableMinutes(settings_.snoozeMinutes(), kDefaultSnooze);
  main_.lblHDDNtime = platform::nowPlusMinutes(platform::services().clock->now(), minutes,
                                               main_.is24() ? platform::kFmt24 : platform::kFmtAmPm);
  main_.setStatus(engine::activatedText(main_.lblHDDNtime), frmMain::kColourArmed);
  main_.lblHDDNsnooze = kSnoozed;
  platform::logEvent(("snooze: alarm set for " + main_.lblHDDNtime).toStdString());
}

QString AlarmFiring::hideAlertTime() { return main_.lblHDDNhideAlert; }

QString AlarmFiring::messageText() { return settings_.messageText(); }

QString AlarmFiring::colourIndex() { return main_.lblHDDNTempInteger; }
