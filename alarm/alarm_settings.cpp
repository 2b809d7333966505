// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm's settings: the one interval rule, and the settings loaded from and saved to the store.
#include "alarm/alarm_settings.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "platform/convert.h"
#include "platform/errors.h"
#include "platform/log.h"
#include "platform/registry.h"
#include "platform/store.h"

namespace {

using platform::ignoreErrors;
using Registry::readSetting;

const QString kAbsent = QStringLiteral("Error");  // what the store answers for a value it does not hold


// A stored choice (True/False or a number) that reads true. A choice reading false changes
// nothing: a choice is left only by another one of its group being chosen.
bool chosen(const char* name) {
  bool on = false;
  ignoreErrors([&] { on = platform::tryCBool((readSetting(name)).toStdString()).value_or(false); });
  return on;
}

// A stored check value: 0 clears, 1 checks; anything else leaves the default.
void loadCheck(const char* name, bool& checked) {
  ignoreErrors([&] {
    const auto v = platform::tryCInt((readSetting(name)).toStdString());
    if (v && (*v == 0 || *v == 1)) checked = *v == 1;
  });
}

// A stored text; the fallback when nothing is stored.
QString text(const char* name, const QString& absent) {
  QString t = absent;
  ignoreErrors([&] {
    const QString stored = readSetting(name);
    if (stored != kAbsent) t = stored;
  });
  return t;
}

// A stored alarm volume as the whole percentage the mixer takes: nothing stored is 100, and
// a text that is no number (or not 0 to 100) becomes 100 (or the nearer end) rather than
// a volume no mixer can be set to.
int alarmVolume(const char* name) {
  int percent = 100;
  ignoreErrors([&] {
    const QString stored = readSetting(name);
    if (stored == kAbsent) return;
    const auto v = platform::tryCDbl(stored.toStdString());
    if (v && std::isfinite(*v)) percent = static_cast<int>(std::clamp(platform::roundHalfEven(*v), 0.0, 100.0));
    if (QString::number(percent) != stored.trimmed())
      platform::logEvent(("the stored " + QString::fromLatin1(name) + " \"" + stored + "\" is no volume from 0 to 100; using " +
                          QString::number(percent))
                             .toStdString());
  });
  return percent;
}

// A stored interval; its default when nothing usable is stored.
int interval(const char* name, int fallback) {
  int minutes = fallback;
  ignoreErrors([&] {
    const QString stored = readSetting(name);
    if (stored == kAbsent) return;
    if (const auto usable = usableMinutes(stored))
      minutes = *usable;
    else
      platform::logEvent(("the stored " + QString::fromLatin1(name) + " \"" + stored +
                          "\" is no whole number of minutes from 1 to 1439; using " + QString::number(fallback))
                             .toStdString());
  });
  platform::logEvent((QString::fromLatin1(name) + " loaded: " + QString::number(minutes) + " minutes").toStdString());
  return minutes;
}

// The stored command: a command the store cannot give back whole reads as nothing, and is left out with a word.
QString command() {
  QString stored = kAbsent;
  ignoreErrors([&] { stored = readSetting("Command"); });
  if (stored != kAbsent) return stored;
  ignoreErrors([] {
    QString key = Registry::settingsKey();
    uint32_t root = 0;
    std::optional<std::string> raw;
    if (Registry::SplitKeyPath(key, root)) raw = platform::defaultStore().readValue(root, key.toStdString(), "Command");
    if (raw && QString::fromStdString(*raw).size() > AlarmSettings::kMaxStoredText)
      platform::logEvent("the stored command is longer than the settings can give back (254 characters); it is left out");
  });
  return {};
}

QString choiceText(bool on) { return QString::fromLatin1(platform::vbBoolText(on)); }
QString checkText(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }

void store(const std::vector<std::pair<QString, QString>>& values) {
  ignoreErrors([&] { Registry::WriteRegistryValues(Registry::settingsKey(), values); });
}

}  // namespace

std::optional<int> usableMinutes(const QString& text) {
  const QString t = text.trimmed();
  if (t.isEmpty() || t.size() > 4) return std::nullopt;
  for (QChar c : t)
    if (c < '0' || c > '9') return std::nullopt;
  const int n = t.toInt();
  if (n < 1 || n > 1439) return std::nullopt;
  return n;
}

AlarmSettings loadAlarmSettings() {
  using Sound = AlarmSettings::Sound;
  AlarmSettings s;
  // The choices in their stored order; the last one chosen of each group wins.
  if (chosen("ShowMessage")) s.showMessage = true;
  if (chosen("ShowFullscreen")) s.showMessage = false;
  if (chosen("Beep")) s.sound = Sound::Beep;
  if (chosen("PlaySound")) s.sound = Sound::Wave;
  if (chosen("PlayMusic")) s.sound = Sound::Music;

  loadCheck("TriggerCommand", s.commandOn);
  loadCheck("CommandMSDOS", s.commandMSDOS);
  loadCheck("VolumeForceUnmute", s.unmute);
  // Repeat is read only while music is the sound.
  if (s.sound == Sound::Music) loadCheck("Repeat", s.repeat);

  s.font = text("Font", QString());
  s.musicFile = text("PlayMusicFile", QString());
  s.messageText = text("Message", s.messageText).left(AlarmSettings::kMaxMessageLength);
  s.commandText = command();
  s.volumeSpeaker = alarmVolume("VolumeSpeaker");
  s.volumeWave = alarmVolume("VolumeWaveOut");

  const QString sound = s.sound == Sound::Beep    ? QStringLiteral("beep")
                        : s.sound == Sound::Music ? "music " + s.musicFile
                                                  : QStringLiteral("alarm.wav");
  platform::logEvent(("preferences loaded: sound " + sound + ", " + (s.showMessage ? "message window" : "full screen") +
                      ", message \"" + s.messageText + "\", command " + (s.commandOn ? "on" : "off") + ", volumes " +
                      QString::number(s.volumeSpeaker) + " and " + QString::number(s.volumeWave))
                         .toStdString());

  s.snoozeMinutes = interval("Snooze", AlarmSettings::kDefaultSnoozeMinutes);
  s.hideAlertMinutes = interval("HideAlert", AlarmSettings::kDefaultHideAlertMinutes);
  ignoreErrors([&] {
    const auto minutes = platform::tryCInt((readSetting("LateMinutes")).toStdString());
    if (minutes && *minutes >= 0 && *minutes <= 1439) s.lateMinutes = *minutes;
  });
  ignoreErrors([&] {
    // Nothing stored is 0 (off); a text that is no whole number too, and a number out of
    // range the nearer end.
    const QString stored = readSetting("FadeInSeconds");
    const auto v = platform::tryCDbl(stored.toStdString());
    int seconds = 0;
    if (v && std::isfinite(*v) && *v == std::floor(*v))
      seconds = static_cast<int>(std::clamp(*v, 0.0, double{AlarmSettings::kMaxFadeInSeconds}));
    if (stored != kAbsent && QString::number(seconds) != stored.trimmed())
      platform::logEvent(("the stored FadeInSeconds \"" + stored + "\" is no number of seconds from 0 to 300; using " +
                          QString::number(seconds))
                             .toStdString());
    s.fadeInSeconds = seconds;
  });
  return s;
}

void savePrefsSettings(const AlarmSettings& s) {
  using Sound = AlarmSettings::Sound;
  store({{"ShowMessage", choiceText(s.showMessage)},
         {"ShowFullscreen", choiceText(!s.showMessage)},
         {"Beep", choiceText(s.sound == Sound::Beep)},
         {"PlaySound", choiceText(s.sound == Sound::Wave)},
         {"PlayMusic", choiceText(s.sound == Sound::Music)},
         // No music chosen yet is stored as the store's own word for nothing.
         {"PlayMusicFile", s.musicFile.isEmpty() ? kAbsent : s.musicFile},
         {"Repeat", checkText(s.repeat)},
         {"Message", s.messageText},
         {"TriggerCommand", checkText(s.commandOn)},
         {"Command", s.commandText},
         {"CommandMSDOS", checkText(s.commandMSDOS)},
         {"VolumeForceUnmute", checkText(s.unmute)},
         {"FadeInSeconds", QString::number(s.fadeInSeconds)}});
}

void saveAlarmVolumes(const AlarmSettings& s) {
  store({{"VolumeSpeaker", QString::number(s.volumeSpeaker)}, {"VolumeWaveOut", QString::number(s.volumeWave)}});
}

void saveUnmute(bool unmute) { store({{"VolumeForceUnmute", checkText(unmute)}}); }

void saveFont(const QString& face) { store({{"Font", face}}); }

void saveSnoozeMinutes(int minutes) {
  store({{"Snooze", QString::number(minutes)}});
  platform::logEvent("Snooze set to " + std::to_string(minutes) + " minutes");
}

void saveHideAlertMinutes(int minutes) {
  store({{"HideAlert", QString::number(minutes)}});
  platform::logEvent("HideAlert set to " + std::to_string(minutes) + " minutes");
}

void saveLateMinutes(int minutes) { store({{"LateMinutes", QString::number(minutes)}}); }
