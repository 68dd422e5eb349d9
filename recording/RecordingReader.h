#pragma once
// Reads a recording, or a plain raw capture of the line, into memory.
//
// A file that begins with the magic is a recording: its header must be
// understood, then its records are taken up to the last whole one; a cut or
// damaged record ends the readable part and is reported with its byte offset.
// Any other non-empty file is a raw capture: its bytes become records of
// kRawChunk bytes, timed as the device's line would have carried them. The
// file is only ever opened for reading.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "RecordingFormat.h"
#include "RecordingTexts.h"

namespace qv::rec {

inline constexpr std::size_t kRawChunk = 64;
inline constexpr std::uint32_t kRawBytesPerSecond = 5760;  // 57600 baud, 8N1

struct Record {
  std::uint64_t time_us = 0;  // since the start of the recording
  std::size_t offset = 0;     // of its bytes in Recording::bytes
  std::size_t size = 0;
};

struct Recording {
  enum class Kind { kRecording, kRawCapture };
  Kind kind = Kind::kRawCapture;
  std::string name;                         // the file, as given; used in messages
  std::optional<Header> header;             // recordings only
  std::string bytes;                        // every record's bytes, one after the other
  std::vector<Record> records;              // in file order, times never decreasing
  std::optional<std::uint64_t> damaged_at;  // file offset where reading stopped
  std::string damage;                       // what was wrong there, naming the file (in English)
  Problem damage_problem;                   // the same, to be told in the user's language

  [[nodiscard]] std::string_view BytesOf(const Record& r) const {
    return std::string_view(bytes).substr(r.offset, r.size);
  }
  [[nodiscard]] std::uint64_t DurationUs() const { return records.empty() ? 0 : records.back().time_us; }
};

struct ReadResult {
  std::optional<Recording> recording;
  std::string error;  // why nothing could be read, naming the file (in English); empty on success
  Problem problem;    // the same, to be told in the user's language
};

// Parses file contents; `name` names the file in messages.
[[nodiscard]] ReadResult ParseRecording(std::string_view contents, std::string name);

// Reads and parses the file at `path`.
[[nodiscard]] ReadResult ReadRecording(const std::filesystem::path& path);

}  // namespace qv::rec
