// SPDX-License-Identifier: GPL-3.0-or-later
// The mixer service on the ALSA simple mixer: device 0 is ALSA's default mixer (PulseAudio
// or PipeWire on most desktops), the following devices are the sound cards.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "audio/mixer.h"

namespace audio {

class AlsaMixerBackend final : public MixerBackend {
 public:
  AlsaMixerBackend();
  ~AlsaMixerBackend() override;

  int deviceCount() override;
  int open(int device, MixerHandle* handle) override;
  int close(MixerHandle handle) override;
  int lineByComponentType(MixerHandle handle, uint32_t componentType, uint32_t* lineId) override;
  int lineControlByType(MixerHandle handle, uint32_t lineId, uint32_t controlType, MixerControlRecord* record) override;
  int getValue(MixerHandle handle, uint32_t controlId, int32_t* value) override;
  int setValue(MixerHandle handle, uint32_t controlId, int32_t value) override;

  // The range a volume control shows when the element's own range is too coarse for
  // whole percent (or does not start at 0).
  static constexpr int32_t kNormalMax = 65535;

  struct Device;

 private:
  Device* find(MixerHandle handle);

  std::vector<std::string> names_;
  std::map<MixerHandle, std::unique_ptr<Device>> open_;
  MixerHandle next_ = 1;
};

}  // namespace audio
