#include "RecordingReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "UniqueFd.h"

namespace qv::rec {
namespace {

template <typename T>
T Get(std::string_view s, std::size_t at) {
  std::uint64_t v = 0;
  for (std::size_t i = sizeof(T); i-- > 0;) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
  return static_cast<T>(v);
}

// Checks the header; returns what is wrong with it (its kind and number), or kNone.
Problem ParseHeader(std::string_view s, Header& h, std::size_t& size) {
  const auto bad = [](Problem::Kind kind, std::uint64_t number = 0) {
    Problem p;
    p.kind = kind;
    p.number = number;
    return p;
  };
  if (s.size() < kMagic.size() + 4) return bad(Problem::Kind::kHeaderCutOff);
  h.version = Get<std::uint16_t>(s, kMagic.size());
  if (h.version != kVersion) return bad(Problem::Kind::kUnknownVersion, h.version);
  size = Get<std::uint16_t>(s, kMagic.size() + 2);
  if (size < kHeaderSize) return bad(Problem::Kind::kHeaderTooSmall, size);
  if (s.size() < size) return bad(Problem::Kind::kHeaderCutOff);
  std::size_t at = kMagic.size() + 4;
  h.start_utc_us = Get<std::int64_t>(s, at);
  at += 8;
  h.line.baud = Get<std::uint32_t>(s, at);
  at += 4;
  h.line.data_bits = Get<std::uint8_t>(s, at++);
  const auto parity = Get<std::uint8_t>(s, at++);
  const auto stop = Get<std::uint8_t>(s, at++);
  const auto flow = Get<std::uint8_t>(s, at++);
  if (h.line.baud == 0 || h.line.data_bits < 5 || h.line.data_bits > 8 || parity > 4 || stop > 2 || flow > 3) {
    return bad(Problem::Kind::kBadLineSettings);
  }
  h.line.parity = static_cast<Parity>(parity);
  h.line.stop_bits = static_cast<StopBits>(stop);
  h.line.flow = static_cast<FlowControl>(flow);
  return {};
}

void ParseRecords(std::string_view s, std::size_t at, Recording& r) {
  std::uint64_t last_time = 0;
  const auto stop = [&](std::size_t where, Problem::Kind why) {
    r.damaged_at = where;
    r.damage_problem.kind = why;
    r.damage_problem.file = r.name;
    r.damage_problem.number = where;
    r.damage_problem.records = r.records.size();
    r.damage = ProblemText(r.damage_problem, Language::English);
  };
  while (at < s.size()) {
    if (s.size() - at < kRecordHeaderSize) return stop(at, Problem::Kind::kRecordCutOff);
    const auto time = Get<std::uint64_t>(s, at);
    const auto count = Get<std::uint32_t>(s, at + 8);
    if (time < last_time) return stop(at, Problem::Kind::kTimeBackwards);
    if (count > kMaxRecordBytes) return stop(at, Problem::Kind::kCountTooLarge);
    if (s.size() - at - kRecordHeaderSize < count) return stop(at, Problem::Kind::kRecordCutOff);
    r.records.push_back({time, r.bytes.size(), count});
    r.bytes.append(s.substr(at + kRecordHeaderSize, count));
    last_time = time;
    at += kRecordHeaderSize + count;
  }
}

void SplitRaw(std::string_view s, Recording& r) {
  r.bytes.assign(s);
  r.records.reserve(s.size() / kRawChunk + 1);
  for (std::size_t at = 0; at < s.size(); at += kRawChunk) {
    const std::uint64_t time = static_cast<std::uint64_t>(at) * 1'000'000 / kRawBytesPerSecond;
    r.records.push_back({time, at, std::min(kRawChunk, s.size() - at)});
  }
}

void Refuse(ReadResult& result, Problem problem) {
  result.problem = std::move(problem);
  result.error = ProblemText(result.problem, Language::English);
}

}  // namespace

ReadResult ParseRecording(std::string_view contents, std::string name) {
  ReadResult result;
  if (contents.empty()) {
    Refuse(result, {.kind = Problem::Kind::kEmptyFile, .file = std::move(name)});
    return result;
  }
  Recording r;
  r.name = std::move(name);
  if (!contents.starts_with(kMagic)) {
    r.kind = Recording::Kind::kRawCapture;
    SplitRaw(contents, r);
    result.recording = std::move(r);
    return result;
  }
  r.kind = Recording::Kind::kRecording;
  Header header;
  std::size_t header_size = 0;
  if (Problem why = ParseHeader(contents, header, header_size); why.kind != Problem::Kind::kNone) {
    why.file = r.name;
    Refuse(result, std::move(why));
    return result;
  }
  r.header = header;
  ParseRecords(contents, header_size, r);
  result.recording = std::move(r);
  return result;
}

ReadResult ReadRecording(const std::filesystem::path& path) {
  ReadResult result;
  const std::string name = path.string();
  const auto fail = [&](int err) {
    Refuse(result, {.kind = Problem::Kind::kCannotRead, .file = name, .err = err});
    return result;
  };
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
  if (!fd.valid()) return fail(errno);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return fail(errno);
  if (S_ISDIR(st.st_mode)) return fail(EISDIR);
  std::string contents;
  if (S_ISREG(st.st_mode)) contents.reserve(static_cast<std::size_t>(st.st_size));
  char chunk[65536];
  while (true) {
    const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(errno);
    if (n == 0) break;
    contents.append(chunk, static_cast<std::size_t>(n));
  }
  return ParseRecording(contents, name);
}

}  // namespace qv::rec
