// SPDX-License-Identifier: GPL-3.0-or-later
// The mixer service on the ALSA simple mixer.
#include "audio/alsa_mixer.h"

#include <alsa/asoundlib.h>
#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/log.h"

namespace audio {

namespace {

// libasound is loaded on the mixer's first use rather than with the program: a clock that
// never touches the mixer does not carry it (about 0.4 MB resident).
#define ALARM_ALSA_FUNCTIONS(X)                                                                                      \
  X(snd_card_next) X(snd_lib_error_set_handler) X(snd_mixer_attach) X(snd_mixer_close) X(snd_mixer_find_selem)     \
  X(snd_mixer_handle_events) X(snd_mixer_load) X(snd_mixer_open) X(snd_mixer_selem_get_capture_switch)             \
  X(snd_mixer_selem_get_capture_volume) X(snd_mixer_selem_get_capture_volume_range) X(snd_mixer_selem_get_name)    \
  X(snd_mixer_selem_get_playback_switch) X(snd_mixer_selem_get_playback_volume)                                    \
  X(snd_mixer_selem_get_playback_volume_range) X(snd_mixer_selem_has_capture_switch)                               \
  X(snd_mixer_selem_has_capture_volume) X(snd_mixer_selem_has_playback_switch) X(snd_mixer_selem_has_playback_volume) \
  X(snd_mixer_selem_id_set_index) X(snd_mixer_selem_id_set_name) X(snd_mixer_selem_id_sizeof)                      \
  X(snd_mixer_selem_register) X(snd_mixer_selem_set_capture_switch_all) X(snd_mixer_selem_set_capture_volume_all)  \
  X(snd_mixer_selem_set_playback_switch_all) X(snd_mixer_selem_set_playback_volume_all)

struct AlsaLibrary {
#define ALARM_ALSA_POINTER(name) decltype(&::name) name = nullptr;
  ALARM_ALSA_FUNCTIONS(ALARM_ALSA_POINTER)
#undef ALARM_ALSA_POINTER
  bool ok = false;
};

const AlsaLibrary& alsa() {
  static const AlsaLibrary lib = [] {
    AlsaLibrary l;
    void* handle = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      platform::logEvent(std::string("no mixer: ") + dlerror());
      return l;
    }
    l.ok = true;
#define ALARM_ALSA_RESOLVE(name)                                          \
  l.name = reinterpret_cast<decltype(&::name)>(dlsym(handle, #name)); \
  l.ok = l.ok && l.name;
    ALARM_ALSA_FUNCTIONS(ALARM_ALSA_RESOLVE)
#undef ALARM_ALSA_RESOLVE
    if (!l.ok) platform::logEvent("no mixer: libasound lacks a function the mixer needs");
    return l;
  }();
  return lib;
}

// snd_mixer_selem_id_alloca calls this one by name.
size_t snd_mixer_selem_id_sizeof() { return alsa().snd_mixer_selem_id_sizeof(); }

// ALSA reports a missing sound server or card on standard error; the program only needs the result.
void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

// The element names that stand for each line, first found wins.
std::vector<const char*> elementNames(uint32_t componentType) {
  switch (componentType) {
    case line::kSpeakers: return {"Master", "Speaker"};
    case line::kWaveOut: return {"PCM", "Wave"};
    case line::kLineIn: return {"Line"};
    case line::kMicrophone: return {"Mic", "Capture"};
    case line::kSynthesizer: return {"Synth"};
    case line::kCompactDisc: return {"CD"};
    case line::kAuxiliary: return {"Aux"};
    default: return {};
  }
}

snd_mixer_t* openMixer(const std::string& name) {
  snd_mixer_t* m = nullptr;
  if (alsa().snd_mixer_open(&m, 0) < 0) return nullptr;
  if (alsa().snd_mixer_attach(m, name.c_str()) < 0 || alsa().snd_mixer_selem_register(m, nullptr, nullptr) < 0 ||
      alsa().snd_mixer_load(m) < 0) {
    alsa().snd_mixer_close(m);
    return nullptr;
  }
  return m;
}

}  // namespace

struct AlsaMixerBackend::Device {
  snd_mixer_t* mixer = nullptr;
  std::vector<snd_mixer_elem_t*> lines;  // line id = index + 1
  ~Device() {
    if (mixer) alsa().snd_mixer_close(mixer);
  }
};

AlsaMixerBackend::AlsaMixerBackend() {
  if (alsa().ok) alsa().snd_lib_error_set_handler(&quietAlsa);
}

AlsaMixerBackend::~AlsaMixerBackend() = default;

int AlsaMixerBackend::deviceCount() {
  names_.clear();
  if (!alsa().ok) return 0;
  if (snd_mixer_t* m = openMixer("default")) {
    alsa().snd_mixer_close(m);
    names_.push_back("default");
  }
  int card = -1;
  while (alsa().snd_card_next(&card) == 0 && card >= 0) names_.push_back("hw:" + std::to_string(card));
  return static_cast<int>(names_.size());
}

int AlsaMixerBackend::open(int device, MixerHandle* handle) {
  if (names_.empty()) deviceCount();
  if (device < 0 || device >= static_cast<int>(names_.size())) return mmr::kBadDeviceId;
  snd_mixer_t* m = openMixer(names_[static_cast<std::size_t>(device)]);
  if (!m) return mmr::kBadDeviceId;
  auto d = std::make_unique<Device>();
  d->mixer = m;
  *handle = next_++;
  open_[*handle] = std::move(d);
  return mmr::kNoError;
}

int AlsaMixerBackend::close(MixerHandle handle) {
  return open_.erase(handle) ? mmr::kNoError : mmr::kInvalidHandle;
}

AlsaMixerBackend::Device* AlsaMixerBackend::find(MixerHandle handle) {
  auto it = open_.find(handle);
  return it == open_.end() ? nullptr : it->second.get();
}

int AlsaMixerBackend::lineByComponentType(MixerHandle handle, uint32_t componentType, uint32_t* lineId) {
  Device* d = find(handle);
  if (!d) return mmr::kInvalidHandle;
  for (const char* name : elementNames(componentType)) {
    snd_mixer_selem_id_t* sid = nullptr;
    snd_mixer_selem_id_alloca(&sid);
    alsa().snd_mixer_selem_id_set_index(sid, 0);
    alsa().snd_mixer_selem_id_set_name(sid, name);
    if (snd_mixer_elem_t* e = alsa().snd_mixer_find_selem(d->mixer, sid)) {
      d->lines.push_back(e);
      *lineId = static_cast<uint32_t>(d->lines.size());
      return mmr::kNoError;
    }
  }
  return mmr::kInvalidLine;
}

namespace {

// Control ids: line id * 16 + 1 for the volume, + 2 for the mute.
constexpr uint32_t kVolumeSlot = 1;
constexpr uint32_t kMuteSlot = 2;

struct Volumes {
  bool capture = false;
  long min = 0, max = 0;
  bool normalised = false;
};

bool volumesOf(snd_mixer_elem_t* e, Volumes& v) {
  if (alsa().snd_mixer_selem_has_playback_volume(e)) {
    alsa().snd_mixer_selem_get_playback_volume_range(e, &v.min, &v.max);
  } else if (alsa().snd_mixer_selem_has_capture_volume(e)) {
    v.capture = true;
    alsa().snd_mixer_selem_get_capture_volume_range(e, &v.min, &v.max);
  } else {
    return false;
  }
  // A range that starts at 0 and has more than 100 steps is used as it is; a coarser or
  // shifted one is shown as 0..65535, so whole percent still means what it says.
  v.normalised = !(v.min == 0 && v.max > 100 && v.max <= INT32_MAX);
  return v.max > v.min;
}

bool hasSwitch(snd_mixer_elem_t* e, bool& capture) {
  if (alsa().snd_mixer_selem_has_playback_switch(e)) {
    capture = false;
    return true;
  }
  if (alsa().snd_mixer_selem_has_capture_switch(e)) {
    capture = true;
    return true;
  }
  return false;
}

}  // namespace

int AlsaMixerBackend::lineControlByType(MixerHandle handle, uint32_t lineId, uint32_t controlType,
                                        MixerControlRecord* record) {
  Device* d = find(handle);
  if (!d) return mmr::kInvalidHandle;
  if (lineId == 0 || lineId > d->lines.size()) return mmr::kInvalidLine;
  snd_mixer_elem_t* e = d->lines[lineId - 1];
  MixerControlRecord r;
  r.controlType = controlType;
  r.name = alsa().snd_mixer_selem_get_name(e);
  if (controlType == control::kVolume) {
    Volumes v;
    if (!volumesOf(e, v)) return mmr::kInvalidControl;
    r.controlId = lineId * 16 + kVolumeSlot;
    r.minimum = 0;
    r.maximum = v.normalised ? kNormalMax : static_cast<int32_t>(v.max);
    r.name += " Volume";
  } else if (controlType == control::kMute) {
    bool capture = false;
    if (!hasSwitch(e, capture)) return mmr::kInvalidControl;
    r.controlId = lineId * 16 + kMuteSlot;
    r.minimum = 0;
    r.maximum = 1;
    r.name += " Mute";
  } else {
    return mmr::kInvalidControl;
  }
  r.shortName = r.name.substr(0, 15);
  *record = r;
  return mmr::kNoError;
}

int AlsaMixerBackend::getValue(MixerHandle handle, uint32_t controlId, int32_t* value) {
  Device* d = find(handle);
  if (!d) return mmr::kInvalidHandle;
  const uint32_t lineId = controlId / 16;
  if (lineId == 0 || lineId > d->lines.size()) return mmr::kInvalidControl;
  alsa().snd_mixer_handle_events(d->mixer);
  snd_mixer_elem_t* e = d->lines[lineId - 1];
  const auto ch = SND_MIXER_SCHN_FRONT_LEFT;
  if (controlId % 16 == kVolumeSlot) {
    Volumes v;
    if (!volumesOf(e, v)) return mmr::kInvalidControl;
    long raw = 0;
    const int rc = v.capture ? alsa().snd_mixer_selem_get_capture_volume(e, ch, &raw)
                             : alsa().snd_mixer_selem_get_playback_volume(e, ch, &raw);
    if (rc < 0) return mmr::kInvalidControl;
    if (v.normalised)
      raw = std::lround(static_cast<double>(raw - v.min) * kNormalMax / static_cast<double>(v.max - v.min));
    *value = static_cast<int32_t>(raw);
    return mmr::kNoError;
  }
  if (controlId % 16 == kMuteSlot) {
    bool capture = false;
    if (!hasSwitch(e, capture)) return mmr::kInvalidControl;
    int on = 0;
    const int rc = capture ? alsa().snd_mixer_selem_get_capture_switch(e, ch, &on)
                           : alsa().snd_mixer_selem_get_playback_switch(e, ch, &on);
    if (rc < 0) return mmr::kInvalidControl;
    *value = on ? 0 : 1;  // the switch is "sound on"; the mute is its opposite
    return mmr::kNoError;
  }
  return mmr::kInvalidControl;
}

int AlsaMixerBackend::setValue(MixerHandle handle, uint32_t controlId, int32_t value) {
  Device* d = find(handle);
  if (!d) return mmr::kInvalidHandle;
  const uint32_t lineId = controlId / 16;
  if (lineId == 0 || lineId > d->lines.size()) return mmr::kInvalidControl;
  snd_mixer_elem_t* e = d->lines[lineId - 1];
  if (controlId % 16 == kVolumeSlot) {
    Volumes v;
    if (!volumesOf(e, v)) return mmr::kInvalidControl;
    long raw = value;
    if (v.normalised)
      raw = v.min + std::lround(static_cast<double>(value) * static_cast<double>(v.max - v.min) / kNormalMax);
    raw = std::clamp(raw, v.min, v.max);
    const int rc = v.capture ? alsa().snd_mixer_selem_set_capture_volume_all(e, raw)
                             : alsa().snd_mixer_selem_set_playback_volume_all(e, raw);
    return rc < 0 ? mmr::kInvalidControl : mmr::kNoError;
  }
  if (controlId % 16 == kMuteSlot) {
    bool capture = false;
    if (!hasSwitch(e, capture)) return mmr::kInvalidControl;
    const int on = value ? 0 : 1;
    const int rc = capture ? alsa().snd_mixer_selem_set_capture_switch_all(e, on)
                           : alsa().snd_mixer_selem_set_playback_switch_all(e, on);
    return rc < 0 ? mmr::kInvalidControl : mmr::kNoError;
  }
  return mmr::kInvalidControl;
}

}  // namespace audio
