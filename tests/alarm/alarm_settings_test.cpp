// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm's settings through the store: every setting saved loads back as it was.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "alarm/alarm_settings.h"
#include "platform/registry.h"
#include "platform/store.h"

namespace {

TEST(AlarmSettingsStore, EverySettingSavedLoadsBackAsItWas) {
  QTemporaryDir dir;
  platform::MemoryStore store;
  platform::setDefaultStore(&store);
  Registry::setProgramPath(dir.path() + "/Alarm");
  Registry::CreateRegistryKey(Registry::settingsKey());

  AlarmSettings s;  // each setting other than its default, so that one left unsaved shows
  s.sound = AlarmSettings::Sound::Music;
  s.musicFile = "/music/wake up.ogg";
  s.repeat = s.unmute = s.commandOn = s.commandMSDOS = true;
  s.volumeSpeaker = 35;
  s.volumeWave = 0;
  s.showMessage = false;
  s.messageText = "Up, the bus leaves at eight";
  s.font = "DejaVu Serif";
  s.commandText = "notify-send up";
  s.snoozeMinutes = 1439;
  s.hideAlertMinutes = 1;
  s.lateMinutes = 0;
  savePrefsSettings(s);
  saveAlarmVolumes(s);
  saveFont(s.font);
  saveSnoozeMinutes(s.snoozeMinutes);
  saveHideAlertMinutes(s.hideAlertMinutes);
  saveLateMinutes(s.lateMinutes);
  EXPECT_TRUE(loadAlarmSettings() == s);
  EXPECT_EQ(Registry::readSetting("ShowFullscreen"), "True");  // in the forms the store has always held
  EXPECT_EQ(Registry::readSetting("Repeat"), "1");
  platform::setDefaultStore(nullptr);
}

}  // namespace
