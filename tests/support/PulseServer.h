#pragma once
// A private PulseAudio sound server for tests and benchmarks: one null sink
// (48 kHz mono) and the native protocol on a Unix socket in a folder of its
// own; nothing of the user's sound setup is read or touched. A Recorder
// records the sink's monitor through parec, stamping what arrives with the
// steady clock. Plain C++.
#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qvtest {

class PulseServer {
 public:
  static constexpr const char* kSink = "qvtone";
  static constexpr int kRate = 48000;

  // Starts the server below `folder` and waits (10 s at most) until it takes
  // connections. Points PULSE_SERVER of this process at it, and HOME,
  // XDG_RUNTIME_DIR and PULSE_RUNTIME_PATH into `folder`.
  explicit PulseServer(const std::filesystem::path& folder);
  ~PulseServer();  // stops the server
  PulseServer(const PulseServer&) = delete;
  PulseServer& operator=(const PulseServer&) = delete;

  // Empty when it runs, else why not (with the end of its log).
  [[nodiscard]] const std::string& Failure() const { return failure_; }
  [[nodiscard]] std::string Address() const { return "unix:" + socket_.string(); }
  [[nodiscard]] pid_t Pid() const { return pid_; }
  // Stops it now (SIGTERM, then SIGKILL after 5 s).
  void Kill();

 private:
  std::filesystem::path folder_, socket_, log_;
  pid_t pid_ = -1;
  std::string failure_;
};

class Recorder {
 public:
  using Clock = std::chrono::steady_clock;
  struct Chunk {
    Clock::time_point arrived;
    std::size_t endSample;  // samples recorded up to and including this chunk
  };

  // Records PulseServer::kSink's monitor as 16-bit mono at kRate.
  explicit Recorder(const std::string& server);
  ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  [[nodiscard]] bool Running() const { return pid_ > 0; }
  // Waits until at least `samples` have been recorded, at most `patience`.
  bool WaitFor(std::size_t samples, std::chrono::milliseconds patience);
  // What has been recorded so far, in -1..1, and when each piece arrived.
  [[nodiscard]] std::vector<float> Samples() const;
  [[nodiscard]] std::vector<Chunk> Chunks() const;
  void Stop();

 private:
  void Read();
  pid_t pid_ = -1;
  int fd_ = -1;
  std::thread reader_;
  mutable std::mutex mutex_;
  std::vector<float> samples_;
  std::vector<Chunk> chunks_;
};

}  // namespace qvtest
