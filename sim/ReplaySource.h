#pragma once
// A recorded capture of the line, played back in place of the engine model.
//
// A raw capture is cut after every "End_Data" so that a stop command can wait
// for the end of the frame on the line; whatever follows the last "End_Data"
// is a segment of its own; it plays at the line's rate. A recording (the
// .qvrec format) plays each recorded read as a segment at its recorded time.
// Playback loops: after the last segment comes the first again, a recording's
// times continuing one loop gap after its last record.
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "SimTypes.h"

namespace qv::rec {
struct Recording;
}

namespace qv::sim {

// Between the last record of a recording and its first one, played again.
inline constexpr Nanos kReplayLoopGap = 100 * kNanosPerMilli;

class ReplaySource {
 public:
  struct Segment {
    std::string_view bytes;
    bool end = false;  // the segment ends with "End_Data"
    Nanos at = 0;      // recordings: when it is due, counted from the first pass's start
  };

  explicit ReplaySource(std::string capture);                  // throws std::invalid_argument when empty
  explicit ReplaySource(const qv::rec::Recording& recording);  // throws std::invalid_argument without records
  // Reads a recording or a raw capture. Throws std::system_error when the file
  // cannot be read, std::invalid_argument when it is empty or not understood.
  [[nodiscard]] static ReplaySource FromFile(const std::filesystem::path& path);

  [[nodiscard]] Segment Next();
  // When the segment Next() returns is due (recordings only).
  [[nodiscard]] Nanos NextAt() const;
  [[nodiscard]] bool Timed() const { return !times_.empty(); }
  [[nodiscard]] std::size_t SegmentCount() const { return cuts_.size(); }

 private:
  std::string capture_;
  std::vector<std::size_t> cuts_;  // end offset of each segment
  std::vector<Nanos> times_;       // recordings: each segment's time in the file
  Nanos pass_span_ = 0;            // recordings: from one pass's start to the next
  std::size_t next_ = 0;
  std::int64_t pass_ = 0;
};

}  // namespace qv::sim
