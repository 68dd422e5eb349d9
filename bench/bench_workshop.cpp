// Cost of one redraw of the workshop view: the whole picture drawn into its
// image at the window's size, with the numbers changing at every redraw as
// they do while the mechanic turns a screw.
#include <benchmark/benchmark.h>

#include <QImage>
#include <cmath>

#include "BenchApp.h"
#include "WorkshopRenderer.h"

namespace {

qv::workshop::Reading ReadingAt(int step) {
  using namespace qv::workshop;
  Reading r;
  r.status = Status::Live;
  r.tolerance = 10;
  r.fullScale = 20;
  double worst = -1;
  for (int c = 0; c < 4; ++c) {
    Channel& ch = r.channels[static_cast<std::size_t>(c)];
    ch.difference = 14 * std::sin(step * 0.05 + c * 1.3);
    ch.absolute = -250 + ch.difference;
    ch.scatter = 0.6 + 0.1 * c;
    const double a = std::fabs(ch.difference);
    ch.band = a <= 10 ? Band::Inside : a <= 20 ? Band::Near : Band::Outside;
    if (a > worst) {
      worst = a;
      r.worstChannel = c;
    }
  }
  r.settled = true;
  r.inSync = worst <= r.tolerance;
  r.serial = static_cast<std::uint64_t>(step);
  return r;
}

void Redraw(benchmark::State& bench) {
  qvbench::EnsureApplication("bench_workshop");
  QImage image(static_cast<int>(bench.range(0)), static_cast<int>(bench.range(1)), QImage::Format_RGB32);
  qv::workshop::WorkshopRenderer renderer;
  int step = 0;
  for (auto _ : bench) {
    renderer.Paint(image, ReadingAt(++step));
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(Redraw)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
