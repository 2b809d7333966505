// SPDX-License-Identifier: GPL-3.0-or-later
// The user's volumes around an alarm.
#include "audio/saved_volumes.h"

#include "audio/volume.h"
#include "platform/errors.h"
#include "platform/log.h"

namespace audio {

namespace {

constexpr int kSaved[] = {Volume::kSpeakersVolume, Volume::kWaveOutVolume, Volume::kSpeakersMute};

}  // namespace

SavedVolumes::SavedVolumes(Volume& volume) : volume_(volume) {
  platform::ignoreErrors([&] {
    if (!volume_.OpenMixer(0)) return;
    for (std::size_t i = 0; i < std::size(kSaved); ++i) values_[i] = volume_.rawValue(kSaved[i]);
    volume_.CloseMixer();
    taken_ = true;
  });
}

SavedVolumes::~SavedVolumes() {
  if (!taken_) return;
  platform::ignoreErrors([&] {
    if (!volume_.OpenMixer(0)) return;
    for (std::size_t i = 0; i < std::size(kSaved); ++i)
      if (values_[i]) volume_.setRawValue(kSaved[i], *values_[i]);
    volume_.CloseMixer();
    platform::logEvent(values_[2] ? (*values_[2] ? "the user's volumes are back, muted" : "the user's volumes are back, not muted")
                                  : "the user's volumes are back");
  });
}

}  // namespace audio
