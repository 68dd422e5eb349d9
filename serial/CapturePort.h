#pragma once
// A stand-in port that serves prepared bytes and records what is written: for
// replaying a capture through the receive handler, and for the tests and the
// fuzzer of the handler.
#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ComPortIO.h"

namespace qv {

class CapturePort : public TComPortIO {
 public:
  CapturePort() = default;
  explicit CapturePort(std::string bytes) : bytes_(std::move(bytes)) {}

  // Appends bytes to what the next reads serve.
  void Feed(std::string_view bytes) {
    bytes_.erase(0, pos_);
    pos_ = 0;
    bytes_.append(bytes);
  }
  // When set, every read calls it first (a test lets it throw the port's error).
  void SetReadFailure(std::function<void()> fail) { fail_read_ = std::move(fail); }

  int ReadString(std::string& Str, int Count) override {
    if (fail_read_) fail_read_();
    const std::size_t n = std::min(bytes_.size() - pos_, static_cast<std::size_t>(std::max(Count, 0)));
    Str.assign(bytes_, pos_, n);
    last_read_ = std::string_view(bytes_).substr(pos_, n);
    pos_ += n;
    return static_cast<int>(n);
  }

  int WriteString(const std::string& Str) override {
    writes_.push_back(Str);
    return static_cast<int>(Str.size());
  }

  std::size_t Remaining() const { return bytes_.size() - pos_; }
  // The bytes the last read served; valid until the next Feed.
  std::string_view LastRead() const { return last_read_; }
  const std::vector<std::string>& Writes() const { return writes_; }

 private:
  std::string bytes_;
  std::size_t pos_ = 0;
  std::string_view last_read_;
  std::vector<std::string> writes_;
  std::function<void()> fail_read_;
};

}  // namespace qv
