#include "RecordingReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "UniqueFd.h"

namespace qv::rec {
namespace {

template <typename T>
T Get(std::string_view s, std::size_t at) {
  std::uint64_t v = 0;
  for (std::size_t i = sizeof(T); i-- > 0;) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
  return static_cast<T>(v);
}

// Checks the header; returns what is wrong with it, or nothing.
std::string ParseHeader(std::string_view s, Header& h, std::size_t& size) {
  if (s.size() < kMagic.size() + 4) return "the header is cut off";
  h.version = Get<std::uint16_t>(s, kMagic.size());
  if (h.version != kVersion) {
    return "recording format version " + std::to_string(h.version) + " is not supported (this program reads version " +
           std::to_string(kVersion) + ")";
  }
  size = Get<std::uint16_t>(s, kMagic.size() + 2);
  if (size < kHeaderSize) return "the header size " + std::to_string(size) + " is too small";
  if (s.size() < size) return "the header is cut off";
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
    return "the header's line settings are not valid";
  }
  h.line.parity = static_cast<Parity>(parity);
  h.line.stop_bits = static_cast<StopBits>(stop);
  h.line.flow = static_cast<FlowControl>(flow);
  return {};
}

void ParseRecords(std::string_view s, std::size_t at, Recording& r) {
  std::uint64_t last_time = 0;
  const auto stop = [&](std::size_t where, const std::string& why) {
    r.damaged_at = where;
    r.damage = r.name + ": " + why + " at byte " + std::to_string(where) + "; the " + std::to_string(r.records.size()) +
               " records before it are read";
  };
  while (at < s.size()) {
    if (s.size() - at < kRecordHeaderSize) return stop(at, "the last record is cut off");
    const auto time = Get<std::uint64_t>(s, at);
    const auto count = Get<std::uint32_t>(s, at + 8);
    if (time < last_time) return stop(at, "a record's time goes backwards");
    if (count > kMaxRecordBytes) return stop(at, "a record's byte count is too large");
    if (s.size() - at - kRecordHeaderSize < count) return stop(at, "the last record is cut off");
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

}  // namespace

ReadResult ParseRecording(std::string_view contents, std::string name) {
  ReadResult result;
  if (contents.empty()) {
    result.error = name + " is empty: it is neither a recording nor a capture";
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
  if (std::string why = ParseHeader(contents, header, header_size); !why.empty()) {
    result.error = r.name + " is not a readable recording: " + why;
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
    result.error = "cannot read " + name + ": " + std::strerror(err);
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
