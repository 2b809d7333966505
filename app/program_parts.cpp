// The program's own parts behind the main window's seams.
#include "app/program_parts.h"

#include "alarm/alarm_firing.h"
#include "alarm/stored_alarm_settings.h"
#include "audio/dshow_control.h"
#include "platform/errors.h"

ProgramParts::ProgramParts() = default;

ProgramParts::~ProgramParts() {
  firing_.reset();
}

// --- The media player and the alarm's firing

void ProgramParts::createPlayer() {
  if (clDShow_) return;
  clDShow_ = graphFactory_ ? std::make_unique<audio::clsDShowControl>(graphFactory_)
                           : std::make_unique<audio::clsDShowControl>();
}

audio::clsDShowControl& ProgramParts::player() {
  createPlayer();
  return *clDShow_;
}

void ProgramParts::stopPlayer() {
  if (clDShow_) clDShow_->DS_Stop();
}

void ProgramParts::removePlayer() {
  if (!clDShow_) return;
  clDShow_->DS_Remove();
  // An open still under way further up the stack keeps the object until the program ends.
  if (!clDShow_->opening()) clDShow_.reset();
}

AlarmSettings& ProgramParts::alarmSettings() {
  if (alarmSettings_) return *alarmSettings_;
  if (!storedSettings_) storedSettings_ = std::make_unique<StoredAlarmSettings>();
  return *storedSettings_;
}

AlarmFiring& ProgramParts::firing(frmMain& main) {
  if (!firing_) firing_ = std::make_unique<AlarmFiring>(main, alarmSettings(), [this]() -> audio::clsDShowControl& {
    return player();
  });
  return *firing_;
}

void ProgramParts::raiseAlarm(frmMain& main) { firing(main).raise(); }

void ProgramParts::startAlertCountDown(frmMain& main, const QString& minutes) { firing(main).startCountDown(minutes); }

bool ProgramParts::alertMessageVisible() { return firing_ && firing_->messageVisible(); }

std::unique_ptr<MainWindowParts> makeProgramParts() { return std::make_unique<ProgramParts>(); }
