// SPDX-License-Identifier: GPL-3.0-or-later
// The media module's entry points (libalarm-media.so): the graph and the sound service
// on Qt Multimedia, created for the program that loaded it.
#include "audio/qt_media_graph.h"
#include "audio/sound_service.h"
#include "platform/log.h"

#define ALARM_MEDIA_EXPORT extern "C" __attribute__((visibility("default")))

// The module has its own copy of the log; its lines go to the program's log.
ALARM_MEDIA_EXPORT void alarm_media_set_log(platform::LogSink sink) { platform::setLogSink(sink); }

ALARM_MEDIA_EXPORT audio::MediaGraph* alarm_media_create_graph() { return new audio::QtMediaGraph; }

ALARM_MEDIA_EXPORT platform::SoundService* alarm_media_create_sound_service() {
  return new audio::AudioSoundService;
}
