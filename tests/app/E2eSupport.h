#pragma once
// The program's main window on the real simulator: what the window decoded,
// frame by frame, and what the simulator says it sent, from its frame log.
#include <QImage>
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "Decoder.h"
#include "FrameLog.h"
#include "SimProcess.h"
#include "support/TestEnv.h"

class TCustomComPort;
class TForm1;

namespace e2e {

using qv::sim::LoggedFrame;

// The measurement state right after one AUSGABE.
struct Snapshot {
  qv::FrameReport report;
  std::array<std::int32_t, 4> maxima{};
  std::int32_t sample_count = 0;
  std::array<std::array<std::int32_t, 301>, 4> channels{};
};

// Sits between the port and the window's receive handler and records every
// decoded frame. The frame signal lights LED_RX at the start of every AUSGABE
// and at most one frame is cut per receive event, so the lamp is set to a
// colour the window never uses before each event: lit afterwards means one
// frame. Otherwise its colour is put back, so the lamp shows what the window
// made of it.
class FrameRecorder {
 public:
  explicit FrameRecorder(TForm1& form);
  ~FrameRecorder();
  FrameRecorder(const FrameRecorder&) = delete;
  FrameRecorder& operator=(const FrameRecorder&) = delete;

  [[nodiscard]] const std::vector<Snapshot>& Frames() const { return frames_; }
  [[nodiscard]] std::size_t Count() const { return frames_.size(); }

 private:
  TForm1& form_;
  std::function<void(TCustomComPort*, int)> previous_;
  std::vector<Snapshot> frames_;
};

// Keeps the pictures of the last redraw ticks.
class TickPictures {
 public:
  explicit TickPictures(TForm1& form);
  ~TickPictures();
  TickPictures(const TickPictures&) = delete;
  TickPictures& operator=(const TickPictures&) = delete;

  void Clear() { pictures_.clear(); }
  [[nodiscard]] const std::vector<QImage>& Pictures() const { return pictures_; }
  // Consecutive pairs of tick pictures that differ.
  [[nodiscard]] int Changes() const;

 private:
  TForm1& form_;
  std::function<void()> previous_;
  std::vector<QImage> pictures_;
};

// The simulator's log as far as it has been written: complete lines only.
struct SimLog {
  std::vector<LoggedFrame> frames;  // junk runs included
  // "# t <bytes> <ns>" lines: bytes handed out by then, monotonic time.
  std::vector<std::pair<std::uint64_t, std::int64_t>> times;
};
[[nodiscard]] SimLog ReadSimLog(const std::filesystem::path& path);

// The maxima frames and channel records, without junk.
[[nodiscard]] std::vector<LoggedFrame> Records(const std::vector<LoggedFrame>& frames);

// What a receiver must make of the stream, frame by frame, whatever faults it
// carries: a record whose frame ends with "End_Data" and follows a frame that
// ended so too is cut on its own and decoded; a maxima record then sets
// MAXIMA, a channel record with a channel byte 0..3 and a readable count
// fills its channel. Records next to a fault are left out.
struct Expectation {
  std::size_t record = 0;  // index in Records()
  LoggedFrame frame;
};
[[nodiscard]] std::vector<Expectation> DecodableRecords(const std::vector<LoggedFrame>& records);

// Whether a snapshot shows the record as decoded.
[[nodiscard]] bool Shows(const Snapshot& s, const LoggedFrame& record);

// Frames that have arrived complete but wait in INSTRING for the next event.
[[nodiscard]] std::size_t WaitingFrames(const std::string& instring);

// Processes events until cond holds or `seconds` have passed.
bool WaitUntil(const std::function<bool()>& cond, int seconds = 10);

// The real simulator with its frame log in a scratch folder.
class SimDevice {
 public:
  explicit SimDevice(std::vector<std::string> options);
  // The slave side of its pseudo-terminal; empty when it did not start.
  [[nodiscard]] const std::string& Path() const { return path_; }
  [[nodiscard]] const std::filesystem::path& LogPath() const { return log_; }
  [[nodiscard]] SimLog Log() const { return ReadSimLog(log_); }
  [[nodiscard]] std::vector<LoggedFrame> Records() const { return e2e::Records(Log().frames); }
  // Waits until the log has not grown for `quiet_ms`; false when it kept growing for 10 s.
  bool WaitForSilence(int quiet_ms);
  // Ends it with SIGTERM; its exit status, its standard output then in Stdout().
  int Stop();
  [[nodiscard]] const std::string& Stdout() const { return process_.Stdout(); }

 private:
  qvtest::ScratchDir dir_;
  std::filesystem::path log_;
  simtest::SimProcess process_;
  std::string path_;
};

}  // namespace e2e
