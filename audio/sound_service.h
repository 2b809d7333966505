// SPDX-License-Identifier: GPL-3.0-or-later
// The real sound service: a generated tone for the beep, wave files played in the
// background, and the count of audio outputs.
#pragma once

#include <QByteArray>
#include <QObject>
#include <memory>
#include <optional>

#include "audio/wave_file.h"
#include "platform/services.h"

class QAudioOutput;
class QMediaPlayer;

namespace audio {

class ClosingSink;

// 16-bit signed mono samples of a sine tone, with short fades so it starts and ends
// without a click.
QByteArray toneSamples(int frequencyHz, int durationMs, int sampleRate);

class AudioSoundService final : public QObject, public platform::SoundService {
  Q_OBJECT
 public:
  explicit AudioSoundService(QObject* parent = nullptr);
  ~AudioSoundService() override;

  // Plays the tone and returns when it has ended. The window keeps painting and its
  // timers run meanwhile; with no audio output it simply waits the tone's length.
  void beep(int frequencyHz, int durationMs) override;
  int outputCount() override;
  // Replaces whatever wave is playing; a missing file only stops it.
  void playWaveAsync(const QString& path) override;
  // A prepared wave waits read into memory until it is played or another is prepared.
  void prepareWave(const QString& path) override;
  void setWaveVolume(float volume) override;
  bool wavePlaying() override;

  static constexpr int kSampleRate = 44100;

 private:
  // The last tone stays after beep() returns, so the output can play out what it holds; each
  // output closes itself once its piece has played.
  std::unique_ptr<ClosingSink> toneSink_;
  std::unique_ptr<ClosingSink> waveSink_;
  std::unique_ptr<QAudioOutput> waveOutput_;
  std::unique_ptr<QMediaPlayer> wave_;
  struct PreparedWave {
    QString path;
    WaveSamples samples;
  };
  std::optional<PreparedWave> prepared_;
  float waveVolume_ = 1.0f;

  void stopWave();
};

}  // namespace audio
