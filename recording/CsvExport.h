#pragma once
// CSV of every decoded maxima frame of a recording (RFC 4180: one header line,
// CR LF line ends, "." as the decimal point). Columns: the time in seconds,
// the four device values, the four values in mBar, D = 100 - value, and each
// D's difference to the reference.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "RecordingReader.h"

namespace qv::rec {

struct Reference {
  // The mean of the four; the midpoint of the smallest and largest; one
  // cylinder; the mean of one pair (1+2 or 3+4), as the workshop view's pair
  // mode measures against a chosen cylinder's pair.
  enum class Kind { kMean, kMidpoint, kCylinder, kPair };
  Kind kind = Kind::kMean;
  int cylinder = 0;  // 0..3, for kCylinder; for kPair either cylinder of the pair

  bool operator==(const Reference&) const = default;
};

// "mean", "midpoint", a cylinder "1".."4" or a pair "1+2", "3+4"; nothing for
// anything else.
[[nodiscard]] std::optional<Reference> ParseReference(std::string_view text);

[[nodiscard]] std::string CsvHeader();

// One line, CR LF included.
void AppendCsvLine(std::string& out, std::uint64_t time_us, const std::array<std::int32_t, 4>& maxima,
                   const Reference& reference);

// The whole CSV: every record is one receive event through the receive
// handler. The handler cuts one frame per event and empties an accumulator
// that grows past its limit, so long records are handed over in pieces and
// after every piece the frames still waiting are drained: every complete
// frame gives its line, stamped with the time of the record that brought its
// last byte, however the bytes were grouped.
[[nodiscard]] std::string ExportCsv(const Recording& recording, const Reference& reference);

}  // namespace qv::rec
