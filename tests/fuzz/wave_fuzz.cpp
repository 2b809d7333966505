// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm's wave file, which anyone may replace: the samples read are whole frames taken
// from the file itself, in a format an output takes, and a plain file written from them
// reads back the same.
//   input: the file
#include <QByteArray>
#include <algorithm>
#include <cstdint>

#include "audio/wave_file.h"
#include "fuzz_input.h"

namespace {

QByteArray le(uint32_t v, int bytes) {
  QByteArray out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(v >> (8 * i));
  return out;
}

// The plainest file of these samples: a format chunk and a data chunk.
QByteArray plainFile(const audio::WaveSamples& w) {
  const QAudioFormat& f = w.format;
  const uint16_t tag = f.sampleFormat() == QAudioFormat::Float ? 3 : 1;
  const auto frame = static_cast<uint32_t>(f.bytesPerFrame());
  QByteArray fmt = le(tag, 2) + le(static_cast<uint32_t>(f.channelCount()), 2) + le(static_cast<uint32_t>(f.sampleRate()), 4) +
                   le(static_cast<uint32_t>(f.sampleRate()) * frame, 4) + le(frame, 2) +
                   le(static_cast<uint32_t>(f.bytesPerSample() * 8), 2);
  QByteArray body = "WAVE" + QByteArray("fmt ") + le(16, 4) + fmt + QByteArray("data") +
                    le(static_cast<uint32_t>(w.data.size()), 4) + w.data;
  return "RIFF" + le(static_cast<uint32_t>(body.size()), 4) + body;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const QByteArray file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const auto wave = audio::readWave(file);
  if (!wave) return 0;
  const QAudioFormat& f = wave->format;
  fuzz::require(f.isValid() && f.channelCount() >= 1 && f.channelCount() <= 8 && f.sampleRate() >= 1000,
                "a format an output can be asked for");
  fuzz::require(wave->data.size() % f.bytesPerFrame() == 0, "whole frames only");
  fuzz::require(std::search(file.begin(), file.end(), wave->data.begin(), wave->data.end()) != file.end(),
                "the samples come from the file");
  const auto again = audio::readWave(plainFile(*wave));
  fuzz::require(again && again->format == f && again->data == wave->data, "a plain file of the samples reads back the same");
  return 0;
}
