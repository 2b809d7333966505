// SPDX-License-Identifier: GPL-3.0-or-later
// The real sound service on Qt Multimedia.
#include "audio/sound_service.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QAudioOutput>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "audio/closing_sink.h"
#include "audio/wave_file.h"
#include "platform/log.h"

namespace audio {

QByteArray toneSamples(int frequencyHz, int durationMs, int sampleRate) {
  const int count = durationMs > 0 ? static_cast<int>(static_cast<qint64>(sampleRate) * durationMs / 1000) : 0;
  const int fade = std::min(count / 2, sampleRate / 200);  // 5 ms
  QByteArray out(count * 2, '\0');
  auto* samples = reinterpret_cast<qint16*>(out.data());
  const double step = 2.0 * std::numbers::pi * frequencyHz / sampleRate;
  for (int i = 0; i < count; ++i) {
    double gain = 0.6;
    if (i < fade) gain *= static_cast<double>(i) / fade;
    if (count - 1 - i < fade) gain *= static_cast<double>(count - 1 - i) / fade;
    samples[i] = static_cast<qint16>(std::lround(gain * 32767.0 * std::sin(step * i)));
  }
  return out;
}

AudioSoundService::AudioSoundService(QObject* parent) : QObject(parent) {}

AudioSoundService::~AudioSoundService() {
  toneSink_.reset();
  stopWave();
}

void AudioSoundService::beep(int frequencyHz, int durationMs) {
  if (durationMs < 0) durationMs = 0;
  toneSink_.reset();

  // Returns when the tone has ended, as the desktop's beep the program was designed for
  // does: a short loop of its own (no user input) runs meanwhile, at most the tone's length
  // and a second and a half. The tone has ended when the output has played its whole
  // length: the output's own clock says so, however late a busy sound server took the
  // samples in. Without an output, its length in silence; and a stalled output is not
  // waited for much longer than the tone.
  QEventLoop loop;
  QTimer length;
  length.setSingleShot(true);
  length.setTimerType(Qt::PreciseTimer);  // a coarse timer may end the tone early
  QTimer played;
  played.setTimerType(Qt::PreciseTimer);
  QTimer limit;
  limit.setSingleShot(true);
  connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
  connect(&length, &QTimer::timeout, &loop, &QEventLoop::quit);

  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  QAudioFormat format;
  format.setSampleRate(kSampleRate);
  format.setChannelCount(1);
  format.setSampleFormat(QAudioFormat::Int16);
  if (!device.isNull() && device.isFormatSupported(format) && frequencyHz > 0) {
    toneSink_ = std::make_unique<ClosingSink>(device, format, toneSamples(frequencyHz, durationMs, kSampleRate));
    connect(&played, &QTimer::timeout, &loop, [this, &loop] {
      if (toneSink_->playedUs() >= toneSink_->lengthUs() || toneSink_->closed()) loop.quit();
    });
    played.start(5);
  } else {
    platform::logEvent("beep: no audio output, waiting the tone's length in silence");
    length.start(durationMs);
  }
  limit.start(durationMs + 1500);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}

int AudioSoundService::outputCount() { return static_cast<int>(QMediaDevices::audioOutputs().size()); }

void AudioSoundService::prepareWave(const QString& path) {
  prepared_.reset();
  if (auto samples = readWaveFile(path)) prepared_ = PreparedWave{QFileInfo(path).absoluteFilePath(), std::move(*samples)};
}

void AudioSoundService::setWaveVolume(float volume) {
  waveVolume_ = std::clamp(volume, 0.0f, 1.0f);
  if (waveSink_) waveSink_->setVolume(waveVolume_);
  if (waveOutput_) waveOutput_->setVolume(waveVolume_);
}

bool AudioSoundService::wavePlaying() {
  return (waveSink_ && !waveSink_->closed()) || (wave_ && wave_->playbackState() == QMediaPlayer::PlayingState);
}

void AudioSoundService::stopWave() {
  waveSink_.reset();
  wave_.reset();
  waveOutput_.reset();
}

void AudioSoundService::playWaveAsync(const QString& path) {
  stopWave();
  const QFileInfo info(path);
  std::optional<PreparedWave> prepared = std::exchange(prepared_, std::nullopt);
  if (!info.isFile() || !info.isReadable()) {
    platform::logEvent(("sound: no such wave file: " + path).toStdString());
    return;
  }
  std::optional<WaveSamples> samples;
  if (prepared && prepared->path == info.absoluteFilePath())
    samples = std::move(prepared->samples);
  else
    samples = readWaveFile(path);
  // Samples in memory start on the output at once; the media player takes any other file.
  // Each sound gets an output of its own: one that has played a piece to its end does not
  // always sound again (a snoozed alarm would ring silently).
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  if (samples && !device.isNull() && device.isFormatSupported(samples->format)) {
    waveSink_ = std::make_unique<ClosingSink>(device, samples->format, std::move(samples->data), waveVolume_);
  } else {
    waveOutput_ = std::make_unique<QAudioOutput>();
    wave_ = std::make_unique<QMediaPlayer>();
    waveOutput_->setVolume(waveVolume_);
    wave_->setAudioOutput(waveOutput_.get());
    wave_->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    wave_->play();  // starts once the file has loaded
  }
  platform::logEvent(("sound: playing " + path).toStdString());
}

}  // namespace audio
