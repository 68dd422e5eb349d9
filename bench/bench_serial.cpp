// Figures of the serial port on a pseudo-terminal:
//  - latency from a byte written on the far side to OnRxChar running on the
//    user-interface thread (median and 99th percentile);
//  - throughput at ten times the device's line rate (576,000 bytes/s), every
//    byte checked to arrive once and in order;
//  - processor time of the whole process while an open port sits idle.
// Usage: bench_serial [--seconds N] [--samples N] [--idle N]
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "CPort.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Pty {
  int master = -1;
  std::string slave;
  Pty() {
    master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
      std::perror("pty");
      std::exit(1);
    }
    slave = ptsname(master);
  }
  ~Pty() { close(master); }
};

double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  const auto i = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
  return v[i];
}

void Latency(int samples) {
  Pty pty;
  TComPort port;
  port.SetPort(pty.slave);
  port.SetBaudRate(br57600);
  Clock::time_point sent;
  std::vector<double> us;
  QEventLoop loop;
  port.OnRxChar = [&](TCustomComPort* p, int count) {
    const auto now = Clock::now();
    std::string s;
    p->ReadString(s, count);
    us.push_back(std::chrono::duration<double, std::micro>(now - sent).count());
    loop.quit();
  };
  port.Open();
  for (int i = 0; i < samples; ++i) {
    sent = Clock::now();
    if (write(pty.master, "x", 1) != 1) std::exit(1);
    loop.exec();
  }
  port.Close();
  us.erase(us.begin(), us.begin() + std::min<std::size_t>(10, us.size()));  // warm-up
  std::printf("latency   samples %zu  median %.1f us  p99 %.1f us  max %.1f us\n", us.size(), Percentile(us, 0.5),
              Percentile(us, 0.99), Percentile(us, 1.0));
}

void Throughput(double seconds) {
  constexpr double kRate = 57600.0 * 10;  // bytes per second
  Pty pty;
  fcntl(pty.master, F_SETFL, fcntl(pty.master, F_GETFL) | O_NONBLOCK);
  TComPort port;
  port.SetPort(pty.slave);
  port.SetBaudRate(br57600);
  std::uint64_t received = 0;
  std::uint64_t wrong = 0;
  std::uint64_t events = 0;
  port.OnRxChar = [&](TCustomComPort* p, int count) {
    ++events;
    std::string s;
    p->ReadString(s, count);
    for (unsigned char c : s) {
      if (c != static_cast<unsigned char>(received % 251)) ++wrong;
      ++received;
    }
  };
  port.Open();

  const auto total = static_cast<std::uint64_t>(kRate * seconds);
  std::atomic<std::uint64_t> written{0};
  std::atomic<bool> writerFailed{false};
  const double cpu0 = CpuSeconds();
  const auto start = Clock::now();
  std::thread writer([&] {
    // Paced in 5 ms steps at the target rate; the bytes count up modulo 251.
    std::string chunk;
    std::uint64_t next = 0;
    auto tick = start;
    while (next < total) {
      tick += std::chrono::milliseconds(5);
      const auto due = std::min<std::uint64_t>(
          total, static_cast<std::uint64_t>(kRate * std::chrono::duration<double>(tick - start).count()));
      chunk.clear();
      for (std::uint64_t i = next; i < due; ++i) chunk.push_back(static_cast<char>(i % 251));
      std::size_t off = 0;
      while (off < chunk.size()) {
        const ssize_t n = write(pty.master, chunk.data() + off, chunk.size() - off);
        if (n > 0) {
          off += static_cast<std::size_t>(n);
          continue;
        }
        pollfd pfd{pty.master, POLLOUT, 0};
        if (poll(&pfd, 1, 5000) <= 0) {
          writerFailed = true;
          return;
        }
      }
      next = due;
      written = next;
      std::this_thread::sleep_until(tick);
    }
  });
  QTimer check;
  QEventLoop loop;
  QObject::connect(&check, &QTimer::timeout, &loop, [&] {
    if (received >= total || writerFailed || Clock::now() - start > std::chrono::duration<double>(seconds * 2 + 10))
      loop.quit();
  });
  check.start(20);
  loop.exec();
  const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  const double cpu = CpuSeconds() - cpu0;
  writer.join();
  port.Close();
  std::printf(
      "throughput  %.1f s  written %llu  received %llu  out of order %llu  events %llu  %.0f bytes/s  "
      "cpu %.1f %%  %s\n",
      elapsed, static_cast<unsigned long long>(written.load()), static_cast<unsigned long long>(received),
      static_cast<unsigned long long>(wrong), static_cast<unsigned long long>(events),
      static_cast<double>(received) / elapsed, 100.0 * cpu / elapsed,
      received == total && wrong == 0 && !writerFailed ? "all delivered once, in order" : "LOSS OR DISORDER");
}

void Idle(double seconds) {
  Pty pty;
  TComPort port;
  port.SetPort(pty.slave);
  port.OnRxChar = [](TCustomComPort*, int) {};
  port.Open();
  QEventLoop loop;
  QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
  const double cpu0 = CpuSeconds();
  loop.exec();
  const double cpu = CpuSeconds() - cpu0;
  port.Close();
  std::printf("idle      %.1f s open  process cpu %.3f ms (%.4f %%)\n", seconds, cpu * 1000, 100 * cpu / seconds);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  double seconds = 60;
  int samples = 2000;
  double idle = 5;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--seconds")) seconds = std::atof(argv[i + 1]);
    if (!std::strcmp(argv[i], "--samples")) samples = std::atoi(argv[i + 1]);
    if (!std::strcmp(argv[i], "--idle")) idle = std::atof(argv[i + 1]);
  }
  Latency(samples);
  Idle(idle);
  Throughput(seconds);
  return 0;
}
