// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a wave file's samples.
#include "audio/wave_file.h"

#include <QFile>
#include <cstdint>
#include <cstring>

namespace audio {

namespace {

constexpr uint16_t kPcm = 1;
constexpr uint16_t kFloat = 3;
constexpr uint16_t kExtensible = 0xFFFE;
constexpr qint64 kLargest = 256LL * 1024 * 1024;  // an alarm sound is never larger

uint32_t le32(const char* p) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(p[i]);
  return v;
}

uint16_t le16(const char* p) { return static_cast<uint16_t>(static_cast<uint8_t>(p[0]) | static_cast<uint8_t>(p[1]) << 8); }

}  // namespace

std::optional<WaveSamples> readWave(const QByteArray& file) {
  const char* p = file.constData();
  const qsizetype size = file.size();
  if (size < 12 || std::memcmp(p, "RIFF", 4) != 0 || std::memcmp(p + 8, "WAVE", 4) != 0) return std::nullopt;
  std::optional<QAudioFormat> format;
  qsizetype at = 12;
  while (at + 8 <= size) {
    const char* chunk = p + at;
    const qsizetype body = at + 8;
    const qsizetype length = std::min<qsizetype>(le32(chunk + 4), size - body);  // a cut file keeps what it has
    if (std::memcmp(chunk, "fmt ", 4) == 0 && length >= 16) {
      uint16_t tag = le16(p + body);
      const uint16_t channels = le16(p + body + 2);
      const uint32_t rate = le32(p + body + 4);
      const uint16_t bits = le16(p + body + 14);
      if (tag == kExtensible && length >= 26) tag = le16(p + body + 24);  // the sub-format's first two bytes
      QAudioFormat f;
      if (tag == kPcm && bits == 8) f.setSampleFormat(QAudioFormat::UInt8);
      else if (tag == kPcm && bits == 16) f.setSampleFormat(QAudioFormat::Int16);
      else if (tag == kPcm && bits == 32) f.setSampleFormat(QAudioFormat::Int32);
      else if (tag == kFloat && bits == 32) f.setSampleFormat(QAudioFormat::Float);
      else return std::nullopt;
      if (channels < 1 || channels > 8 || rate < 1000 || rate > 384000) return std::nullopt;
      f.setChannelCount(channels);
      f.setSampleRate(static_cast<int>(rate));
      format = f;
    } else if (std::memcmp(chunk, "data", 4) == 0 && format) {
      const qsizetype frame = format->bytesPerFrame();
      return WaveSamples{*format, file.mid(body, length - length % frame)};
    }
    at = body + length + (length & 1);  // chunks are padded to an even length
  }
  return std::nullopt;
}

std::optional<WaveSamples> readWaveFile(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly) || f.size() > kLargest) return std::nullopt;
  return readWave(f.readAll());
}

}  // namespace audio
