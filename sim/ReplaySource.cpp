#include "ReplaySource.h"

#include <cerrno>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "FrameEncoder.h"

namespace qv::sim {

ReplaySource::ReplaySource(std::string capture) : capture_(std::move(capture)) {
  if (capture_.empty()) throw std::invalid_argument("the capture is empty");
  std::size_t from = 0;
  for (auto pos = capture_.find(kEndTag); pos != std::string::npos; pos = capture_.find(kEndTag, from)) {
    from = pos + kEndTag.size();
    cuts_.push_back(from);
  }
  if (from < capture_.size()) cuts_.push_back(capture_.size());
}

ReplaySource ReplaySource::FromFile(const std::filesystem::path& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    throw std::system_error(EISDIR, std::generic_category(), "cannot read " + path.string());
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::system_error(errno, std::generic_category(), "cannot read " + path.string());
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) throw std::system_error(EIO, std::generic_category(), "cannot read " + path.string());
  return ReplaySource(std::move(bytes));
}

ReplaySource::Segment ReplaySource::Next() {
  const std::size_t begin = next_ == 0 ? 0 : cuts_[next_ - 1];
  const std::size_t end = cuts_[next_];
  next_ = (next_ + 1) % cuts_.size();
  const std::string_view bytes(capture_.data() + begin, end - begin);
  return {bytes, bytes.ends_with(kEndTag)};
}

}  // namespace qv::sim
