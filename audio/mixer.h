// SPDX-License-Identifier: GPL-3.0-or-later
// The mixer service the Volume module works on: devices, lines found by component type,
// one control per line and type, and 32-bit control values. Results are 0 on success.
#pragma once

#include <cstdint>
#include <string>

namespace audio {

// Line component types.
namespace line {
inline constexpr uint32_t kSpeakers = 0x4;
inline constexpr uint32_t kLineIn = 0x1002;
inline constexpr uint32_t kMicrophone = 0x1003;
inline constexpr uint32_t kSynthesizer = 0x1004;
inline constexpr uint32_t kCompactDisc = 0x1005;
inline constexpr uint32_t kWaveOut = 0x1008;
inline constexpr uint32_t kAuxiliary = 0x1009;
}  // namespace line

// Control types.
namespace control {
inline constexpr uint32_t kVolume = 0x50030001;
inline constexpr uint32_t kMute = 0x20010002;
}  // namespace control

// Result codes.
namespace mmr {
inline constexpr int kNoError = 0;
inline constexpr int kBadDeviceId = 2;
inline constexpr int kInvalidHandle = 5;
inline constexpr int kInvalidLine = 1024;
inline constexpr int kInvalidControl = 1025;
}  // namespace mmr

// One control of one line, as the mixer describes it.
struct MixerControlRecord {
  uint32_t controlId = 0;
  uint32_t controlType = 0;
  uint32_t controlFlags = 0;
  uint32_t items = 0;
  std::string shortName;
  std::string name;
  int32_t minimum = 0;
  int32_t maximum = 0;
};

using MixerHandle = uintptr_t;  // 0 is no handle

class MixerBackend {
 public:
  virtual ~MixerBackend() = default;
  virtual int deviceCount() = 0;
  virtual int open(int device, MixerHandle* handle) = 0;
  virtual int close(MixerHandle handle) = 0;
  // The line of a component type on the open device.
  virtual int lineByComponentType(MixerHandle handle, uint32_t componentType, uint32_t* lineId) = 0;
  // The control of a type on a line.
  virtual int lineControlByType(MixerHandle handle, uint32_t lineId, uint32_t controlType,
                                MixerControlRecord* record) = 0;
  virtual int getValue(MixerHandle handle, uint32_t controlId, int32_t* value) = 0;
  virtual int setValue(MixerHandle handle, uint32_t controlId, int32_t value) = 0;
};

}  // namespace audio
