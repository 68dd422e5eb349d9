#pragma once
// A stand-in port for replaying a capture: reads serve the capture's bytes in
// order, writes are recorded instead of sent.
#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ComPortIO.h"

namespace qv {

class CapturePort : public TComPortIO {
 public:
  explicit CapturePort(std::string bytes) : bytes_(std::move(bytes)) {}

  int ReadString(std::string& Str, int Count) override {
    const std::size_t n = std::min(bytes_.size() - pos_, static_cast<std::size_t>(std::max(Count, 0)));
    Str.assign(bytes_, pos_, n);
    pos_ += n;
    return static_cast<int>(n);
  }

  int WriteString(const std::string& Str) override {
    writes_.push_back(Str);
    return static_cast<int>(Str.size());
  }

  std::size_t Remaining() const { return bytes_.size() - pos_; }
  const std::vector<std::string>& Writes() const { return writes_; }

 private:
  std::string bytes_;
  std::size_t pos_ = 0;
  std::vector<std::string> writes_;
};

}  // namespace qv
