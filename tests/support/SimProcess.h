#pragma once
// Starts the built simulator as a child process and talks to its device.
#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace simtest {

using std::chrono::milliseconds;
inline constexpr milliseconds kPatience{10000};  // generous: a device test, not a stopwatch

class SimProcess {
 public:
  explicit SimProcess(const std::vector<std::string>& args);  // stdin is /dev/null
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  pid_t Pid() const { return pid_; }
  std::string ReadStdoutLine();  // "" when the output ends first
  void Signal(int sig) const;
  // Reads both outputs to their end and reaps the child; returns its exit status (-1: not a normal exit).
  int Finish();
  const std::string& Stdout() const { return out_; }
  const std::string& Stderr() const { return err_; }

 private:
  pid_t pid_ = -1;
  int out_fd_ = -1;
  int err_fd_ = -1;
  std::string out_;
  std::string err_;
  std::size_t line_pos_ = 0;
};

// One run to its end: exit status and outputs.
struct RunResult {
  int status;
  std::string out;
  std::string err;
};
RunResult RunSim(const std::vector<std::string>& args);

// The simulated device, opened as the program opens a serial port (raw, non-blocking).
class DeviceLine {
 public:
  explicit DeviceLine(const std::string& path);
  ~DeviceLine();
  DeviceLine(const DeviceLine&) = delete;
  DeviceLine& operator=(const DeviceLine&) = delete;

  void Write(const std::string& bytes) const;
  // Reads until `needle` has arrived `times` times in what was read, or the patience runs out.
  std::string ReadUntil(const std::string& needle, int times = 1);
  // Reads whatever arrives within `window`.
  std::string ReadFor(milliseconds window);
  // Reads until the line has been quiet for `quiet`, or the patience runs out.
  std::string Drain(milliseconds quiet);
  // One read of what has arrived within `wait`, appended to `into`; false when nothing came.
  bool ReadSome(std::string& into, milliseconds wait);

 private:
  int fd_ = -1;
};

}  // namespace simtest
