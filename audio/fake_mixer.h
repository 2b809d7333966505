// SPDX-License-Identifier: GPL-3.0-or-later
// A mixer for tests: devices and controls set up by the test, and a record of every write.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "audio/mixer.h"

namespace audio {

class FakeMixerBackend final : public MixerBackend {
 public:
  struct Control {
    uint32_t componentType = 0;
    uint32_t controlType = 0;
    int32_t minimum = 0;
    int32_t maximum = 0;
    int32_t value = 0;
  };
  struct Write {
    uint32_t componentType;
    uint32_t controlType;
    int32_t value;
  };

  // A typical device: speakers and wave-out volumes 0..65535, speakers mute.
  static FakeMixerBackend typical() {
    FakeMixerBackend m;
    m.add(line::kSpeakers, control::kVolume, 0, 65535, 65535);
    m.add(line::kWaveOut, control::kVolume, 0, 65535, 65535);
    m.add(line::kSpeakers, control::kMute, 0, 1, 1);
    return m;
  }

  void add(uint32_t componentType, uint32_t controlType, int32_t minimum, int32_t maximum, int32_t value) {
    controls[nextId++] = {componentType, controlType, minimum, maximum, value};
  }
  // The value of a control, or -1 when there is none.
  int32_t value(uint32_t componentType, uint32_t controlType) const {
    for (const auto& [id, c] : controls)
      if (c.componentType == componentType && c.controlType == controlType) return c.value;
    return -1;
  }

  int deviceCount() override { return devices; }
  int open(int device, MixerHandle* handle) override {
    if (device < 0 || device >= devices || openFails) return mmr::kBadDeviceId;
    ++opens;
    isOpen = true;
    *handle = kHandle;
    return mmr::kNoError;
  }
  int close(MixerHandle handle) override {
    if (handle != kHandle || !isOpen) return mmr::kInvalidHandle;
    isOpen = false;
    return mmr::kNoError;
  }
  int lineByComponentType(MixerHandle handle, uint32_t componentType, uint32_t* lineId) override {
    if (!valid(handle)) return mmr::kInvalidHandle;
    for (const auto& [id, c] : controls)
      if (c.componentType == componentType) {
        *lineId = componentType;
        return mmr::kNoError;
      }
    return mmr::kInvalidLine;
  }
  int lineControlByType(MixerHandle handle, uint32_t lineId, uint32_t controlType, MixerControlRecord* r) override {
    if (!valid(handle)) return mmr::kInvalidHandle;
    lookups.push_back({lineId, controlType});
    for (const auto& [id, c] : controls)
      if (c.componentType == lineId && c.controlType == controlType) {
        r->controlId = id;
        r->controlType = controlType;
        r->minimum = c.minimum;
        r->maximum = c.maximum;
        r->name = std::to_string(lineId);
        return mmr::kNoError;
      }
    return mmr::kInvalidControl;
  }
  int getValue(MixerHandle handle, uint32_t controlId, int32_t* v) override {
    if (!valid(handle)) return mmr::kInvalidHandle;
    auto it = controls.find(controlId);
    if (it == controls.end()) return mmr::kInvalidControl;
    *v = it->second.value;
    return mmr::kNoError;
  }
  int setValue(MixerHandle handle, uint32_t controlId, int32_t v) override {
    if (!valid(handle)) return mmr::kInvalidHandle;
    auto it = controls.find(controlId);
    if (it == controls.end()) return mmr::kInvalidControl;
    it->second.value = v;
    writes.push_back({it->second.componentType, it->second.controlType, v});
    return mmr::kNoError;
  }

  static constexpr MixerHandle kHandle = 77;
  int devices = 1;
  bool openFails = false;
  bool isOpen = false;
  int opens = 0;
  std::map<uint32_t, Control> controls;  // by control id
  std::vector<Write> writes;
  std::vector<std::pair<uint32_t, uint32_t>> lookups;  // (component type, control type) of each control lookup

 private:
  bool valid(MixerHandle h) const { return h == kHandle && isOpen; }
  uint32_t nextId = 1;
};

}  // namespace audio
