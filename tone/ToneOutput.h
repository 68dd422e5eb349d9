#pragma once
// The guidance tone on the sound server: a thread of its own renders the tone
// in 5 ms blocks and writes them to PulseAudio with a small buffer (about
// 40 ms), so a change of the input is heard within a few blocks. Connecting,
// writing and failing all happen on that thread; the caller's thread only
// hands in the input and reads the status, and never waits for the server.
//
// Without a sound server (a build machine, a server) the status says so and
// nothing else changes.
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "Guidance.h"

namespace qv::tone {

enum class OutputStatus {
  kStopped,      // not started, or stopped
  kStarting,     // connecting to the sound server
  kPlaying,      // the stream runs (silence included)
  kUnavailable,  // no sound output: no server, or it went away; see Error()
};

struct OutputOptions {
  std::string server;               // empty: the user's default (PULSE_SERVER, the session's server)
  std::string appName = "Quorvel";  // how the server lists the program
  double bufferSeconds = 0.04;      // the server's target buffer: the tone's delay
  int sampleRate = 48000;
};

class ToneOutput {
 public:
  explicit ToneOutput(OutputOptions options = {});
  ~ToneOutput();  // stops
  ToneOutput(const ToneOutput&) = delete;
  ToneOutput& operator=(const ToneOutput&) = delete;

  // Starts the output thread (again after a stop or a failure); returns at once.
  void Start();
  // Ends the stream without playing out what is buffered; returns once the
  // thread has ended: within about one block, or, while connecting, when the
  // attempt ends (at once for a local server that is not there).
  void Stop();

  // From any thread; taken at the next block.
  void SetInput(const GuidanceInput& input);
  void SetVolume(double volume);

  [[nodiscard]] OutputStatus Status() const { return status_.load(); }
  // Why the output is unavailable, in the sound server's words.
  [[nodiscard]] std::string Error() const;
  // The delay the server reports from a written sample to its playing, in
  // seconds; 0 until known.
  [[nodiscard]] double ReportedLatency() const { return latency_.load(); }

  // Called when the status changes: in Start() and Stop(), or on the output
  // thread, so the owner hands it to its own thread. Set before Start().
  std::function<void(OutputStatus)> OnStatus;

 private:
  void Run();
  void SetStatus(OutputStatus s, const std::string& error = {});

  OutputOptions options_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<OutputStatus> status_{OutputStatus::kStopped};
  std::atomic<double> latency_{0};
  mutable std::mutex mutex_;  // guards input_, volume_, error_
  GuidanceInput input_;
  double volume_ = 0.5;
  std::string error_;
};

}  // namespace qv::tone
