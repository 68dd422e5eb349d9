// Processor time of the running main window: the displays ticking with no
// data, and a device streaming maxima frames at the full line rate (57600
// baud, 5760 bytes per second) into an open port. Reported as the process's
// processor time per wall-clock second, the streaming thread's own share
// taken off. --benchmark_min_time has no effect; QUORVEL_BENCH_SECONDS sets
// the length of each run (default 10).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>

#include "BenchApp.h"
#include "UnitMain.h"

namespace {

double CpuSeconds(int who) {
  rusage u{};
  getrusage(who, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double ProcessCpuSeconds() { return CpuSeconds(RUSAGE_SELF); }

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
// program sends back, until stopped. Returns its own processor time.
double Stream(int master, int bytesPerSecond, const std::atomic<bool>& stop, long& bytesWritten) {
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
  for (auto _ : state) {
    std::atomic<bool> stop{false};
    long written = 0;
    double writerCpu = 0;
    const double cpu0 = ProcessCpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    std::thread writer([&] { writerCpu = Stream(pty.master, 5760, stop, written); });
    RunEventLoop(RunSeconds());
    stop = true;
    writer.join();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    ReportCpu(state, ProcessCpuSeconds() - cpu0 - writerCpu, wall);
    state.counters["bytes_per_second"] = static_cast<double>(written) / wall;
    state.counters["receive_events_per_second"] = static_cast<double>(events) / wall;
  }
  form.Button3Click();
}

}  // namespace

BENCHMARK(BM_IdleWithDisplaysTicking)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_StreamingAtLineRate)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
