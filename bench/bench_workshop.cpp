// Cost of one redraw of the workshop view: the whole picture drawn into its
// image at the window's size, with the numbers changing at every redraw as
// they do while the mechanic turns a screw. Redraw draws made-up readings;
// RedrawModelReading draws what the program's backend (the workshop model
// with its default settings) makes of a maxima frame, the frame included.
#include <benchmark/benchmark.h>

#include <QImage>
#include <cmath>

#include "BenchApp.h"
#include "WorkshopModelSource.h"
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

// A frame every 50 ms, the view's tick: cylinders drifting by up to 14 mBar
// round an idle vacuum of 250 mBar, with a count of jitter.
void RedrawModelReading(benchmark::State& bench) {
  qvbench::EnsureApplication("bench_workshop");
  QImage image(static_cast<int>(bench.range(0)), static_cast<int>(bench.range(1)), QImage::Format_RGB32);
  qv::workshop::WorkshopRenderer renderer;
  qv::WorkshopModelSource source([] { return std::string("/dev/ttyUSB0"); });
  qv::workshop::MeasurementLook look;
  look.portOpen = true;
  (void)source.Read(look);  // the first look after opening takes the count only
  for (auto _ : bench) {
    look.seconds += 0.05;
    ++look.maximaFrames;
    const auto step = static_cast<double>(look.maximaFrames);
    for (int c = 0; c < 4; ++c)
      look.maxima[static_cast<std::size_t>(c)] =
          350 + static_cast<std::int32_t>(std::lround(14 * std::sin(step * 0.05 + c * 1.3))) +
          static_cast<std::int32_t>(look.maximaFrames % 2);
    renderer.Paint(image, source.Read(look));
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(RedrawModelReading)
    ->Args({1024, 640})  // the window as it first opens
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
