// SPDX-License-Identifier: GPL-3.0-or-later
// A wave file's samples read into memory, so that an output can start playing them at once.
#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QString>
#include <optional>

namespace audio {

struct WaveSamples {
  QAudioFormat format;
  QByteArray data;  // whole frames only
};

// The samples of a RIFF wave file in a format an output takes as it is: integer PCM of 8, 16
// or 32 bits, or 32-bit float, with any rate and channel count. Nothing for any other file
// (compressed, 24-bit, damaged); such a file is left to the media player.
std::optional<WaveSamples> readWave(const QByteArray& file);
std::optional<WaveSamples> readWaveFile(const QString& path);

}  // namespace audio
