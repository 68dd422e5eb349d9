// The session's cost: a decoded frame's way to every subscriber (the
// program's own: the workshop view's look and the recorder, and a few more
// capabilities' worth), the same with nobody listening, and during a replay
// the delay from a frame published to the workshop view's picture of it
// painted (QUORVEL_BENCH_SECONDS of replay, default 10).
#include <benchmark/benchmark.h>

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "BenchApp.h"
#include "CommandLine.h"
#include "Measurement.h"
#include "Program.h"
#include "RecordingControl.h"
#include "RecordingFormat.h"
#include "Session.h"
#include "SessionLook.h"
#include "TWorkshopView.h"
#include "UnitMain.h"
#include "WorkshopLauncher.h"
#include "WorkshopSettings.h"

namespace {

using Clock = std::chrono::steady_clock;

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

int RunSeconds() {
  const char* s = std::getenv("QUORVEL_BENCH_SECONDS");
  const int n = s ? std::atoi(s) : 10;
  return n > 0 ? n : 10;
}

// A capability's worth of work per frame: it keeps a copy of the maxima.
struct Keeper : qv::session::Subscriber {
  void OnFrame(const qv::session::Frame& f) override {
    maxima = f.maxima;
    ++frames;
  }
  std::array<std::int32_t, 4> maxima{};
  std::uint64_t frames = 0;
};

// The last subscriber: notes when the frame reached it.
struct Stamp : qv::session::Subscriber {
  void OnFrame(const qv::session::Frame&) override { at = NowNs(); }
  std::int64_t at = 0;
};

qv::FrameReport MaximaReport() {
  qv::FrameReport r;
  r.maxima = qv::RecordOutcome::kDecoded;
  return r;
}

// Decoded frame -> every subscriber notified: the workshop view's look, the
// recorder's kind of listener, three more and the stamp, in that order.
void BM_FrameToEverySubscriber(benchmark::State& state) {
  qv::session::Session session;
  TMeasurement m;
  qv::workshop::SessionLook look(session);
  std::vector<Keeper> keepers(4);
  for (Keeper& k : keepers) session.Subscribe(k);
  Stamp stamp;
  session.Subscribe(stamp);
  session.ScanStarted("/dev/ttyUSB0");
  std::vector<std::int64_t> delays;
  delays.reserve(1 << 20);
  std::uint64_t n = 0;
  for (auto _ : state) {
    m.MAXIMA[0] = static_cast<std::int32_t>(n & 0xFF);
    const std::int64_t t0 = NowNs();
    session.FrameDecoded(m, MaximaReport(), ++n);
    if (delays.size() < delays.capacity()) delays.push_back(stamp.at - t0);
  }
  std::sort(delays.begin(), delays.end());
  state.counters["median_ns"] = static_cast<double>(delays[delays.size() / 2]);
  state.counters["p99_ns"] = static_cast<double>(delays[delays.size() * 99 / 100]);
  state.counters["max_ns"] = static_cast<double>(delays.back());
}

// With nobody listening: what every decoded frame costs the receive handler.
void BM_FrameWithoutSubscribers(benchmark::State& state) {
  qv::session::Session session;
  TMeasurement m;
  session.ScanStarted("/dev/ttyUSB0");
  std::uint64_t n = 0;
  for (auto _ : state) {
    session.FrameDecoded(m, MaximaReport(), ++n);
    benchmark::DoNotOptimize(session.Last());
  }
}

void RunEventLoop(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// A replay shown in the workshop view, as the program joins them: from the
// session publishing a maxima frame to the view's canvas having painted the
// reading of the first look that saw it.
void BM_ReplayFrameToScreen(benchmark::State& state) {
  const std::filesystem::path root = qvbench::EnsureApplication("bench_session");
  std::filesystem::remove(qv::workshop::DefaultSettingsPath());
  const std::filesystem::path file = root / "replay.qvrec";
  {
    // A frame every 50 ms, as fast as the device sends maxima.
    std::string bytes = qv::rec::EncodeHeader({});
    const int frames = RunSeconds() * 20 + 40;
    for (int i = 0; i < frames; ++i) {
      std::string f = "MUXA#Maxima";
      for (int c = 0; c < 4; ++c) {
        const int v = 90 + c * 3 + i % 11;
        f += static_cast<char>(v & 0xFF);
        f += static_cast<char>(v >> 8);
      }
      qv::rec::AppendRecord(bytes, 50'000u * static_cast<std::uint64_t>(i), f + "End_Data");
    }
    FILE* out = std::fopen(file.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
  }
  TForm1 form;
  auto program = std::make_unique<qv::TProgram>(form, qv::CommandLine{});
  program->Show();
  program->Workshop().Open();
  qv::workshop::TWorkshopView* view = program->Workshop().View();
  std::vector<std::int64_t> publishedAt;  // by maxima frame count - 1
  struct Note : qv::session::Subscriber {
    std::vector<std::int64_t>* at = nullptr;
    void OnFrame(const qv::session::Frame& f) override {
      if (f.hasMaxima && f.maximaFrames == at->size() + 1) at->push_back(NowNs());
    }
  } note;
  note.at = &publishedAt;
  program->Session().Subscribe(note);
  std::vector<std::pair<std::uint64_t, std::int64_t>> painted;
  view->OnPainted = [&painted](std::uint64_t frames) { painted.emplace_back(frames, NowNs()); };
  RunEventLoop(500);
  for (auto _ : state) {
    publishedAt.clear();
    painted.clear();
    program->Recording().OpenReplay(QString::fromStdString(file.string()));
    const std::int64_t t0 = NowNs();
    RunEventLoop(RunSeconds() * 1000);
    state.SetIterationTime(static_cast<double>(NowNs() - t0) / 1e9);
  }
  std::vector<double> delays;
  for (const auto& [frames, at] : painted)
    if (frames >= 1 && frames <= publishedAt.size())
      delays.push_back(static_cast<double>(at - publishedAt[frames - 1]) / 1e6);
  std::sort(delays.begin(), delays.end());
  if (delays.empty()) {
    state.SkipWithError("no frame was painted");
  } else {
    state.counters["median_ms"] = delays[delays.size() / 2];
    state.counters["p90_ms"] = delays[delays.size() * 9 / 10];
    state.counters["max_ms"] = delays.back();
    state.counters["frames_timed"] = static_cast<double>(delays.size());
    std::printf("replay frame -> view painted: median %.1f ms, max %.1f ms over %zu frames (goal median < 30 ms)\n",
                delays[delays.size() / 2], delays.back(), delays.size());
  }
  program->Session().Unsubscribe(note);
  program.reset();
}

}  // namespace

BENCHMARK(BM_FrameToEverySubscriber);
BENCHMARK(BM_FrameWithoutSubscribers);
BENCHMARK(BM_ReplayFrameToScreen)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
