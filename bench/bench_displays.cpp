// Cost of one redraw tick: the bar chart and the four trace panels drawn into
// the off-screen bitmap and copied to the window image, with data shaped like
// a running engine's (pulsing histories, maxima a few mBar apart).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>
#include <cstdlib>

#include "Displays.h"
#include "Fonts.h"

namespace {

// Fonts need a GUI application (offscreen is enough). Made once, before the
// first measurement, and kept to the end of the process.
void EnsureGuiApplication() {
  if (QCoreApplication::instance()) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "bench_displays";
  static char* argv[] = {name, nullptr};
  new QGuiApplication(argc, argv);  // lives as long as the process
  qv::InstallFontSubstitutions();
}

void FillEngineData(TMeasurement& state) {
  state.MAXIMA = {352, 347, 360, 344};
  for (int c = 0; c < TMeasurement::kChannels; ++c)
    for (int i = 0; i < TMeasurement::kHistorySize; ++i)
      state.CHANNEL_DATA[c][i] = 300 + static_cast<int>(90 * std::sin(i / (5.0 + c)) + 15 * std::sin(i * 1.7));
}

void Tick(benchmark::State& bench, bool dots) {
  EnsureGuiApplication();
  const int W = static_cast<int>(bench.range(0)), H = static_cast<int>(bench.range(1));
  TMeasurement state;
  FillEngineData(state);
  TGraphSettingsValues settings;
  settings.pixels = dots;
  TDisplays displays;
  QImage window(W - 16, H - 59, QImage::Format_RGB32);  // roughly the client area
  window.fill(0xFFF0F0F0u);
  const TDisplayInputs in{state, settings, true, [](const QString&) {}};
  for (auto _ : bench) {
    displays.Timer2Timer(W, H, in, window);
    benchmark::DoNotOptimize(window.constBits());
  }
}

void BM_RedrawTickLine(benchmark::State& bench) { Tick(bench, false); }
void BM_RedrawTickDots(benchmark::State& bench) { Tick(bench, true); }

}  // namespace

BENCHMARK(BM_RedrawTickLine)->Args({800, 600})->Args({1120, 1024})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RedrawTickDots)->Args({800, 600})->Args({1120, 1024})->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
