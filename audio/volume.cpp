// SPDX-License-Identifier: GPL-3.0-or-later
// The Volume module.
#include "audio/volume.h"

#include <algorithm>

#include "audio/alsa_mixer.h"
#include "platform/convert.h"
#include "platform/errors.h"
#include "platform/log.h"

namespace audio {

using platform::RuntimeError;

namespace {

// The table and the order it is filled in.
struct TableEntry {
  int index;
  uint32_t componentType;
  uint32_t controlType;
};
constexpr TableEntry kFillOrder[] = {
    {0, line::kSpeakers, control::kVolume},     {2, line::kMicrophone, control::kVolume},
    {6, line::kAuxiliary, control::kVolume},    {4, line::kCompactDisc, control::kVolume},
    {3, line::kSynthesizer, control::kVolume},  {5, line::kWaveOut, control::kVolume},
    {1, line::kLineIn, control::kVolume},       {7, line::kSpeakers, control::kMute},
    {9, line::kMicrophone, control::kMute},     {13, line::kAuxiliary, control::kMute},
    {11, line::kCompactDisc, control::kMute},   {10, line::kSynthesizer, control::kMute},
    {12, line::kWaveOut, control::kMute},       {8, line::kLineIn, control::kMute},
};

Volume* g_installed = nullptr;

}  // namespace

void Volume::checkIndex(int index) {
  if (index < 0 || index >= kTableSize) throw RuntimeError(platform::err::kSubscriptOutOfRange);
}

bool Volume::OpenMixer(int device) {
  if (held_) {
    if (device == 0) return true;
    release();
  }
  if (device < 0 || device > backend_.deviceCount() - 1) return false;
  CloseMixer();  // one device at a time
  MixerHandle h = 0;
  if (backend_.open(device, &h) != mmr::kNoError) return false;
  hmixer_ = h;
  found_.fill(false);
  for (const auto& e : kFillOrder) {
    MixerControlRecord record;
    if (GetMixerControl(hmixer_, e.componentType, e.controlType, record)) {
      mixerControls[static_cast<std::size_t>(e.index)] = record;
      found_[static_cast<std::size_t>(e.index)] = true;
    }
  }
  return true;
}

void Volume::CloseMixer() {
  if (held_) return;
  if (hmixer_ != 0) backend_.close(hmixer_);
  hmixer_ = 0;
}

void Volume::hold() {
  if (!held_) held_ = OpenMixer(0);
}

void Volume::release() {
  held_ = false;
  CloseMixer();
}

bool Volume::GetMixerControl(MixerHandle hmixer, uint32_t componentType, uint32_t controlType,
                             MixerControlRecord& record) {
  uint32_t lineId = 0;
  if (backend_.lineByComponentType(hmixer, componentType, &lineId) != mmr::kNoError) return false;
  MixerControlRecord found;
  if (backend_.lineControlByType(hmixer, lineId, controlType, &found) != mmr::kNoError) return false;
  record = found;
  return true;
}

bool Volume::SetControlValue(MixerHandle hmixer, const MixerControlRecord& record, int32_t value) {
  // Percent scaled by whole hundredths of the range, then held inside the range. Worked in
  // 64 bits, so an absurd stored percentage clamps instead of overflowing.
  int64_t v = value;
  if (record.maximum > 100) v *= record.maximum / 100;
  if (v > record.maximum) v = record.maximum;
  if (v < record.minimum) v = record.minimum;
  return backend_.setValue(hmixer, record.controlId, static_cast<int32_t>(v)) == mmr::kNoError;
}

int32_t Volume::GetControlValue(MixerHandle hmixer, const MixerControlRecord& record) {
  int32_t raw = 0;
  backend_.getValue(hmixer, record.controlId, &raw);  // a failed read leaves 0
  if (record.maximum <= 100) return raw;
  const double percent = static_cast<double>(raw) * 100.0 / record.maximum - record.minimum;
  return static_cast<int32_t>(platform::roundHalfEven(percent));
}

bool Volume::SetVolume(int index, int32_t percent) {
  checkIndex(index);
  const auto i = static_cast<std::size_t>(index);
  // A line the open device does not have is left alone.
  if (hmixer_ != 0 && !found_[i]) return false;
  return SetControlValue(hmixer_, mixerControls[i], percent);
}

std::optional<int32_t> Volume::rawValue(int index) {
  checkIndex(index);
  const auto i = static_cast<std::size_t>(index);
  int32_t raw = 0;
  if (hmixer_ == 0 || !found_[i] || backend_.getValue(hmixer_, mixerControls[i].controlId, &raw) != mmr::kNoError)
    return std::nullopt;
  return raw;
}

bool Volume::setRawValue(int index, int32_t raw) {
  checkIndex(index);
  const auto i = static_cast<std::size_t>(index);
  return hmixer_ != 0 && found_[i] && backend_.setValue(hmixer_, mixerControls[i].controlId, raw) == mmr::kNoError;
}

int32_t Volume::GetVolume(int index) {
  checkIndex(index);
  const auto i = static_cast<std::size_t>(index);
  // A line the open device does not have does not attenuate anything: it reads as full, so
  // capturing the volumes never stores a silent level for a line that is not there.
  if (hmixer_ != 0 && !found_[i]) return 100;
  return GetControlValue(hmixer_, mixerControls[i]);
}

bool Volume::SetSwitch(int index, int16_t value) {
  checkIndex(index);
  if (value == INT16_MIN) throw RuntimeError(platform::err::kOverflow);
  const int32_t on = value < 0 ? -value : value;  // True (-1) becomes 1
  const auto i = static_cast<std::size_t>(index);
  if (hmixer_ != 0 && !found_[i]) return false;
  return SetControlValue(hmixer_, mixerControls[i], on);
}

void Volume::SetSpeakerMute(int16_t value) { SetSwitch(kSpeakersMute, value); }

const MixerControlRecord& Volume::entry(int index) const {
  checkIndex(index);
  return mixerControls[static_cast<std::size_t>(index)];
}

bool Volume::found(int index) const {
  checkIndex(index);
  return found_[static_cast<std::size_t>(index)];
}

void applyAlarmVolume(Volume& volume, bool unmute, int32_t speakerPercent, int32_t wavePercent) {
  if (!volume.OpenMixer(0)) {
    platform::logEvent("no mixer: the alarm volumes are not set");
    return;
  }
  if (unmute) volume.SetSpeakerMute(0);
  volume.SetVolume(Volume::kSpeakersVolume, speakerPercent);
  volume.SetVolume(Volume::kWaveOutVolume, wavePercent);
  volume.CloseMixer();
  platform::logEvent("alarm volume: speakers " + std::to_string(speakerPercent) + " %, wave " +
                     std::to_string(wavePercent) + " %" + (unmute ? ", unmuted" : ""));
}

Volume& volumeModule() {
  if (g_installed) return *g_installed;
  static AlsaMixerBackend alsa;
  static Volume system(alsa);
  return system;
}

void setVolumeModule(Volume* volume) { g_installed = volume; }

}  // namespace audio
