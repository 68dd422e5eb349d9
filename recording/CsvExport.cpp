#include "CsvExport.h"

#include <algorithm>
#include <charconv>
#include <memory>

#include "RecordFeeder.h"

namespace qv::rec {
namespace {

constexpr std::int32_t kZeroMbar = 100;  // D = 100 - the device's value
// Larger records are handed over in pieces of this size, so that with the
// draining after each piece the accumulator never reaches its limit.
constexpr std::size_t kExportEvent = 256;

void AppendInt(std::string& out, std::int64_t v) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

// A value given in quarters, with two decimals: exact for every reference.
void AppendQuarters(std::string& out, std::int64_t q) {
  if (q < 0) out += '-';
  const std::int64_t a = q < 0 ? -q : q;
  AppendInt(out, a / 4);
  static constexpr const char* kFraction[] = {".00", ".25", ".50", ".75"};
  out += kFraction[a % 4];
}

void AppendSeconds(std::string& out, std::uint64_t us) {
  AppendInt(out, static_cast<std::int64_t>(us / 1'000'000));
  char frac[8];
  const auto r = std::to_chars(frac, frac + sizeof frac, static_cast<unsigned>(us % 1'000'000));
  out += '.';
  out.append(static_cast<std::size_t>(6 - (r.ptr - frac)), '0');
  out.append(frac, r.ptr);
}

}  // namespace

std::optional<Reference> ParseReference(std::string_view text) {
  if (text == "mean") return Reference{};
  if (text == "midpoint") return Reference{Reference::Kind::kMidpoint, 0};
  if (text.size() == 1 && text[0] >= '1' && text[0] <= '4') return Reference{Reference::Kind::kCylinder, text[0] - '1'};
  if (text == "1+2") return Reference{Reference::Kind::kPair, 0};
  if (text == "3+4") return Reference{Reference::Kind::kPair, 2};
  return std::nullopt;
}

std::string CsvHeader() {
  return "time_s,value_1,value_2,value_3,value_4,mbar_1,mbar_2,mbar_3,mbar_4,diff_1,diff_2,diff_3,diff_4\r\n";
}

void AppendCsvLine(std::string& out, std::uint64_t time_us, const std::array<std::int32_t, 4>& maxima,
                   const Reference& reference) {
  std::array<std::int64_t, 4> d{};
  for (std::size_t c = 0; c < 4; ++c) d[c] = kZeroMbar - static_cast<std::int64_t>(maxima[c]);
  std::int64_t ref_q = 0;  // the reference in quarters of a mBar
  switch (reference.kind) {
    case Reference::Kind::kMean: ref_q = d[0] + d[1] + d[2] + d[3]; break;
    case Reference::Kind::kMidpoint:
      ref_q = 2 * (*std::min_element(d.begin(), d.end()) + *std::max_element(d.begin(), d.end()));
      break;
    case Reference::Kind::kCylinder:
      ref_q = 4 * d[static_cast<std::size_t>(std::clamp(reference.cylinder, 0, 3))];
      break;
    case Reference::Kind::kPair: {
      const auto first = static_cast<std::size_t>(std::clamp(reference.cylinder, 0, 3) / 2 * 2);
      ref_q = 2 * (d[first] + d[first + 1]);
      break;
    }
  }
  AppendSeconds(out, time_us);
  for (const auto m : maxima) {
    out += ',';
    AppendInt(out, m);
  }
  for (const auto v : d) {
    out += ',';
    AppendInt(out, v);
  }
  for (const auto v : d) {
    out += ',';
    AppendQuarters(out, 4 * v - ref_q);
  }
  out += "\r\n";
}

std::string ExportCsv(const Recording& recording, const Reference& reference) {
  std::string out = CsvHeader();
  auto state = std::make_unique<TMeasurement>();
  RecordFeeder feeder(*state);
  std::uint64_t time_us = 0;
  const auto line = [&] {
    if (feeder.Decoder().LastFrame().maxima == qv::RecordOutcome::kDecoded)
      AppendCsvLine(out, time_us, state->MAXIMA, reference);
  };
  for (const Record& r : recording.records) {
    time_us = r.time_us;
    for (std::string_view bytes = recording.BytesOf(r); !bytes.empty();) {
      const std::size_t n = std::min(bytes.size(), kExportEvent);
      if (feeder.Feed(bytes.substr(0, n))) line();
      feeder.Drain(line);
      bytes.remove_prefix(n);
    }
  }
  return out;
}

}  // namespace qv::rec
