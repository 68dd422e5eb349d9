#pragma once
// The floor under the whole program's processor share: a minimal reader of the
// same stream. It opens the device's pseudo-terminal as the program does
// (raw, 57600 baud), sends the command that starts the stream, and polls and
// reads into a buffer it throws away. What the program spends on the same
// stream, as a multiple of this, holds from run to run on a noisy virtual
// machine, where the absolute shares swing by a factor of two: the kernel's
// wake-ups, which both pay, dominate both and rise and fall together.
#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qvbench {

// Processor time of this process, user and system, in seconds.
double ProcessCpuSeconds();

struct Share {
  double cpuSeconds = 0;
  double wallSeconds = 0;
  double Percent() const { return wallSeconds > 0 ? 100.0 * cpuSeconds / wallSeconds : 0; }
};

// Reads `device` for `length` as the floor: `start` is written once opened,
// `stop` before closing. The share is this process's processor time over the
// run, less what `excluded` (seconds, counting up; may be empty) grew by: a
// streaming thread of the benchmark's own, taken off the program's share the
// same way. `bytes`, when given, gets what arrived.
Share ReadAsTheFloor(const std::string& device, std::string_view start, std::string_view stop,
                     std::chrono::milliseconds length, const std::function<double()>& excluded = {},
                     long* bytes = nullptr);

// The program's and the floor's shares of each alternation, measured back to
// back. Each pair goes into `ratios` as program / floor.
class FloorRatios {
 public:
  void Add(const Share& program, const Share& floor);
  int Count() const { return static_cast<int>(ratios_.size()); }
  // Sets <prefix>ratio_median, _min, _max, <prefix>reader_cpu_percent (the
  // median floor) and alternations on the benchmark, and prints one line.
  void Report(benchmark::State& state, const std::string& prefix, const char* what) const;

 private:
  std::vector<double> ratios_;
  std::vector<double> floors_;
};

// How many alternations of program and floor a share benchmark makes (at
// least five; QUORVEL_BENCH_ALTERNATIONS raises it), and the length of each
// side of one: QUORVEL_BENCH_SECONDS (default 10) spread over them, at least
// one second.
int Alternations();
std::chrono::milliseconds AlternationStep();

}  // namespace qvbench
