// Cost of the workshop model per maxima frame, and of the view's tick when
// nothing arrived. The device sends about ten maxima frames a second.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

#include "NumberFormat.h"
#include "WorkshopModel.h"

namespace {

using qv::workshop::ModelSettings;
using qv::workshop::WorkshopModel;

std::array<std::int32_t, 4> Maxima(std::uint64_t i) {
  const auto j = static_cast<std::int32_t>(i % 7);
  return {350 + j, 340 - j, 360 + (j & 1), 345};
}

// One frame every 100 ms: damping, the two-second window (20 frames), the
// reading and its comparison with the last one.
void BM_Frame(benchmark::State& state) {
  ModelSettings s;
  s.pairMode = state.range(0) != 0;
  WorkshopModel model(s);
  double t = 0;
  std::uint64_t n = 0;
  model.Update(t, Maxima(0), n, true);
  for (auto _ : state) {
    t += 0.1;
    ++n;
    model.Update(t, Maxima(n), n, true);
    benchmark::DoNotOptimize(model.Current().serial);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Frame)->Arg(0)->Arg(1);

// Frames far faster than the device sends them: the window is at its bound.
void BM_FrameFullWindow(benchmark::State& state) {
  WorkshopModel model;
  double t = 0;
  std::uint64_t n = 0;
  model.Update(t, Maxima(0), n, true);
  for (auto _ : state) {
    t += 0.0001;
    ++n;
    model.Update(t, Maxima(n), n, true);
    benchmark::DoNotOptimize(model.Current().serial);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FrameFullWindow);

// The view's 50 ms tick without a new frame.
void BM_TickWithoutFrame(benchmark::State& state) {
  WorkshopModel model;
  double t = 0;
  model.Update(t, Maxima(0), 0, true);
  model.Update(t, Maxima(1), 1, true);
  for (auto _ : state) {
    t += 1e-6;
    model.Update(t, Maxima(1), 1, true);
    benchmark::DoNotOptimize(model.Current().serial);
  }
}
BENCHMARK(BM_TickWithoutFrame);

void BM_FormatValue(benchmark::State& state) {
  double v = -11.25;
  for (auto _ : state) {
    v += 0.01;
    benchmark::DoNotOptimize(
        qv::workshop::FormatValue(v, qv::workshop::Unit::KiloPascal, {.decimalSeparator = ",", .withSign = true}));
  }
}
BENCHMARK(BM_FormatValue);

}  // namespace

BENCHMARK_MAIN();
