// SPDX-License-Identifier: GPL-3.0-or-later
// PlaySound through the sound service.
#include "audio/play_sound.h"

#include <QString>

#include "platform/services.h"

namespace audio {

void PlaySound(const QString& file) {
  auto& sound = *platform::services().sound;
  if (sound.outputCount() < 1)
    sound.beep(1500, 500);
  else
    sound.playWaveAsync(file);
}

}  // namespace audio
