#pragma once
// The recording file format (docs/recording.md): a header with a magic, the
// version, the start time and the port's line settings, then records of
// (microseconds since the start, byte count, the bytes as read from the port).
// All numbers are little-endian.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qv::rec {

// "QVREC", CR LF, Ctrl-Z, LF: a text-mode transfer or a raw capture of the
// device's stream cannot produce it by accident.
inline constexpr std::string_view kMagic{"QVREC\r\n\x1a\n", 9};
inline constexpr std::uint16_t kVersion = 1;
// magic, version (2), header size (2), start time (8), baud (4), data bits,
// parity, stop bits, flow control (1 each).
inline constexpr std::size_t kHeaderSize = kMagic.size() + 2 + 2 + 8 + 4 + 4;
inline constexpr std::size_t kRecordHeaderSize = 8 + 4;  // time (8), byte count (4)
// No port read hands over more than this at once; a larger count is damage.
inline constexpr std::uint32_t kMaxRecordBytes = 1u << 20;

enum class Parity : std::uint8_t { kNone = 0, kOdd = 1, kEven = 2, kMark = 3, kSpace = 4 };
enum class StopBits : std::uint8_t { kOne = 0, kOneAndHalf = 1, kTwo = 2 };
enum class FlowControl : std::uint8_t { kNone = 0, kHardware = 1, kSoftware = 2, kCustom = 3 };

struct LineSettings {
  std::uint32_t baud = 57600;
  std::uint8_t data_bits = 8;
  Parity parity = Parity::kNone;
  StopBits stop_bits = StopBits::kOne;
  FlowControl flow = FlowControl::kNone;
  friend bool operator==(const LineSettings&, const LineSettings&) = default;
};

struct Header {
  std::uint16_t version = kVersion;
  std::int64_t start_utc_us = 0;  // microseconds since 1970-01-01 00:00 UTC
  LineSettings line;
  friend bool operator==(const Header&, const Header&) = default;
};

[[nodiscard]] std::string EncodeHeader(const Header& header);

// Appends one record to `out`.
void AppendRecord(std::string& out, std::uint64_t time_us, std::string_view bytes);

// "57600 8N1, no flow control" and the like, for messages and tools.
[[nodiscard]] std::string Describe(const LineSettings& line);

}  // namespace qv::rec
