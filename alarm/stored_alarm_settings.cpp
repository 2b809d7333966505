// The alarm's settings from the store.
#include "alarm/stored_alarm_settings.h"

#include "app/registry.h"
#include "platform/convert.h"

namespace {

// The stored text, or `absent` when the store has none.
QString stored(const char* name, const QString& absent = QString()) {
  const QString v = Registry::readSetting(QString::fromLatin1(name));
  return v == QLatin1String("Error") ? absent : v;
}

std::optional<bool> storedBool(const char* name) { return platform::tryCBool(stored(name).toStdString()); }
bool checked(const char* name) { return stored(name) == QLatin1String("1"); }

}  // namespace

AlarmSettings::Sound StoredAlarmSettings::sound() {
  if (storedBool("Beep").value_or(false)) return Sound::Beep;
  if (storedBool("PlayMusic").value_or(false)) return Sound::Music;
  return Sound::Wave;
}

QString StoredAlarmSettings::musicFile() { return Registry::readSetting(QStringLiteral("PlayMusicFile")); }
bool StoredAlarmSettings::repeat() { return checked("Repeat"); }
bool StoredAlarmSettings::unmute() { return checked("VolumeForceUnmute"); }
QString StoredAlarmSettings::volumeSpeaker() { return stored("VolumeSpeaker", QStringLiteral("100")); }
QString StoredAlarmSettings::volumeWave() { return stored("VolumeWaveOut", QStringLiteral("100")); }

bool StoredAlarmSettings::showMessage() {
  if (const auto m = storedBool("ShowMessage")) return *m;
  return !storedBool("ShowFullscreen").value_or(false);
}

QString StoredAlarmSettings::messageText() { return stored("Message", QStringLiteral("Alarm!!!")); }
bool StoredAlarmSettings::commandOn() { return checked("TriggerCommand"); }
QString StoredAlarmSettings::commandText() { return command_ ? *command_ : stored("Command"); }

bool StoredAlarmSettings::commandMSDOS() {
  const auto v = platform::tryCDbl(stored("CommandMSDOS").toStdString());
  return v && *v != 0;
}

QString StoredAlarmSettings::snoozeMinutes() { return stored("Snooze", QStringLiteral("8")); }
QString StoredAlarmSettings::hideAlertMinutes() { return stored("HideAlert", QStringLiteral("15")); }
