// SPDX-License-Identifier: GPL-3.0-or-later
// The Volume module over a scripted mixer: the table and its order, the percent scaling,
// clamps and rounding, switches, device and table bounds, and a mixer that is not there.
#include <gtest/gtest.h>

#include <climits>

#include "audio/fake_mixer.h"
#include "audio/saved_volumes.h"
#include "audio/volume.h"
#include "platform/errors.h"

namespace audio {
namespace {

TEST(VolumeTable, IsFilledInTheStatedOrderAndKeptWhenAnOpenFails) {
  FakeMixerBackend mixer = FakeMixerBackend::typical();
  Volume volume(mixer);
  ASSERT_TRUE(volume.OpenMixer(0));
  using P = std::pair<uint32_t, uint32_t>;
  const std::vector<P> expected = {
      {line::kSpeakers, control::kVolume},    {line::kMicrophone, control::kVolume}, {line::kAuxiliary, control::kVolume},
      {line::kCompactDisc, control::kVolume}, {line::kSynthesizer, control::kVolume}, {line::kWaveOut, control::kVolume},
      {line::kLineIn, control::kVolume},      {line::kSpeakers, control::kMute},      {line::kMicrophone, control::kMute},
      {line::kAuxiliary, control::kMute},     {line::kCompactDisc, control::kMute},   {line::kSynthesizer, control::kMute},
      {line::kWaveOut, control::kMute},       {line::kLineIn, control::kMute}};
  // The fake looks up a control only for lines it has; compare the ones it saw.
  std::vector<P> seen;
  for (const auto& l : expected)
    if (l.first == line::kSpeakers || l.first == line::kWaveOut) seen.push_back(l);
  EXPECT_EQ(mixer.lookups, seen);
  EXPECT_EQ(volume.entry(Volume::kSpeakersVolume).maximum, 65535);
  EXPECT_EQ(volume.entry(Volume::kSpeakersMute).maximum, 1);
  EXPECT_TRUE(volume.found(Volume::kWaveOutVolume));
  EXPECT_FALSE(volume.found(1));
  volume.CloseMixer();
  EXPECT_FALSE(mixer.isOpen);

  // A device that will not open leaves the table as it was.
  mixer.openFails = true;
  EXPECT_FALSE(volume.OpenMixer(0));
  EXPECT_EQ(volume.entry(Volume::kSpeakersVolume).maximum, 65535);
}

TEST(VolumeScaling, PercentIsScaledByWholeHundredthsOfTheRangeAndReadBackToTheSamePercent) {
  FakeMixerBackend mixer = FakeMixerBackend::typical();
  Volume volume(mixer);
  ASSERT_TRUE(volume.OpenMixer(0));
  EXPECT_TRUE(volume.SetVolume(Volume::kSpeakersVolume, 50));
  EXPECT_EQ(mixer.value(line::kSpeakers, control::kVolume), 32750);
  EXPECT_EQ(volume.GetVolume(Volume::kSpeakersVolume), 50);  // 49.97...
  EXPECT_TRUE(volume.SetVolume(Volume::kWaveOutVolume, 100));
  EXPECT_EQ(mixer.value(line::kWaveOut, control::kVolume), 65500);
  EXPECT_EQ(volume.GetVolume(Volume::kWaveOutVolume), 100);
  for (int p = 0; p <= 100; ++p) {
    volume.SetVolume(Volume::kSpeakersVolume, p);
    ASSERT_EQ(volume.GetVolume(Volume::kSpeakersVolume), p) << p;
  }
}

TEST(VolumeScaling, WritesAreClampedToTheRangeWithoutOverflow) {
  FakeMixerBackend mixer;
  mixer.add(line::kSpeakers, control::kVolume, 1000, 65535, 30000);
  Volume volume(mixer);
  ASSERT_TRUE(volume.OpenMixer(0));
  volume.SetVolume(0, 150);
  EXPECT_EQ(mixer.value(line::kSpeakers, control::kVolume), 65535);
  volume.SetVolume(0, 1);  // 655 is below the minimum
  EXPECT_EQ(mixer.value(line::kSpeakers, control::kVolume), 1000);
  volume.SetVolume(0, -20);
  EXPECT_EQ(mixer.value(line::kSpeakers, control::kVolume), 1000);
  volume.SetVolume(0, INT32_MAX);  // a silly stored percentage
  EXPECT_EQ(mixer.value(line::kSpeakers, control::kVolume), 65535);
  volume.SetVolume(0, INT32_MIN);
  EXPECT_EQ(mixer.value(line::kSpeakers, control::kVolume), 1000);
}

TEST(VolumeScaling, ReadsRoundHalvesToEvenAndSmallRangesAreUnscaled) {
  FakeMixerBackend mixer;
  mixer.add(line::kSpeakers, control::kVolume, 0, 200, 1);   // 0.5 %
  mixer.add(line::kWaveOut, control::kVolume, 0, 100, 42);   // unscaled
  mixer.add(line::kLineIn, control::kVolume, 0, 31, 20);     // unscaled, clamped at 31
  Volume volume(mixer);
  ASSERT_TRUE(volume.OpenMixer(0));
  EXPECT_EQ(volume.GetVolume(0), 0);
  mixer.controls[1].value = 3;  // 1.5 %
  EXPECT_EQ(volume.GetVolume(0), 2);
  mixer.controls[1].value = 5;  // 2.5 %
  EXPECT_EQ(volume.GetVolume(0), 2);
  volume.SetVolume(0, 50);
  EXPECT_EQ(mixer.value(line::kSpeakers, control::kVolume), 100);  // 50 x (200 \ 100)

  // A line whose range does not start at 0: the minimum is taken off the percentage itself.
  mixer.add(line::kSynthesizer, control::kVolume, 10, 1000, 500);
  Volume withMinimum(mixer);
  ASSERT_TRUE(withMinimum.OpenMixer(0));
  EXPECT_EQ(withMinimum.GetVolume(3), 40);  // the synthesizer: 500 x 100 / 1000 - 10

  EXPECT_EQ(volume.GetVolume(Volume::kWaveOutVolume), 42);
  volume.SetVolume(Volume::kWaveOutVolume, 77);
  EXPECT_EQ(mixer.value(line::kWaveOut, control::kVolume), 77);
  EXPECT_EQ(volume.GetVolume(1), 20);
  volume.SetVolume(1, 50);
  EXPECT_EQ(mixer.value(line::kLineIn, control::kVolume), 31);
}

TEST(VolumeSwitch, TrueBecomesOneAndTheSpeakerMuteSwitchesOff) {
  FakeMixerBackend mixer = FakeMixerBackend::typical();
  Volume volume(mixer);
  ASSERT_TRUE(volume.OpenMixer(0));
  volume.SetSpeakerMute(0);
  EXPECT_EQ(mixer.value(line::kSpeakers, control::kMute), 0);
  EXPECT_TRUE(volume.SetSwitch(Volume::kSpeakersMute, -1));
  EXPECT_EQ(mixer.value(line::kSpeakers, control::kMute), 1);
  volume.SetSwitch(Volume::kSpeakersMute, 5);  // clamped to the switch's range
  EXPECT_EQ(mixer.value(line::kSpeakers, control::kMute), 1);
  try {
    volume.SetSwitch(Volume::kSpeakersMute, INT16_MIN);
    FAIL() << "the absolute value of -32768 does not fit";
  } catch (const platform::RuntimeError& e) {
    EXPECT_EQ(e.number(), platform::err::kOverflow);
  }
}

TEST(VolumeBounds, DeviceIndexAndTableIndexAreChecked) {
  FakeMixerBackend mixer = FakeMixerBackend::typical();
  Volume volume(mixer);
  EXPECT_FALSE(volume.OpenMixer(-1));
  EXPECT_FALSE(volume.OpenMixer(1));
  EXPECT_EQ(mixer.opens, 0);
  mixer.devices = 2;
  EXPECT_TRUE(volume.OpenMixer(1));

  for (int bad : {-1, 21}) {
    try {
      volume.SetVolume(bad, 50);
      FAIL() << bad;
    } catch (const platform::RuntimeError& e) {
      EXPECT_EQ(e.number(), platform::err::kSubscriptOutOfRange);
    }
    EXPECT_THROW(volume.GetVolume(bad), platform::RuntimeError);
  }
  // Entries 14..20 exist but hold nothing; they are left alone.
  EXPECT_FALSE(volume.SetVolume(20, 50));
  EXPECT_TRUE(mixer.writes.empty());
}

TEST(VolumeWithoutMixer, NothingIsSetAndReadsGiveZero) {
  FakeMixerBackend mixer = FakeMixerBackend::typical();
  mixer.devices = 0;
  Volume volume(mixer);
  EXPECT_FALSE(volume.OpenMixer(0));
  EXPECT_FALSE(volume.SetVolume(Volume::kSpeakersVolume, 80));
  volume.SetSpeakerMute(0);
  EXPECT_EQ(volume.GetVolume(Volume::kSpeakersVolume), 0);
  EXPECT_EQ(volume.GetVolume(Volume::kWaveOutVolume), 0);
  volume.CloseMixer();
  EXPECT_TRUE(mixer.writes.empty());
  applyAlarmVolume(volume, true, 100, 100);
  EXPECT_TRUE(mixer.writes.empty());
}

TEST(VolumeWithoutMixer, ALineTheDeviceLacksIsNotWrittenAndReadsFull) {
  // A PulseAudio desktop has a master volume but no wave-out line.
  FakeMixerBackend mixer;
  mixer.add(line::kSpeakers, control::kVolume, 0, 65536, 65536);
  Volume volume(mixer);
  ASSERT_TRUE(volume.OpenMixer(0));
  EXPECT_FALSE(volume.SetVolume(Volume::kWaveOutVolume, 30));
  EXPECT_FALSE(volume.SetSwitch(Volume::kSpeakersMute, 0));
  EXPECT_TRUE(mixer.writes.empty());
  EXPECT_EQ(volume.GetVolume(Volume::kWaveOutVolume), 100);
  EXPECT_EQ(volume.GetVolume(Volume::kSpeakersVolume), 100);
}

TEST(AlarmVolume, UnmutesFirstThenSetsBothVolumesAndCloses) {
  FakeMixerBackend mixer = FakeMixerBackend::typical();
  Volume volume(mixer);
  applyAlarmVolume(volume, true, 40, 60);
  ASSERT_EQ(mixer.writes.size(), 3u);
  EXPECT_EQ(mixer.writes[0].controlType, control::kMute);
  EXPECT_EQ(mixer.writes[0].value, 0);
  EXPECT_EQ(mixer.writes[1].componentType, line::kSpeakers);
  EXPECT_EQ(mixer.writes[1].value, 40 * 655);
  EXPECT_EQ(mixer.writes[2].componentType, line::kWaveOut);
  EXPECT_EQ(mixer.writes[2].value, 60 * 655);
  EXPECT_FALSE(mixer.isOpen);

  mixer.writes.clear();
  applyAlarmVolume(volume, false, 40, 60);
  ASSERT_EQ(mixer.writes.size(), 2u);
  EXPECT_EQ(mixer.value(line::kSpeakers, control::kMute), 0);

  // Held from the warm-up, the user's volumes, the alarm's and their return share one open.
  mixer.opens = 0;
  {
    const HeldMixer held(volume);
    const SavedVolumes users(volume);
    applyAlarmVolume(volume, false, 70, 80);
    EXPECT_TRUE(mixer.isOpen);
  }
  EXPECT_EQ(mixer.opens, 1);
  EXPECT_FALSE(mixer.isOpen);
  EXPECT_EQ(mixer.value(line::kSpeakers, control::kVolume), 40 * 655);  // the user's again
}

TEST(AlarmVolume, TheInstalledModuleIsTheOneTheProgramUses) {
  FakeMixerBackend mixer = FakeMixerBackend::typical();
  Volume volume(mixer);
  setVolumeModule(&volume);
  EXPECT_EQ(&volumeModule(), &volume);
  setVolumeModule(nullptr);
  EXPECT_NE(&volumeModule(), &volume);
}

}  // namespace
}  // namespace audio
