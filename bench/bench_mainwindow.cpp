// Processor time of the running main window: the displays ticking with no
// data, a device streaming maxima frames at the full line rate (57600 baud,
// 5760 bytes per second) into an open port, and that stream recorded by the
// program's recording control against the same stream unrecorded. Reported as
// the process's processor time per wall-clock second, the streaming thread's
// own share taken off. The streaming shares are measured in steps alternating
// with a minimal reader of the same stream (StreamFloor.h) and reported also as
// ratios to it. --benchmark_min_time has no effect; QUORVEL_BENCH_SECONDS sets
// the length of each run (default 10).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "BenchApp.h"
#include "PortSession.h"
#include "RecordingControl.h"
#include "Session.h"
#include "StreamFloor.h"
#include "UnitMain.h"

namespace {

double CpuSeconds(int who) {
  rusage u{};
  getrusage(who, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

using qvbench::ProcessCpuSeconds;

double ThreadCpuSeconds() { return CpuSeconds(RUSAGE_THREAD); }

int RunSeconds() {
  const char* s = std::getenv("QUORVEL_BENCH_SECONDS");
  const int n = s ? std::atoi(s) : 10;
  return n > 0 ? n : 10;
}

// The device end of a pseudo-terminal.
struct Pty {
  int master = -1;
  std::string slave;
  Pty() {
    master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) throw std::runtime_error("no pseudo-terminal");
    slave = ptsname(master);
  }
  ~Pty() { ::close(master); }
};

std::string MaximaFrame(int base, int step) {
  std::string f = "MUXA#Maxima";
  for (int c = 0; c < 4; ++c) {
    const int m = base + c * 3 + (step % 7);
    f += static_cast<char>(m & 0xFF);
    f += static_cast<char>(m >> 8);
  }
  return f + "End_Data";
}

// Writes frames at `bytesPerSecond` on absolute deadlines and drains what the
// program sends back, until stopped. Returns its own processor time, and
// keeps `cpuSoFar` (when given) at it after every frame.
double Stream(int master, int bytesPerSecond, const std::atomic<bool>& stop, long& bytesWritten,
              std::atomic<double>* cpuSoFar = nullptr) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  const double cpu0 = ThreadCpuSeconds();
  char sink[256];
  for (int step = 0; !stop.load(); ++step) {
    const std::string frame = MaximaFrame(300, step);
    for (std::size_t done = 0; done < frame.size();) {
      const ssize_t n = ::write(master, frame.data() + done, frame.size() - done);
      if (n > 0) done += static_cast<std::size_t>(n);
      if (n < 0) break;  // the port is closed or full: drop the rest
    }
    bytesWritten += static_cast<long>(frame.size());
    while (::read(master, sink, sizeof sink) > 0) {
    }
    if (cpuSoFar) cpuSoFar->store(ThreadCpuSeconds() - cpu0);
    std::this_thread::sleep_until(start + std::chrono::microseconds(bytesWritten * 1000000L / bytesPerSecond));
  }
  return ThreadCpuSeconds() - cpu0;
}

void RunEventLoop(int seconds) {
  QEventLoop loop;
  QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
  loop.exec();
}

void ReportCpu(benchmark::State& state, double cpu, double wall) {
  state.SetIterationTime(wall);
  state.counters["cpu_percent_of_core"] = 100.0 * cpu / wall;
}

void BM_IdleWithDisplaysTicking(benchmark::State& state) {
  qvbench::EnsureApplication("bench_mainwindow");
  Pty pty;
  TForm1 form;
  form.SetCommandLinePort(pty.slave);
  form.show();
  for (auto _ : state) {
    const double cpu0 = ProcessCpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    RunEventLoop(RunSeconds());
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    ReportCpu(state, ProcessCpuSeconds() - cpu0, wall);
  }
  form.Timer2.SetEnabled(false);
}

void BM_StreamingAtLineRate(benchmark::State& state) {
  qvbench::EnsureApplication("bench_mainwindow");
  Pty pty;
  TForm1 form;
  form.SetCommandLinePort(pty.slave);
  form.show();
  form.Button2Click();
  // Count the receive events on the way to the window's handler.
  long events = 0;
  form.ComPort1->OnRxChar = [&form, &events](TCustomComPort* sender, int count) {
    ++events;
    form.ComPort1RxChar(sender, count);
  };
  // The window's steps alternate with the floor's, in the order window,
  // floor, floor, window, ...; the scan is stopped for the floor's.
  bool scanning = true;
  for (auto _ : state) {
    std::atomic<bool> stop{false};
    std::atomic<double> streamCpu{0};
    long written = 0;
    const auto t0 = std::chrono::steady_clock::now();
    std::thread writer([&] { Stream(pty.master, 5760, stop, written, &streamCpu); });
    const auto streamSeconds = [&streamCpu] { return streamCpu.load(); };
    RunEventLoop(1);  // the displays and the port settle
    const auto step = qvbench::AlternationStep();
    qvbench::FloorRatios ratios;
    qvbench::Share total;
    long windowEvents = 0;
    for (int k = 0; k < qvbench::Alternations(); ++k) {
      qvbench::Share window;
      qvbench::Share floor;
      const auto runWindow = [&] {
        if (!scanning) {
          form.Button2Click();
          scanning = true;
          RunEventLoop(1);
        }
        const double cpu0 = ProcessCpuSeconds();
        const double stream0 = streamSeconds();
        const long events0 = events;
        const auto w0 = std::chrono::steady_clock::now();
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(step.count()), &loop, &QEventLoop::quit);
        loop.exec();
        window.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count();
        window.cpuSeconds = ProcessCpuSeconds() - cpu0 - (streamSeconds() - stream0);
        windowEvents += events - events0;
      };
      const auto runFloor = [&] {
        if (scanning) {
          form.Button3Click();
          scanning = false;
        }
        floor = qvbench::ReadAsTheFloor(pty.slave, "b", "a", step, streamSeconds);
      };
      if (k % 2 == 0) {
        runWindow();
        runFloor();
      } else {
        runFloor();
        runWindow();
      }
      total.cpuSeconds += window.cpuSeconds;
      total.wallSeconds += window.wallSeconds;
      ratios.Add(window, floor);
    }
    stop = true;
    writer.join();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    state.SetIterationTime(wall);
    state.counters["cpu_percent_of_core"] = total.Percent();
    state.counters["bytes_per_second"] = static_cast<double>(written) / wall;
    state.counters["receive_events_per_second"] = static_cast<double>(windowEvents) / total.wallSeconds;
    ratios.Report(state, "floor_", "streaming at the line rate");
  }
  if (scanning) form.Button3Click();
}

// Recording every scan costs the program this much more than not recording.
// One scan streams at the line rate throughout while recording is switched on
// and off in one-second steps, in the order off, on, on, off, ..., so that a
// drift of the machine's load falls on both alike; RunSeconds() of each. A
// step's share of a core is the process's processor time over the step's
// wall time, the streaming thread's own taken off; switching (making and
// closing a file) happens between steps, once per scan in real use.
void BM_RecordingAtLineRate(benchmark::State& state) {
  const std::filesystem::path folder = qvbench::EnsureApplication("bench_mainwindow") / "recordings";
  Pty pty;
  TForm1 form;
  form.SetCommandLinePort(pty.slave);
  qv::session::Session session;
  qv::TPortSession portSession(form, session);
  auto control = std::make_unique<qv::TRecordingControl>(form, session);
  std::string problem;
  control->ShowMessage = [&problem](const QString& text) { problem = text.toStdString(); };
  form.show();
  form.Button2->click();  // Start Scan, as the user starts it: the control hears it
  for (auto _ : state) {
    std::atomic<bool> stop{false};
    std::atomic<double> streamCpu{0};
    long written = 0;
    std::thread writer([&] { Stream(pty.master, 5760, stop, written, &streamCpu); });
    RunEventLoop(1);  // the displays and the port settle
    double cpu[2] = {0, 0};
    double wall[2] = {0, 0};
    std::uint64_t recorded = 0;
    // After each four steps, the scan is stopped and the floor reads the
    // stream for as long as the window had for each of the two cases.
    qvbench::FloorRatios onRatios;
    qvbench::FloorRatios offRatios;
    qvbench::Share cycle[2];
    const auto t0 = std::chrono::steady_clock::now();
    for (int step = 0; step < 4 * std::max(5, RunSeconds() / 2); ++step) {
      const bool recording = (step % 4 == 1) || (step % 4 == 2);
      if (recording && !control->Recording()) control->RecordEveryScan(folder);
      if (!recording && control->Recording()) {
        control->StopRecording();
        recorded += control->RecordingStatus().bytes_written;
      }
      const double process0 = ProcessCpuSeconds();
      const double stream0 = streamCpu.load();
      const auto w0 = std::chrono::steady_clock::now();
      RunEventLoop(1);
      const double stepCpu = ProcessCpuSeconds() - process0 - (streamCpu.load() - stream0);
      const double stepWall = std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count();
      cpu[recording] += stepCpu;
      wall[recording] += stepWall;
      cycle[recording].cpuSeconds += stepCpu;
      cycle[recording].wallSeconds += stepWall;
      if (step % 4 == 3) {
        form.Button3->click();
        const qvbench::Share floor = qvbench::ReadAsTheFloor(pty.slave, "b", "a", std::chrono::seconds(2),
                                                             [&streamCpu] { return streamCpu.load(); });
        offRatios.Add(cycle[0], floor);
        onRatios.Add(cycle[1], floor);
        cycle[0] = cycle[1] = qvbench::Share{};
        form.Button2->click();
        RunEventLoop(1);  // the port reopened, the displays caught up
      }
    }
    if (control->Recording()) {
      control->StopRecording();
      recorded += control->RecordingStatus().bytes_written;
    }
    stop = true;
    writer.join();
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    const double off = 100 * cpu[0] / wall[0];
    const double on = 100 * cpu[1] / wall[1];
    state.counters["not_recording_cpu_percent"] = off;
    state.counters["recording_cpu_percent"] = on;
    state.counters["difference_cpu_percent"] = on - off;
    state.counters["file_bytes_per_second"] = static_cast<double>(recorded) / wall[1];
    std::printf("not recording %.3f %% of a core, recording %.3f %%, difference %+.3f %% (goal <= 0.2)\n", off, on,
                on - off);
    onRatios.Report(state, "recording_floor_", "recording");
    offRatios.Report(state, "not_recording_floor_", "not recording");
  }
  form.Button3->click();
  if (!problem.empty()) state.SkipWithError(problem.c_str());
  control.reset();
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
}

// The session's own cost while the device streams at the full line rate and
// nobody subscribes: the main window with its port joined to a session (as
// the program runs it) and without, in one-second steps off, on, on, off, ...
// in one run, the streaming thread's own share taken off.
void BM_SessionWhileStreaming(benchmark::State& state) {
  qvbench::EnsureApplication("bench_mainwindow");
  Pty pty;
  TForm1 form;
  form.SetCommandLinePort(pty.slave);
  qv::session::Session session;
  std::unique_ptr<qv::TPortSession> joined;
  form.show();
  form.Button2->click();
  for (auto _ : state) {
    std::atomic<bool> stop{false};
    std::atomic<double> streamCpu{0};
    long written = 0;
    std::thread writer([&] { Stream(pty.master, 5760, stop, written, &streamCpu); });
    RunEventLoop(1);
    double cpu[2] = {0, 0};
    double wall[2] = {0, 0};
    const auto t0 = std::chrono::steady_clock::now();
    for (int step = 0; step < 2 * RunSeconds(); ++step) {
      const bool on = (step % 4 == 1) || (step % 4 == 2);
      if (on && !joined) joined = std::make_unique<qv::TPortSession>(form, session);
      if (!on) joined.reset();
      const double process0 = ProcessCpuSeconds();
      const double stream0 = streamCpu.load();
      const auto w0 = std::chrono::steady_clock::now();
      RunEventLoop(1);
      cpu[on] += ProcessCpuSeconds() - process0 - (streamCpu.load() - stream0);
      wall[on] += std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count();
    }
    joined.reset();
    stop = true;
    writer.join();
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    const double off = 100 * cpu[0] / wall[0];
    const double on = 100 * cpu[1] / wall[1];
    state.counters["without_session_cpu_percent"] = off;
    state.counters["with_session_cpu_percent"] = on;
    state.counters["difference_cpu_percent"] = on - off;
    state.counters["frames_published"] = static_cast<double>(session.Last().sequence);
    std::printf("without the session %.3f %% of a core, with it %.3f %%, difference %+.3f %% (goal <= 0.1)\n", off, on,
                on - off);
  }
  form.Button3->click();
}

}  // namespace

BENCHMARK(BM_IdleWithDisplaysTicking)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_StreamingAtLineRate)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_RecordingAtLineRate)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_SessionWhileStreaming)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
