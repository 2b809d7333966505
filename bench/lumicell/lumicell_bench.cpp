// SPDX-License-Identifier: GPL-3.0-or-later
// Repaint cost of the clock display: DrawDigits of an eight-cell long time, small and
// large, and FormatDisplayText alone. Heap allocations are counted per iteration.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "lumicell/control.h"
#include "lumicell/glyph_sheet.h"

namespace {
std::atomic<long> g_allocations{0};
}

void* operator new(std::size_t n) {
  ++g_allocations;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

lumicell::State clockState(int32_t size, bool outline) {
  lumicell::State st;
  st.digitDisplay = "12:34:56";
  st.digitFormat = lumicell::dgLongTime;
  st.digitSize = size;
  st.digitColor = lumicell::dgBlue;
  st.digitPlaceHolders = 4;
  st.digitOutLine = outline;
  return st;
}

void reportAllocations(benchmark::State& state, long before) {
  state.counters["allocs/iter"] =
      benchmark::Counter(static_cast<double>(g_allocations - before) / static_cast<double>(state.iterations()));
}

void BM_DrawDigits(benchmark::State& state) {
  const auto st = clockState(static_cast<int32_t>(state.range(0)), state.range(1) != 0);
  lumicell::BackBuffer buffer;
  const auto size = lumicell::ContentSize(st);
  buffer.resize(size.width, size.height);
  lumicell::glyphSheet();
  const long before = g_allocations;
  for (auto _ : state) {
    lumicell::DrawDigits(st, buffer);
    benchmark::DoNotOptimize(buffer.data());
  }
  reportAllocations(state, before);
}
BENCHMARK(BM_DrawDigits)->ArgNames({"large", "outline"})->Args({0, 0})->Args({1, 0})->Args({1, 1});

void BM_FormatDisplayText(benchmark::State& state) {
  const auto st = clockState(1, false);
  const long before = g_allocations;
  for (auto _ : state) benchmark::DoNotOptimize(lumicell::FormatDisplayText(st));
  reportAllocations(state, before);
}
BENCHMARK(BM_FormatDisplayText);

// The whole once-a-second path of the program: a put of the time text through the
// control, which stores it, notifies and repaints.
void BM_PutDigitDisplay(benchmark::State& state) {
  auto* control = new lumicell::Control();
  control->InitProperties();
  control->PutProperty(lumicell::kDispDigitFormat, platform::com::Variant(2));
  control->PutProperty(lumicell::kDispDigitSize, platform::com::Variant(1));
  const platform::com::Variant text("12:34:56");
  const long before = g_allocations;
  for (auto _ : state) benchmark::DoNotOptimize(control->PutProperty(lumicell::kDispDigitDisplay, text));
  reportAllocations(state, before);
  control->Release();
}
BENCHMARK(BM_PutDigitDisplay);

}  // namespace

BENCHMARK_MAIN();
