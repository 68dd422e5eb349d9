#pragma once
// Writes a recording while a scan runs. The receive handler's thread only
// appends each read's bytes to a buffer in memory; a thread of the writer's
// own moves the buffer to the file, and flushes it to the disk at least once a
// second and when the recording stops. A failing write (a full disk, a file
// size limit) ends the recording with a message; it never throws into the
// caller, so the scan goes on.
#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "RecordingFormat.h"
#include "RecordingTexts.h"
#include "UniqueFd.h"

namespace qv::rec {

struct WriterStatus {
  bool recording = false;  // accepting bytes
  bool failed = false;     // stopped by an error; `message` says which (in English)
  std::string message;
  Problem problem;                  // the same, to be told in the user's language
  std::filesystem::path file;       // the file being or last written
  std::uint64_t bytes_written = 0;  // to the file, header included
};

class RecordingWriter {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kFlushInterval{500};

  RecordingWriter() = default;
  ~RecordingWriter();  // stops a running recording
  RecordingWriter(const RecordingWriter&) = delete;
  RecordingWriter& operator=(const RecordingWriter&) = delete;

  // Creates a new file named after `start_utc` in `folder` (made when missing)
  // and starts writing. False, with the reason in Status(), when the file
  // cannot be created; a running recording is stopped first.
  [[nodiscard]] bool Start(const std::filesystem::path& folder, const LineSettings& line,
                           std::chrono::system_clock::time_point start_utc = std::chrono::system_clock::now());

  // Adds the bytes of one read, stamped with the time since Start. Cheap: a
  // lock, a copy into memory and an unlock; nothing when not recording.
  void Append(std::string_view bytes) { Append(bytes, Clock::now()); }
  void Append(std::string_view bytes, Clock::time_point now);

  // Writes what is left, flushes it to the disk and closes the file.
  void Stop();

  [[nodiscard]] bool Recording() const { return accepting_.load(std::memory_order_relaxed); }
  // Called on the writer's thread when an error has stopped the recording.
  void SetOnFailure(std::function<void()> on_failure) { on_failure_ = std::move(on_failure); }
  [[nodiscard]] WriterStatus Status() const;

 private:
  void Run();
  bool WriteOut(const std::string& bytes);  // false once writing failed
  void Fail(int err, Problem::Kind what);

  std::function<void()> on_failure_;  // set while no recording runs
  std::atomic<bool> accepting_{false};
  mutable std::mutex mutex_;  // guards everything below
  std::condition_variable wake_;
  std::string pending_;  // appended by the caller, taken by the writer thread
  bool stopping_ = false;
  Clock::time_point start_{};
  WriterStatus status_;
  UniqueFd fd_;
  std::thread thread_;
};

// The file name for a recording started at `start_utc`:
// quorvel-2026-12-08T14-03-12.qvrec, the time in UTC; `n` above 1 adds "-n".
[[nodiscard]] std::string RecordingFileName(std::chrono::system_clock::time_point start_utc, int n = 1);

}  // namespace qv::rec
