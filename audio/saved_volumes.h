// SPDX-License-Identifier: GPL-3.0-or-later
// The user's own mixer volumes, taken before the alarm sets its volumes and put back when
// the alert closes, so the alarm's volumes do not stay after it.
#pragma once

#include <cstdint>
#include <optional>

namespace audio {

class Volume;

class SavedVolumes {
 public:
  // Reads the speakers and wave-out volumes and the speakers' mute now (nothing when no
  // mixer opens).
  explicit SavedVolumes(Volume& volume);
  // Puts them back.
  ~SavedVolumes();
  SavedVolumes(const SavedVolumes&) = delete;
  SavedVolumes& operator=(const SavedVolumes&) = delete;

 private:
  Volume& volume_;
  bool taken_ = false;
  std::optional<int32_t> values_[3];  // speakers, wave out, speakers' mute, as the device holds them
};

}  // namespace audio
