// The guidance tone: the synthesiser's processor time per second of audio in
// each of its states; then, through a private PulseAudio server, the delay
// from a changed input to the changed sound arriving at the sink's monitor,
// and the processor share of the program and of the server with the tone
// playing (QUORVEL_BENCH_SECONDS, default 10).
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "ToneGenerator.h"
#include "ToneOutput.h"
#include "ToneTable.h"
#include "support/PulseServer.h"

using namespace std::chrono_literals;
using qv::tone::GuidanceInput;
using Clock = std::chrono::steady_clock;

namespace {

GuidanceInput Shown(double difference, bool inSync = false) { return {difference, 10, inSync, true}; }

// One second of audio per iteration, rendered in the output's 5 ms blocks.
void RenderSecond(benchmark::State& state, std::vector<GuidanceInput> inputs) {
  qv::tone::ToneGenerator gen;
  std::vector<std::int16_t> block(gen.BlockSamples());
  std::size_t n = 0;
  for (auto _ : state) {
    gen.SetInput(inputs[n++ % inputs.size()]);
    for (int i = 0; i < 200; ++i) gen.Render(block.data(), block.size());
    benchmark::DoNotOptimize(block.data());
  }
  state.SetLabel("per second of 48 kHz audio");
}
BENCHMARK_CAPTURE(RenderSecond, silence, std::vector<GuidanceInput>{Shown(2)})->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RenderSecond, soft, std::vector<GuidanceInput>{Shown(11)})->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RenderSecond, beeps, std::vector<GuidanceInput>{Shown(30), Shown(-45)})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RenderSecond, chime, std::vector<GuidanceInput>{Shown(2, true), Shown(30)})
    ->Unit(benchmark::kMicrosecond);

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// utime + stime of another process, from /proc.
double ProcessCpuSeconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string s((std::istreambuf_iterator<char>(in)), {});
  const auto close = s.rfind(')');
  if (close == std::string::npos) return 0;
  std::vector<std::string> f;
  std::size_t p = close + 2;
  while (p < s.size()) {
    const auto q = s.find(' ', p);
    f.push_back(s.substr(p, q - p));
    if (q == std::string::npos) break;
    p = q + 1;
  }
  if (f.size() < 13) return 0;
  return (std::stod(f[11]) + std::stod(f[12])) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// When the recorder got sample `index`: the arrival of its chunk, less the
// samples after it in that chunk.
Clock::time_point CapturedAt(const std::vector<qvtest::Recorder::Chunk>& chunks, std::size_t index) {
  for (const auto& c : chunks)
    if (c.endSample > index)
      return c.arrived - std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                             double(c.endSample - 1 - index) / qvtest::PulseServer::kRate));
  return chunks.empty() ? Clock::time_point{} : chunks.back().arrived;
}

void Report(const char* what, std::vector<double> ms, const char* counted = "changes") {
  if (ms.empty()) {
    std::printf("%s: no measurement\n", what);
    return;
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%s: median %.1f ms, max %.1f ms, min %.1f ms (%zu %s)\n", what, ms[ms.size() / 2], ms.back(), ms.front(),
              ms.size(), counted);
}

int ThroughTheServer() {
  char tmpl[] = "/tmp/quorvel-bench-tone-XXXXXX";
  if (!mkdtemp(tmpl)) return 1;
  const std::filesystem::path dir = tmpl;
  int rc = 0;
  {
    qvtest::PulseServer server(dir);
    if (!server.Failure().empty()) {
      std::printf("no PulseAudio server: %s\n", server.Failure().c_str());
      std::filesystem::remove_all(dir);
      return 1;
    }
    const char* env = getenv("QUORVEL_BENCH_SECONDS");
    const double seconds = env ? std::max(1.0, std::atof(env)) : 10.0;

    // Processor share: the program and the server, idle, then with the tone beeping.
    auto share = [&](bool on) {
      qv::tone::ToneOutput out;
      out.SetInput(Shown(30));
      if (on) out.Start();
      std::this_thread::sleep_for(300ms);
      const double c0 = CpuSeconds(), s0 = ProcessCpuSeconds(server.Pid());
      const auto t0 = Clock::now();
      std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
      const double wall = Seconds(Clock::now() - t0);
      const double program = (CpuSeconds() - c0) / wall * 100,
                   srv = (ProcessCpuSeconds(server.Pid()) - s0) / wall * 100;
      std::printf("tone %s: program %.2f %% of one core, sound server %.2f %% (%.0f s)\n", on ? "on " : "off", program,
                  srv, wall);
    };
    share(false);
    share(true);

    // Delay: from the input leaving the band (or coming back into it) to
    // the first (or last) sounding sample arriving at the monitor.
    qvtest::Recorder rec(server.Address());
    qv::tone::ToneOutput out;
    out.SetVolume(0.5);
    out.SetInput(Shown(2));
    out.Start();
    rec.WaitFor(qvtest::PulseServer::kRate / 2, 10s);
    std::vector<double> onsets, ends;
    std::size_t searched = rec.Samples().size();
    for (int i = 0; i < 30 && out.Status() == qv::tone::OutputStatus::kPlaying; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(150 + 37 * (i % 7)));  // at no fixed phase
      const auto changed = Clock::now();
      out.SetInput(Shown(30));             // three bands out: a beep starts at once
      std::this_thread::sleep_for(100ms);  // within the first beep (133 ms)
      const auto back = Clock::now();
      out.SetInput(Shown(2));
      std::this_thread::sleep_for(250ms);
      const auto pcm = rec.Samples();
      const auto chunks = rec.Chunks();
      std::size_t first = SIZE_MAX, last = SIZE_MAX;
      for (std::size_t k = searched; k < pcm.size(); ++k)
        if (std::fabs(pcm[k]) > 0.01) {
          if (first == SIZE_MAX) first = k;
          last = k;
        }
      searched = pcm.size();
      if (first == SIZE_MAX) continue;
      onsets.push_back(Seconds(CapturedAt(chunks, first) - changed) * 1000);
      ends.push_back(Seconds(CapturedAt(chunks, last) - back) * 1000);
    }
    // Delay of a change of pitch while beeping: two bands out, then four; the
    // change is heard when three periods in a row have the new pitch.
    std::vector<double> pitches;
    const double newPeriod = qvtest::PulseServer::kRate / qv::tone::PitchAt(4);
    for (int i = 0; i < 30 && out.Status() == qv::tone::OutputStatus::kPlaying; ++i) {
      out.SetInput(Shown(20));
      std::this_thread::sleep_for(std::chrono::milliseconds(400 + 37 * (i % 7)));
      searched = rec.Samples().size();
      const auto changed = Clock::now();
      out.SetInput(Shown(40));
      std::this_thread::sleep_for(300ms);
      const auto pcm = rec.Samples();
      const auto chunks = rec.Chunks();
      std::vector<std::size_t> rising;
      for (std::size_t k = std::max<std::size_t>(searched, 1); k < pcm.size(); ++k)
        if (pcm[k - 1] < 0 && pcm[k] >= 0) rising.push_back(k);
      for (std::size_t k = 0; k + 3 < rising.size(); ++k) {
        bool all = true;
        for (std::size_t j = k; j < k + 3; ++j)
          all = all && std::fabs(double(rising[j + 1] - rising[j]) - newPeriod) < 0.05 * newPeriod;
        if (all) {
          pitches.push_back(Seconds(CapturedAt(chunks, rising[k]) - changed) * 1000);
          break;
        }
      }
    }
    out.SetInput(Shown(2));
    std::printf("server-reported playback latency: %.1f ms\n", out.ReportedLatency() * 1000);
    Report("input leaves the band -> first beep sample at the monitor", onsets);
    Report("input back inside -> last beep sample at the monitor", ends);
    Report("beeping, two bands out -> four: first beep period of the new pitch at the monitor", pitches);
    std::vector<double> stops;
    for (int i = 0; i < 10; ++i) {
      out.SetInput(Shown(30));
      if (i > 0) out.Start();
      std::this_thread::sleep_for(200ms);
      const auto t0 = Clock::now();
      out.Stop();
      stops.push_back(Seconds(Clock::now() - t0) * 1000);
    }
    Report("Stop() while beeping returns after", stops, "stops");
    rec.Stop();
    if (onsets.size() < 20 || pitches.size() < 20) rc = 1;
  }
  std::filesystem::remove_all(dir);
  return rc;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return ThroughTheServer();
}
