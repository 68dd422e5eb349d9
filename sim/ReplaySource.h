#pragma once
// A recorded capture of the line, played back in place of the engine model.
// The capture is cut after every "End_Data" so that a stop command can wait
// for the end of the frame on the line; whatever follows the last "End_Data"
// is a segment of its own. Playback loops: after the last segment comes the
// first again.
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qv::sim {

class ReplaySource {
 public:
  struct Segment {
    std::string_view bytes;
    bool end = false;  // the segment ends with "End_Data"
  };

  explicit ReplaySource(std::string capture);  // throws std::invalid_argument when empty
  [[nodiscard]] static ReplaySource FromFile(const std::filesystem::path& path);  // throws std::system_error

  [[nodiscard]] Segment Next();
  [[nodiscard]] std::size_t SegmentCount() const { return cuts_.size(); }

 private:
  std::string capture_;
  std::vector<std::size_t> cuts_;  // end offset of each segment
  std::size_t next_ = 0;
};

}  // namespace qv::sim
