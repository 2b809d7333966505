// SPDX-License-Identifier: GPL-3.0-or-later
// The Volume module: the alarm's own mixer volumes (speakers, wave out) and the speakers'
// mute, read and written in whole percent through the mixer service.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "audio/mixer.h"

namespace audio {

class Volume {
 public:
  static constexpr int kTableSize = 21;
  // The table entries the program uses.
  static constexpr int kSpeakersVolume = 0;
  static constexpr int kWaveOutVolume = 5;
  static constexpr int kSpeakersMute = 7;

  explicit Volume(MixerBackend& backend) : backend_(backend) {}
  ~Volume() { release(); }
  Volume(const Volume&) = delete;
  Volume& operator=(const Volume&) = delete;

  // Opens a mixer device and fills the table from its lines; false when the device
  // does not exist or cannot be opened.
  bool OpenMixer(int device);
  void CloseMixer();

  // Keeps device 0 open until release(): the opens and closes in between use it as it is,
  // so an alarm's second does not wait for a connection to the sound system.
  void hold();
  void release();

  bool GetMixerControl(MixerHandle hmixer, uint32_t componentType, uint32_t controlType, MixerControlRecord& record);
  // Writes a percentage, scaled to the control's range and clamped to it.
  bool SetControlValue(MixerHandle hmixer, const MixerControlRecord& record, int32_t value);
  // Reads the value as a percentage (halves to even); a failed read gives 0.
  int32_t GetControlValue(MixerHandle hmixer, const MixerControlRecord& record);

  // Table entries 0..20; any other index raises error 9.
  bool SetVolume(int index, int32_t percent);
  int32_t GetVolume(int index);
  bool SetSwitch(int index, int16_t value);
  void SetSpeakerMute(int16_t value);

  // An entry's control value as the device holds it, unscaled (nothing when the open device
  // lacks it or the read fails), and written back so: what a user had is put back exactly.
  std::optional<int32_t> rawValue(int index);
  bool setRawValue(int index, int32_t raw);

  const MixerControlRecord& entry(int index) const;
  // True when the open device has the entry's line and control.
  bool found(int index) const;
  MixerHandle handle() const { return hmixer_; }

 private:
  static void checkIndex(int index);

  MixerBackend& backend_;
  MixerHandle hmixer_ = 0;
  bool held_ = false;
  std::array<MixerControlRecord, kTableSize> mixerControls{};
  std::array<bool, kTableSize> found_{};
};

// The alarm-volume sequence: open device 0, switch the speakers' mute off when asked, set
// the speakers and wave-out volumes, close.
void applyAlarmVolume(Volume& volume, bool unmute, int32_t speakerPercent, int32_t wavePercent);

// Holds the mixer open for as long as it lives (it may already be held), then lets it go.
class HeldMixer {
 public:
  explicit HeldMixer(Volume& volume) : volume_(volume) { volume_.hold(); }
  ~HeldMixer() { volume_.release(); }
  HeldMixer(const HeldMixer&) = delete;
  HeldMixer& operator=(const HeldMixer&) = delete;

 private:
  Volume& volume_;
};

// The program's Volume module on the system mixer (ALSA). Tests install their own.
Volume& volumeModule();
void setVolumeModule(Volume* volume);  // nullptr goes back to the system mixer

}  // namespace audio
