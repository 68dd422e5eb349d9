// The main window streaming from the real simulator, as in the demo: Start
// Scan on quorvel-sim at 1200 rpm with channel 0's records requested, then
// QUORVEL_BENCH_SECONDS (default 10) of readings. Reported:
//   cpu_percent_of_core  this process's processor time per wall-clock second
//                        (the simulator is a process of its own)
//   rss_mb, hwm_mb       resident memory at the end (VmRSS) and its peak (VmHWM)
//   latency_*_ms         from the simulator handing a frame's last byte to the
//                        pseudo-terminal (its log's "# t" lines) to the window
//                        having decoded that frame, both on CLOCK_MONOTONIC
// With the workshop view open beside the window (the program's backend, its
// default settings) the same processor share is measured, and
//   screen_latency_*_ms  from the window having decoded a maxima frame to the
//                        view's canvas having painted the reading made with it
// The two streaming shares are measured in steps alternating with a minimal
// reader of the same stream (StreamFloor.h), and reported also as a ratio to
// it: floor_ratio_median, _min and _max over the alternations.
// The window runs on the offscreen platform: it draws every tick as on a
// desktop, but nothing is sent to a display server.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchApp.h"
#include "CommandLine.h"
#include "FrameLog.h"
#include "Program.h"
#include "SimProcess.h"
#include "StreamFloor.h"
#include "TWorkshopView.h"
#include "UnitMain.h"
#include "WorkshopBackend.h"
#include "WorkshopLauncher.h"
#include "WorkshopSettings.h"

extern char** environ;

namespace {

std::int64_t MonotonicNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

using qvbench::ProcessCpuSeconds;

// A "VmRSS:" or "VmHWM:" figure of /proc/self/status, in MB.
double StatusMegabytes(const std::string& key) {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(key, 0) == 0) return std::stod(line.substr(key.size())) / 1024.0;  // kB
  }
  return 0;
}

int RunSeconds() {
  const char* s = std::getenv("QUORVEL_BENCH_SECONDS");
  const int n = s ? std::atoi(s) : 10;
  return n > 0 ? n : 10;
}

void RunEventLoop(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// The time each decoded frame was done with (at most one per receive event).
struct DecodeTimes {
  std::vector<std::int64_t> ns;
  std::vector<std::array<std::int32_t, 4>> maxima;
  long events = 0;  // receive events, with or without a frame

  void Attach(TForm1& form) {
    form.ComPort1->OnRxChar = [this, &form, handler = form.ComPort1->OnRxChar](TCustomComPort* s, int count) {
      ++events;
      const std::uint64_t before = form.Decoder().Frames();
      handler(s, count);
      const std::int64_t done = MonotonicNs();
      if (form.Decoder().Frames() == before) return;
      ns.push_back(done);
      maxima.push_back(form.Measurement().MAXIMA);
    };
  }
};

struct Latencies {
  std::vector<double> ms;
  int unmatched = 0;  // decoded frames whose maxima differ from the frame sent at that place
};

// The n-th decoded frame is the n-th record sent (a sound stream loses none);
// its last byte left with the first "# t" line that covers it.
Latencies MatchLog(const std::filesystem::path& logPath, const DecodeTimes& decoded, std::int64_t from) {
  std::ifstream in(logPath);
  std::stringstream buf;
  buf << in.rdbuf();
  std::string text = buf.str();
  text.erase(text.find_last_of('\n') + 1);
  std::vector<qv::sim::LoggedFrame> records;
  for (auto& f : qv::sim::ParseLog(text)) {
    if (f.kind == qv::sim::FrameKind::kMaxima || f.kind == qv::sim::FrameKind::kChannel) records.push_back(f);
  }
  std::vector<std::pair<std::uint64_t, std::int64_t>> times;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("# t ", 0) != 0) continue;
    std::istringstream fields(line.substr(4));
    std::uint64_t bytes = 0;
    std::int64_t ns = 0;
    if (fields >> bytes >> ns) times.emplace_back(bytes, ns);
  }
  Latencies out;
  for (std::size_t i = 0; i < decoded.ns.size() && i < records.size(); ++i) {
    if (decoded.ns[i] < from) continue;
    const auto& r = records[i];
    if (r.kind == qv::sim::FrameKind::kMaxima &&
        !std::equal(r.maxima.begin(), r.maxima.end(), decoded.maxima[i].begin())) {
      ++out.unmatched;
      continue;
    }
    const std::uint64_t end = r.offset + r.size;
    const auto t =
        std::lower_bound(times.begin(), times.end(), end, [](const auto& p, std::uint64_t v) { return p.first < v; });
    if (t == times.end()) continue;
    out.ms.push_back(static_cast<double>(decoded.ns[i] - t->second) / 1e6);
  }
  std::sort(out.ms.begin(), out.ms.end());
  return out;
}

double Quantile(const std::vector<double>& sorted, double q) {
  if (sorted.empty()) return 0;
  return sorted[static_cast<std::size_t>(q * static_cast<double>(sorted.size() - 1))];
}

// The program's assembly of the run that opened the view; StreamingRun ends
// it before its window goes.
std::unique_ptr<qv::TProgram> g_program;

// A scan of the simulator on a shown window: Start Scan, channel 0's records
// asked for, two seconds to settle, then one measured run of the event loop;
// or, given a `floor` name for the report, measured steps alternating with
// the floor's (the scan stopped for them, the floor sending what Start Scan
// and the records button send) in the order program, floor, floor, program,
// ... `prepare` runs once the window is shown, before the scan starts.
template <typename Measure, typename Prepare = void (*)(TForm1&)>
void StreamingRun(
    benchmark::State& state, bool probeFrames, const char* floor, Measure&& measure,
    Prepare&& prepare = [](TForm1&) {}) {
  const std::filesystem::path root = qvbench::EnsureApplication("bench_e2e");
  const std::filesystem::path log = root / "frames.log";
  std::filesystem::remove(log);
  simtest::SimProcess sim({"--seed", "1", "--log", log.string(), "--log-times"});
  const std::string device = sim.ReadStdoutLine();
  if (device.empty()) throw std::runtime_error("the simulator did not start");
  TForm1 form;
  form.SetCommandLinePort(device);
  form.show();
  DecodeTimes decoded;
  if (probeFrames) {
    decoded.Attach(form);
  } else {
    form.ComPort1->OnRxChar = [&decoded, handler = form.ComPort1->OnRxChar](TCustomComPort* s, int count) {
      ++decoded.events;
      handler(s, count);
    };
  }
  prepare(form);
  form.Button2Click();
  form.Button4Click();
  RunEventLoop(2000);
  bool scanning = true;
  for (auto _ : state) {
    if (!floor) {
      const double cpu0 = ProcessCpuSeconds();
      const long events0 = decoded.events;
      const std::int64_t t0 = MonotonicNs();
      RunEventLoop(RunSeconds() * 1000);
      const double wall = static_cast<double>(MonotonicNs() - t0) / 1e9;
      state.SetIterationTime(wall);
      state.counters["cpu_percent_of_core"] = 100.0 * (ProcessCpuSeconds() - cpu0) / wall;
      state.counters["receive_events_per_second"] = static_cast<double>(decoded.events - events0) / wall;
      measure(log, decoded, t0);
      continue;
    }
    const auto step = qvbench::AlternationStep();
    qvbench::FloorRatios ratios;
    qvbench::Share total;
    long events = 0;
    const std::int64_t t0 = MonotonicNs();
    for (int k = 0; k < qvbench::Alternations(); ++k) {
      qvbench::Share program;
      qvbench::Share reader;
      const auto runProgram = [&] {
        if (!scanning) {
          form.Button2Click();
          form.Button4Click();
          scanning = true;
          RunEventLoop(1000);  // the port opened, the displays caught up
        }
        const double cpu0 = ProcessCpuSeconds();
        const long events0 = decoded.events;
        const std::int64_t w0 = MonotonicNs();
        RunEventLoop(static_cast<int>(step.count()));
        program.wallSeconds = static_cast<double>(MonotonicNs() - w0) / 1e9;
        program.cpuSeconds = ProcessCpuSeconds() - cpu0;
        events += decoded.events - events0;
      };
      const auto runFloor = [&] {
        if (scanning) {
          form.Button3Click();
          scanning = false;
        }
        reader = qvbench::ReadAsTheFloor(device, "b1", "a", step);
      };
      if (k % 2 == 0) {
        runProgram();
        runFloor();
      } else {
        runFloor();
        runProgram();
      }
      total.cpuSeconds += program.cpuSeconds;
      total.wallSeconds += program.wallSeconds;
      ratios.Add(program, reader);
    }
    if (!scanning) {
      form.Button2Click();
      form.Button4Click();
      scanning = true;
      RunEventLoop(1000);
    }
    state.SetIterationTime(static_cast<double>(MonotonicNs() - t0) / 1e9);
    state.counters["cpu_percent_of_core"] = total.Percent();
    state.counters["receive_events_per_second"] = static_cast<double>(events) / total.wallSeconds;
    ratios.Report(state, "floor_", floor);
    measure(log, decoded, t0);
  }
  form.Button3Click();
  g_program.reset();  // the assembly goes before its window
  form.close();
}

// Processor share and memory of the window as it is, nothing hooked in but an
// event count.
void BM_StreamingFromSimulator(benchmark::State& state) {
  StreamingRun(state, false, "main window streaming",
               [&](const std::filesystem::path&, const DecodeTimes&, std::int64_t) {
                 state.counters["rss_mb"] = StatusMegabytes("VmRSS:");
                 state.counters["hwm_mb"] = StatusMegabytes("VmHWM:");
               });
}

// The delay of every frame. The probe repaints the receive lamp on every
// event, so this run's processor share is a little higher than the one above.
void BM_FrameLatency(benchmark::State& state) {
  StreamingRun(state, true, nullptr,
               [&](const std::filesystem::path& log, const DecodeTimes& decoded, std::int64_t t0) {
                 const Latencies lat = MatchLog(log, decoded, t0);
                 state.counters["frames"] = static_cast<double>(lat.ms.size());
                 state.counters["frames_unmatched"] = lat.unmatched;
                 state.counters["latency_median_ms"] = Quantile(lat.ms, 0.5);
                 state.counters["latency_p90_ms"] = Quantile(lat.ms, 0.9);
                 state.counters["latency_max_ms"] = lat.ms.empty() ? 0 : lat.ms.back();
               });
}

// The same window before Start Scan: the displays tick, nothing arrives. The
// difference to the streaming run is what receiving and decoding cost.
void BM_DisplaysOnlyBeforeScan(benchmark::State& state) {
  qvbench::EnsureApplication("bench_e2e");
  TForm1 form;
  form.show();
  RunEventLoop(2000);
  for (auto _ : state) {
    const double cpu0 = ProcessCpuSeconds();
    const std::int64_t t0 = MonotonicNs();
    RunEventLoop(RunSeconds() * 1000);
    const double wall = static_cast<double>(MonotonicNs() - t0) / 1e9;
    state.SetIterationTime(wall);
    state.counters["cpu_percent_of_core"] = 100.0 * (ProcessCpuSeconds() - cpu0) / wall;
    state.counters["rss_mb"] = StatusMegabytes("VmRSS:");
  }
  form.Timer2.SetEnabled(false);
}

// The workshop view opened as the program opens it (--workshop), with its
// settings as a first run has them.
qv::workshop::TWorkshopView* OpenWorkshopView(TForm1& form) {
  std::filesystem::remove(qv::workshop::DefaultSettingsPath());
  g_program = std::make_unique<qv::TProgram>(form, qv::ParseCommandLine({"quorvel", "--workshop"}));
  g_program->Show();
  return g_program->Workshop().View();
}

// Both windows while the simulator streams: the main window's displays, the
// view's tick, the model and the view's redraws.
void BM_StreamingWithWorkshopView(benchmark::State& state) {
  qv::workshop::TWorkshopView* view = nullptr;
  std::uint64_t redraws0 = 0;
  StreamingRun(
      state, false, "main window and workshop view streaming",
      [&](const std::filesystem::path&, const DecodeTimes&, std::int64_t) {
        state.counters["rss_mb"] = StatusMegabytes("VmRSS:");
        state.counters["view_redraws"] = static_cast<double>(view->Redraws() - redraws0);
        state.counters["view_live"] = view->Shown().status == qv::workshop::Status::Live;
      },
      [&](TForm1& form) {
        view = OpenWorkshopView(form);
        redraws0 = view->Redraws();
      });
}

// From the decoder taking a maxima frame (the receive event that decoded it
// has returned) to the view's canvas having painted the reading of the first
// look that saw it. Frames superseded by a newer one before the view's next
// look, or whose reading showed nothing new, are counted, not timed.
void BM_MaximaFrameToScreen(benchmark::State& state) {
  std::vector<std::int64_t> decodedAt;  // by maxima frame count - 1
  std::vector<std::pair<std::uint64_t, std::int64_t>> painted;
  StreamingRun(
      state, false, nullptr,
      [&](const std::filesystem::path&, const DecodeTimes&, std::int64_t t0) {
        std::vector<double> ms;
        std::uint64_t last = 0;
        for (const auto& [frames, at] : painted) {
          if (frames == last || frames == 0 || frames > decodedAt.size()) continue;
          last = frames;
          const std::int64_t from = decodedAt[frames - 1];
          if (from >= t0) ms.push_back(static_cast<double>(at - from) / 1e6);
        }
        std::sort(ms.begin(), ms.end());
        std::size_t decodedInRun = 0;
        for (std::int64_t t : decodedAt) decodedInRun += t >= t0;
        state.counters["maxima_frames"] = static_cast<double>(decodedInRun);
        state.counters["frames_on_screen"] = static_cast<double>(ms.size());
        state.counters["screen_latency_median_ms"] = Quantile(ms, 0.5);
        state.counters["screen_latency_p90_ms"] = Quantile(ms, 0.9);
        state.counters["screen_latency_p99_ms"] = Quantile(ms, 0.99);
        state.counters["screen_latency_max_ms"] = ms.empty() ? 0 : ms.back();
      },
      [&](TForm1& form) {
        form.ComPort1->OnRxChar = [&decodedAt, &form, handler = form.ComPort1->OnRxChar](TCustomComPort* s, int count) {
          const std::uint64_t before = form.Decoder().MaximaFrames();
          handler(s, count);
          if (form.Decoder().MaximaFrames() != before) decodedAt.push_back(MonotonicNs());
        };
        qv::workshop::TWorkshopView* view = OpenWorkshopView(form);
        view->OnPainted = [&painted](std::uint64_t frames) { painted.emplace_back(frames, MonotonicNs()); };
      });
}

}  // namespace

BENCHMARK(BM_DisplaysOnlyBeforeScan)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_StreamingFromSimulator)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_FrameLatency)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_StreamingWithWorkshopView)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_MaximaFrameToScreen)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
