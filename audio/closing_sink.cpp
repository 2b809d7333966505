// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/closing_sink.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <algorithm>
#include <cstring>
#include <utility>

namespace audio {

SamplesThenSilence::SamplesThenSilence(QByteArray samples, char silence)
    : samples_(std::move(samples)), silence_(silence) {
  open(QIODevice::ReadOnly);
}

qint64 SamplesThenSilence::bytesAvailable() const {
  // Always more: the silence does not end.
  return std::max<qint64>(samples_.size() - at_, 0) + (1 << 16) + QIODevice::bytesAvailable();
}

qint64 SamplesThenSilence::readData(char* data, qint64 maxSize) {
  const qint64 fromSamples = std::clamp<qint64>(samples_.size() - at_, 0, maxSize);
  if (fromSamples > 0) std::memcpy(data, samples_.constData() + at_, static_cast<std::size_t>(fromSamples));
  at_ += fromSamples;
  std::memset(data + fromSamples, silence_, static_cast<std::size_t>(maxSize - fromSamples));
  return maxSize;
}

ClosingSink::ClosingSink(const QAudioDevice& device, const QAudioFormat& format, QByteArray samples, qreal volume)
    : lengthUs_(format.bytesPerFrame() > 0 && format.sampleRate() > 0
                    ? samples.size() / format.bytesPerFrame() * 1'000'000 / format.sampleRate()
                    : 0) {
  // Unsigned 8-bit samples are silent at their middle value.
  const char silence = format.sampleFormat() == QAudioFormat::UInt8 ? static_cast<char>(0x80) : '\0';
  source_ = std::make_unique<SamplesThenSilence>(std::move(samples), silence);
  sink_ = std::make_unique<QAudioSink>(device, format);
  watch_.setTimerType(Qt::PreciseTimer);
  connect(&watch_, &QTimer::timeout, this, &ClosingSink::check);
  sink_->setVolume(volume);
  started_.start();
  sink_->start(source_.get());
  watch_.start(20);
}

ClosingSink::~ClosingSink() { close(); }

qint64 ClosingSink::playedUs() const { return sink_->processedUSecs(); }

bool ClosingSink::closed() const { return closed_ || sink_->state() == QAudio::StoppedState; }

void ClosingSink::close() {
  watch_.stop();
  if (closed_) return;
  closed_ = true;
  sink_->stop();  // ends the output without a drain, so nothing calls it back
}

void ClosingSink::setVolume(qreal volume) { sink_->setVolume(volume); }

void ClosingSink::check() {
  if (closed() || playedUs() >= lengthUs_ + kTailUs || started_.nsecsElapsed() / 1000 >= lengthUs_ + kStalledUs) close();
}

}  // namespace audio
