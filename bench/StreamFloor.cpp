#include "StreamFloor.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace qvbench {

double ProcessCpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

namespace {

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) throw std::runtime_error("the floor cannot write to the device");
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

int EnvNumber(const char* name, int fallback) {
  const char* s = std::getenv(name);
  const int n = s ? std::atoi(s) : 0;
  return n > 0 ? n : fallback;
}

}  // namespace

Share ReadAsTheFloor(const std::string& device, std::string_view start, std::string_view stop,
                     std::chrono::milliseconds length, const std::function<double()>& excluded, long* bytes) {
  using Clock = std::chrono::steady_clock;
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) throw std::runtime_error("the floor cannot open " + device);
  termios tio{};
  if (::tcgetattr(fd, &tio) == 0) {
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B57600);
    ::cfsetospeed(&tio, B57600);
    tio.c_cflag |= CLOCAL | CREAD;
    ::tcsetattr(fd, TCSANOW, &tio);
  }
  char buffer[4096];
  long received = 0;
  const double excluded0 = excluded ? excluded() : 0;
  const double cpu0 = ProcessCpuSeconds();
  const auto t0 = Clock::now();
  const auto end = t0 + length;
  WriteAll(fd, start);
  pollfd p{fd, POLLIN, 0};
  for (auto now = t0; now < end; now = Clock::now()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count() + 1;
    if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
    if (p.revents & POLLIN) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n > 0) received += n;
    } else if (p.revents & (POLLERR | POLLHUP | POLLNVAL)) {
      ::close(fd);
      throw std::runtime_error("the device went away under the floor");
    }
  }
  Share share;
  share.wallSeconds = std::chrono::duration<double>(Clock::now() - t0).count();
  share.cpuSeconds = ProcessCpuSeconds() - cpu0 - (excluded ? excluded() - excluded0 : 0);
  try {
    WriteAll(fd, stop);
  } catch (const std::exception&) {
    // The stream's end is the device's affair; the figures are taken.
  }
  ::close(fd);
  if (bytes) *bytes = received;
  if (received == 0) throw std::runtime_error("nothing arrived at the floor from " + device);
  return share;
}

void FloorRatios::Add(const Share& program, const Share& floor) {
  floors_.push_back(floor.Percent());
  ratios_.push_back(floor.Percent() > 0 ? program.Percent() / floor.Percent() : 0);
}

void FloorRatios::Report(benchmark::State& state, const std::string& prefix, const char* what) const {
  if (ratios_.empty()) return;
  const double median = Median(ratios_);
  const auto [lo, hi] = std::minmax_element(ratios_.begin(), ratios_.end());
  state.counters[prefix + "ratio_median"] = median;
  state.counters[prefix + "ratio_min"] = *lo;
  state.counters[prefix + "ratio_max"] = *hi;
  state.counters[prefix + "reader_cpu_percent"] = Median(floors_);
  state.counters["alternations"] = Count();
  std::printf("%s: %.2f x the minimal reader (median of %d; %.2f..%.2f), the reader %.3f %% of a core\n", what, median,
              Count(), *lo, *hi, Median(floors_));
}

int Alternations() { return std::max(5, EnvNumber("QUORVEL_BENCH_ALTERNATIONS", 5)); }

std::chrono::milliseconds AlternationStep() {
  const int seconds = EnvNumber("QUORVEL_BENCH_SECONDS", 10);
  return std::chrono::milliseconds(std::max(1000, seconds * 1000 / Alternations()));
}

}  // namespace qvbench
