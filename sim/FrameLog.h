#pragma once
// A line-per-frame record of what the simulator put on the line, for tests
// and for anyone comparing it with what a receiver made of it. Lines:
//   M <offset> <size> <end> <max0> <max1> <max2> <max3>
//   C <offset> <size> <end> <channel byte> <count text> <n> <sample0> .. <sample n-1>
//   J <offset> <size>
//   R <offset> <size> <end>
// <offset> counts the bytes sent before the frame since the simulator
// started; <end> is 1 when the frame ends with "End_Data", 0 when that was
// left off. Samples are listed newest first, as they are sent. Lines starting
// with '#' are comments.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FrameEncoder.h"

namespace qv::sim {

enum class FrameKind : char { kMaxima = 'M', kChannel = 'C', kJunk = 'J', kReplay = 'R' };

struct LoggedFrame {
  FrameKind kind = FrameKind::kMaxima;
  std::uint64_t offset = 0;
  std::size_t size = 0;
  bool end = true;
  Maxima maxima{};         // maxima records
  int channel_byte = 0;    // channel records
  std::string count_text;  // channel records: the three count characters
  std::vector<std::uint16_t> samples;

  bool operator==(const LoggedFrame&) const = default;
};

[[nodiscard]] std::string FormatLogLine(const LoggedFrame& frame);

// nullopt for a comment or an empty line; throws std::invalid_argument for a
// line that is neither a comment nor a well-formed record.
[[nodiscard]] std::optional<LoggedFrame> ParseLogLine(std::string_view line);
[[nodiscard]] std::vector<LoggedFrame> ParseLog(std::string_view text);

// Appends lines to a file, each flushed at once so a reader sees every frame
// that has left while the simulator still runs.
class FrameLog {
 public:
  FrameLog() = default;
  explicit FrameLog(const std::string& path);  // throws std::system_error
  ~FrameLog();
  FrameLog(const FrameLog&) = delete;
  FrameLog& operator=(const FrameLog&) = delete;

  [[nodiscard]] bool IsOpen() const { return file_ != nullptr; }
  void Write(const LoggedFrame& frame);
  // A line "# <text>", which readers of the log skip.
  void WriteComment(std::string_view text);

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace qv::sim
