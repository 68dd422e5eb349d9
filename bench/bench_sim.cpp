// What the simulated device costs per engine cycle: it must stay far below the
// cycle's 100 ms so the simulator never falls behind its own line.
#include <benchmark/benchmark.h>

#include "Device.h"
#include "FrameEncoder.h"

using namespace qv::sim;

static void BM_EngineCycle(benchmark::State& state) {
  EngineModel engine({kDefaultRpm, 1, Scenario::kDrift});
  for (auto _ : state) benchmark::DoNotOptimize(engine.RunCycle());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EngineCycle)->Unit(benchmark::kMicrosecond);

static void BM_EncodeChannelRecord(benchmark::State& state) {
  EngineModel engine({kDefaultRpm, 1, Scenario::kDrift});
  (void)engine.RunCycle();
  const auto samples = engine.Waveform(0);
  for (auto _ : state) benchmark::DoNotOptimize(EncodeChannel(0, samples));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(ChannelFrameSize(samples.size())));
}
BENCHMARK(BM_EncodeChannelRecord)->Unit(benchmark::kMicrosecond);

// One simulated second of a device sending maxima and all four channels'
// records, woken at every deadline as the main loop is.
static void BM_DeviceSecond(benchmark::State& state) {
  for (auto _ : state) {
    EngineModel engine({kDefaultRpm, 1, Scenario::kDrift});
    FaultInjector faults({}, 1);
    Device device(engine, faults, 0);
    device.Receive("b1234", 0);
    std::size_t bytes = 0;
    for (Nanos now = 0; now <= kNanosPerSecond; now = device.NextDeadline()) {
      device.Tick(now);
      for (auto s = device.TakeDue(now); !s.empty(); s = device.TakeDue(now)) bytes += s.size();
    }
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_DeviceSecond)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
