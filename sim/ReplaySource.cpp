#include "ReplaySource.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "FrameEncoder.h"
#include "RecordingReader.h"
#include "SystemError.h"

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

ReplaySource::ReplaySource(const qv::rec::Recording& recording) : capture_(recording.bytes) {
  if (recording.records.empty()) throw std::invalid_argument(recording.name + " holds no records");
  for (const auto& r : recording.records) {
    cuts_.push_back(r.offset + r.size);
    times_.push_back(static_cast<Nanos>(r.time_us) * 1000);
  }
  pass_span_ = times_.back() + kReplayLoopGap;
}

ReplaySource ReplaySource::FromFile(const std::filesystem::path& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    throw std::system_error(EISDIR, std::generic_category(), "cannot read " + path.string());
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) ThrowErrno("cannot read " + path.string());
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) throw std::system_error(EIO, std::generic_category(), "cannot read " + path.string());
  if (!std::string_view(bytes).starts_with(qv::rec::kMagic)) return ReplaySource(std::move(bytes));
  const qv::rec::ReadResult read = qv::rec::ParseRecording(bytes, path.string());
  if (!read.recording) throw std::invalid_argument(read.error);
  if (read.recording->damaged_at) std::fprintf(stderr, "quorvel-sim: warning: %s\n", read.recording->damage.c_str());
  return ReplaySource(*read.recording);
}

Nanos ReplaySource::NextAt() const { return times_.empty() ? 0 : pass_ * pass_span_ + times_[next_]; }

ReplaySource::Segment ReplaySource::Next() {
  const std::size_t begin = next_ == 0 ? 0 : cuts_[next_ - 1];
  const std::size_t end = cuts_[next_];
  const Nanos at = NextAt();
  next_ = (next_ + 1) % cuts_.size();
  if (next_ == 0) ++pass_;
  const std::string_view bytes(capture_.data() + begin, end - begin);
  return {bytes, bytes.ends_with(kEndTag), at};
}

}  // namespace qv::sim
