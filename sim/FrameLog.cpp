#include "FrameLog.h"

#include <cerrno>
#include <charconv>
#include <stdexcept>
#include <system_error>

#include "SystemError.h"

namespace qv::sim {
namespace {

class Fields {
 public:
  explicit Fields(std::string_view line) : rest_(line) {}

  std::string_view Next() {
    const auto start = rest_.find_first_not_of(' ');
    if (start == std::string_view::npos) Fail();
    rest_.remove_prefix(start);
    const auto end = rest_.find(' ');
    std::string_view field = rest_.substr(0, end);
    rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end);
    return field;
  }

  template <typename T>
  T Number() {
    const auto field = Next();
    T value{};
    const auto [ptr, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (ec != std::errc() || ptr != field.data() + field.size()) Fail();
    return value;
  }

  bool Flag() {
    const auto v = Number<int>();
    if (v != 0 && v != 1) Fail();
    return v == 1;
  }

  void ExpectEnd() const {
    if (rest_.find_first_not_of(' ') != std::string_view::npos) Fail();
  }

  [[noreturn]] static void Fail() { throw std::invalid_argument("malformed frame log line"); }

 private:
  std::string_view rest_;
};

}  // namespace

std::string FormatLogLine(const LoggedFrame& f) {
  std::string out;
  out += static_cast<char>(f.kind);
  out += ' ' + std::to_string(f.offset) + ' ' + std::to_string(f.size);
  if (f.kind != FrameKind::kJunk) out += f.end ? " 1" : " 0";
  if (f.kind == FrameKind::kMaxima) {
    for (auto m : f.maxima) out += ' ' + std::to_string(m);
  } else if (f.kind == FrameKind::kChannel) {
    out += ' ' + std::to_string(f.channel_byte) + ' ' + f.count_text + ' ' + std::to_string(f.samples.size());
    for (auto s : f.samples) out += ' ' + std::to_string(s);
  }
  return out;
}

std::optional<LoggedFrame> ParseLogLine(std::string_view line) {
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  if (line.empty() || line.front() == '#') return std::nullopt;
  Fields in(line);
  LoggedFrame f;
  const auto kind = in.Next();
  if (kind.size() != 1) Fields::Fail();
  f.offset = in.Number<std::uint64_t>();
  f.size = in.Number<std::size_t>();
  switch (kind.front()) {
    case 'M':
      f.kind = FrameKind::kMaxima;
      f.end = in.Flag();
      for (auto& m : f.maxima) m = in.Number<std::uint16_t>();
      break;
    case 'C': {
      f.kind = FrameKind::kChannel;
      f.end = in.Flag();
      f.channel_byte = in.Number<int>();
      f.count_text = in.Next();
      const auto n = in.Number<std::size_t>();
      if (n > 999) Fields::Fail();
      f.samples.resize(n);
      for (auto& s : f.samples) s = in.Number<std::uint16_t>();
      break;
    }
    case 'J':
      f.kind = FrameKind::kJunk;
      f.end = false;
      break;
    case 'R':
      f.kind = FrameKind::kReplay;
      f.end = in.Flag();
      break;
    default: Fields::Fail();
  }
  in.ExpectEnd();
  return f;
}

std::vector<LoggedFrame> ParseLog(std::string_view text) {
  std::vector<LoggedFrame> frames;
  while (!text.empty()) {
    const auto eol = text.find('\n');
    const auto line = text.substr(0, eol);
    text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
    if (auto f = ParseLogLine(line)) frames.push_back(std::move(*f));
  }
  return frames;
}

FrameLog::FrameLog(const std::string& path) : file_(std::fopen(path.c_str(), "we")) {
  if (!file_) ThrowErrno("cannot write " + path);
  std::fputs("# quorvel-sim frame log: kind offset size end ...\n", file_);
  std::fflush(file_);
}

FrameLog::~FrameLog() {
  if (file_) std::fclose(file_);
}

void FrameLog::Write(const LoggedFrame& frame) {
  if (!file_) return;
  const std::string line = FormatLogLine(frame) + '\n';
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fflush(file_);
}

void FrameLog::WriteComment(std::string_view text) {
  if (!file_) return;
  const std::string line = "# " + std::string(text) + '\n';
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fflush(file_);
}

}  // namespace qv::sim
