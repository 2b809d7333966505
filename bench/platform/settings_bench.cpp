// SPDX-License-Identifier: GPL-3.0-or-later
// A start and an end of the program on a large settings file: the twenty reads of a start,
// and the values written when it ends, on a file of tens of thousands of values.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/store.h"

namespace {

namespace fs = std::filesystem;
constexpr const char* kKey = "Software\\Orvanta\\Alarm";

// A configuration folder whose settings file holds `values` values besides the program's own.
struct LargeSettings {
  explicit LargeSettings(int64_t values) {
    fs::create_directories(home / "Orvanta");
    std::ofstream out(home / "Orvanta" / "Alarm.conf");
    out << "[General]\nHH=\"07\"\nNN=\"00\"\nSS=\"00\"\n";
    for (int64_t i = 0; i < values; ++i) out << "Padding" << i << "=\"" << std::string(40, 'x') << "\"\n";
  }
  ~LargeSettings() { fs::remove_all(home); }
  // Another process's write, as at each new start: the file is new to this one.
  void touch() const { ::utimensat(AT_FDCWD, (home / "Orvanta" / "Alarm.conf").c_str(), nullptr, 0); }
  const fs::path home = fs::temp_directory_path() / ("alarm-settings-bench-" + std::to_string(::getpid()));
};

void BM_StartReads(benchmark::State& state) {
  const LargeSettings settings(state.range(0));
  platform::FileStore store(settings.home.string());
  for (auto _ : state) {
    settings.touch();
    for (int i = 0; i < 20; ++i)
      benchmark::DoNotOptimize(store.readValue(platform::kHkeyCurrentUser, kKey, i % 2 ? "HH" : "Missing"));
  }
}
BENCHMARK(BM_StartReads)->ArgName("values")->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_EndWrites(benchmark::State& state) {
  const LargeSettings settings(state.range(0));
  platform::FileStore store(settings.home.string());
  for (auto _ : state)
    for (const char* name : {"Top", "Left", "AlarmMode"})
      benchmark::DoNotOptimize(store.writeValue(platform::kHkeyCurrentUser, kKey, name, "1"));
}
BENCHMARK(BM_EndWrites)->ArgName("values")->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
