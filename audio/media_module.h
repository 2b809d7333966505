// SPDX-License-Identifier: GPL-3.0-or-later
// The media module: the code that plays sound stands on Qt Multimedia, which with its
// sound server and decoders weighs about 3 MB of resident memory. The program starts
// without it and loads libalarm-media.so, from its own folder, the first time a sound
// is needed.
#pragma once

#include <QString>
#include <memory>

#include "audio/media_graph.h"
#include "platform/services.h"

namespace audio {

// The module's entry points (C names, so that they are found by name).
namespace media_module {
inline constexpr const char* kFileName = "libalarm-media.so";
inline constexpr const char* kSetLog = "alarm_media_set_log";
inline constexpr const char* kCreateGraph = "alarm_media_create_graph";
inline constexpr const char* kCreateSoundService = "alarm_media_create_sound_service";
}  // namespace media_module

// Where the module is looked for; by default libalarm-media.so beside the program.
// Setting a path after a failed load allows another try; once loaded, the module stays.
QString mediaModulePath();
void setMediaModulePath(const QString& path);

// Loads the module once; later calls return the first answer. A module that cannot be
// loaded is logged once with the reason, and the program goes on without sound.
bool loadMediaModule();
bool mediaModuleLoaded();

// A new graph from the module; null when the module cannot be loaded.
std::unique_ptr<MediaGraph> createModuleGraph();

// The program's sound service: loads the module on its first use and hands every call to
// the module's service. Without the module a beep waits its length in silence, there are
// no outputs, and waves are not played.
class ModuleSoundService final : public platform::SoundService {
 public:
  ModuleSoundService();
  ~ModuleSoundService() override;
  void beep(int frequencyHz, int durationMs) override;
  int outputCount() override;
  void playWaveAsync(const QString& path) override;
  void prepareWave(const QString& path) override;

 private:
  platform::SoundService* service();
  std::unique_ptr<platform::SoundService> service_;
  bool tried_ = false;
};

}  // namespace audio
