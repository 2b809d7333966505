// The alarm's settings read straight from the store, for a program whose preferences
// dialog has not been created: what the dialog would load, with its design defaults.
#pragma once

#include <optional>

#include "prefs/alarm_settings.h"

class StoredAlarmSettings final : public AlarmSettings {
 public:
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
  void setCommandText(const QString& text) override { command_ = text; }
  bool commandMSDOS() override;
  bool previewing() override { return false; }
  QString snoozeMinutes() override;
  QString hideAlertMinutes() override;
  QWidget* dialogWindow() override { return nullptr; }

 private:
  std::optional<QString> command_;
};
