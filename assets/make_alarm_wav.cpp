// SPDX-License-Identifier: GPL-3.0-or-later
// Writes alarm.wav: a bright three-note chime, rung three times, a little under four seconds.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <vector>

namespace {

constexpr int kRate = 44100;

// One bell-like note: a fundamental with two soft partials and an exponential fade.
void addNote(std::vector<double>& mix, double startSec, double freq, double lengthSec, double level) {
  const auto first = static_cast<std::size_t>(startSec * kRate);
  const auto count = static_cast<std::size_t>(lengthSec * kRate);
  const double attack = 0.008 * kRate;
  for (std::size_t i = 0; i < count && first + i < mix.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double env = std::min(1.0, static_cast<double>(i) / attack) * std::exp(-3.2 * t);
    const double w = 2.0 * std::numbers::pi * freq * t;
    mix[first + i] += level * env * (std::sin(w) + 0.35 * std::sin(2.0 * w) + 0.12 * std::sin(3.0 * w));
  }
}

void put16(std::ofstream& out, uint16_t v) {
  const char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
  out.write(b, 2);
}
void put32(std::ofstream& out, uint32_t v) {
  put16(out, static_cast<uint16_t>(v & 0xFFFF));
  put16(out, static_cast<uint16_t>(v >> 16));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.wav\n", argv[0]);
    return 2;
  }
  const double total = 3.8;
  std::vector<double> mix(static_cast<std::size_t>(total * kRate), 0.0);
  // E6, C6, G6: a rising, friendly call, three rounds.
  const double notes[] = {1318.5, 1046.5, 1568.0};
  for (int round = 0; round < 3; ++round)
    for (int n = 0; n < 3; ++n) addNote(mix, round * 1.2 + n * 0.16, notes[n], 1.1, 0.28);

  double peak = 0;
  for (double s : mix) peak = std::max(peak, std::fabs(s));
  const double scale = peak > 0 ? 0.85 * 32767.0 / peak : 0;

  std::ofstream out(argv[1], std::ios::binary);
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  const auto dataBytes = static_cast<uint32_t>(mix.size() * 2);
  out.write("RIFF", 4);
  put32(out, 36 + dataBytes);
  out.write("WAVEfmt ", 8);
  put32(out, 16);
  put16(out, 1);  // PCM
  put16(out, 1);  // mono
  put32(out, kRate);
  put32(out, kRate * 2);
  put16(out, 2);
  put16(out, 16);
  out.write("data", 4);
  put32(out, dataBytes);
  for (double s : mix) put16(out, static_cast<uint16_t>(static_cast<int16_t>(std::lround(s * scale))));
  return out.good() ? 0 : 1;
}
