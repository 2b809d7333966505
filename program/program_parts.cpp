// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own parts behind the main window's seams.
#include "program/program_parts.h"

#include <QTimer>
#include <QWidget>

#include "notify/alarm_firing.h"
#include "app/frmMain.h"
#include "app/user_notice.h"
#include "audio/dshow_control.h"
#include "led/led_tray.h"
#include "notify/alert_window.h"
#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/wake_alarm.h"
#include "prefs/prefs_holder.h"

ProgramParts::ProgramParts() : prefs_(std::make_unique<PrefsHolder>(*this)) {}
ProgramParts::~ProgramParts() {
  firing_.reset();
  wake_.reset();
}

// --- The media player and the alarm's firing

void ProgramParts::createPlayer() {
  if (clDShow_) return;
  clDShow_ = graphFactory_ ? std::make_unique<audio::clsDShowControl>(graphFactory_)
                           : std::make_unique<audio::clsDShowControl>();
  // The "unable to play" box names the music file of the settings.
  clDShow_->setMusicPathSource([this] { return settings().musicFile; });
}

audio::clsDShowControl& ProgramParts::player() {
  createPlayer();
  return *clDShow_;
}

void ProgramParts::stopPlayer() {
  if (clDShow_) clDShow_->DS_Stop();
}

void ProgramParts::removePlayer() {
  if (firing_) firing_->Music->stop();
  if (!clDShow_) return;
  clDShow_->DS_Remove();
  // An open still under way further up the stack keeps the object until the program ends.
  if (!clDShow_->opening()) clDShow_.reset();
}

AlarmFiring& ProgramParts::firing(frmMain& main) {
  if (!firing_)
    firing_ = std::make_unique<AlarmFiring>(
        main.engine(), settings(), [this]() -> audio::clsDShowControl& { return player(); }, &main,
        [&main] { return main.ledColour(); });
  return *firing_;
}

bool ProgramParts::alertMessageVisible() { return firing_ && firing_->messageVisible(); }

void ProgramParts::playMusicOnce(const QString& path, QWidget* owner) {
  auto& p = player();
  p.DS_OpenFile(path, 0, 0, 0, 0, owner ? owner->effectiveWinId() : 0);
  p.DS_Play();
}

void ProgramParts::previewAlarm(QWidget* owner, const AlarmSettings& edited) {
  if (main_) firing(*main_).preview(owner, edited);
}

int ProgramParts::colourIndex() { return main_ ? main_->ledColour() : -1; }

// Preferences and the interval dialogs.

void ProgramParts::showPrefs(frmMain& main) {
  main_ = &main;
  prefs_->showPrefs(main);
}
bool ProgramParts::prefsVisible() { return prefs_->prefsVisible(); }

// --- The settings

AlarmSettings& ProgramParts::settings() {
  if (!settings_) settings_ = loadAlarmSettings();
  return *settings_;
}

// --- The detached LED window and the tray menu.

void ProgramParts::attach(frmMain& main) {
  main_ = &main;
  // How late an alarm skipped by a jump of the clock may still ring, from the settings.
  main.engine().setLateMinutes(settings().lateMinutes);
  ledTray_ = std::make_unique<led::LedTray>(main);
  firing(main);  // the engine's ringer from now on
}
bool ProgramParts::ledWindowVisible() { return ledTray_ && ledTray_->ledWindowVisible(); }
QPoint ProgramParts::mainPlaceOfLedWindow() { return ledTray_ ? ledTray_->mainPlaceOfLedWindow() : QPoint(); }
void ProgramParts::putLedDisplay(const QString& text) {
  if (ledTray_) ledTray_->putLedDisplay(text);
}
void ProgramParts::closeLedWindow() {
  if (ledTray_) ledTray_->closeLedWindow();
}
void ProgramParts::trayMessage(frmMain& main, int message) {
  if (ledTray_)
    ledTray_->pichook_MouseMove(message);
  else
    MainWindowParts::trayMessage(main, message);
}

// --- Waking the computer

void ProgramParts::wakeFor(frmMain& main, const std::optional<QDateTime>& alarm) {
  if (wakeHelper_.isEmpty()) return;
  if (!wake_) {
    wake_ = std::make_unique<platform::WakeAlarm>(wakeHelper_);
    QObject::connect(wake_.get(), &platform::WakeAlarm::cannotWake, &main, [&main](const QString& allow) {
      if (allow.isEmpty()) {
        main.notice().tellOnce(QStringLiteral("wake"), QStringLiteral("Alarm - Wake"),
                               "Alarm cannot keep this computer's wake-up for the alarm: its helper alarm-wake "
                               "ends or does not start (the log says why). An alarm whose time comes while the "
                               "computer sleeps rings only once it wakes.");
        return;
      }
      // Told once, not at every start: the setting remembers it was said.
      if (Registry::readSetting("WakeNotice") == QLatin1String("Given")) return;
      main.notice().tell(QStringLiteral("Alarm - Wake"),
                         "Alarm cannot wake this computer from sleep: an alarm whose time comes while the computer "
                         "sleeps rings only once it wakes. To let Alarm wake it, run once:\n" +
                             allow);
      platform::ignoreErrors([] { Registry::writeSetting("WakeNotice", QStringLiteral("Given")); });
    });
  }
  wake_->wakeFor(alarm);
}

std::unique_ptr<MainWindowParts> makeProgramParts() {
  auto parts = std::make_unique<ProgramParts>();
  parts->setWakeHelper(Registry::programFolder() + QStringLiteral("/alarm-wake"));
  return parts;
}
