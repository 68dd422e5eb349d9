#include "DecodeCliOutput.h"

#include <algorithm>
#include <cstdio>

namespace qv {

std::string HexOf(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    hex += kDigits[b >> 4];
    hex += kDigits[b & 0xf];
  }
  return hex;
}

std::string JsonString(std::string_view bytes) {
  std::string s = "\"";
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b == '"' || b == '\\') {
      s += '\\';
      s += c;
    } else if (b < 0x20 || b >= 0x7f) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", b);
      s += esc;
    } else {
      s += c;
    }
  }
  return s + "\"";
}

void PrintFrameLine(std::ostream& out, int frameNumber, const FrameReport& report, const TMeasurement& state) {
  out << "frame " << frameNumber << ":";
  bool any = false;
  const auto part = [&]() -> std::ostream& {
    out << (any ? "; " : " ");
    any = true;
    return out;
  };
  switch (report.maxima) {
    case RecordOutcome::kDecoded:
      part() << "maxima";
      for (const auto m : state.MAXIMA) out << ' ' << m;
      break;
    case RecordOutcome::kAbsent: break;
    default: part() << "maxima record dropped (past the end of the buffer)"; break;
  }
  switch (report.channel) {
    case RecordOutcome::kDecoded:
      part() << "channel " << report.channel_number << " count " << report.sample_count;
      if (report.samples_stored != std::max(report.sample_count, 0))
        out << " (" << report.samples_stored << " samples stored)";
      break;
    case RecordOutcome::kBadChannel:
      part() << "channel record ignored (channel byte " << report.channel_number << ")";
      break;
    case RecordOutcome::kBadCount: part() << "channel record ignored (count is no number)"; break;
    case RecordOutcome::kOutOfBounds: part() << "channel record dropped (past the end of the buffer)"; break;
    case RecordOutcome::kAbsent: break;
  }
  if (!any) out << " no record";
  out << '\n';
}

void PrintWriteLine(std::ostream& out, std::string_view written) { out << "write " << JsonString(written) << '\n'; }

void PrintStateJson(std::ostream& out, const TMeasurement& state, int frames, const std::vector<std::string>& writes) {
  const auto ints = [&](const auto& values) {
    out << '[';
    for (std::size_t i = 0; i < values.size(); ++i) out << (i ? "," : "") << values[i];
    out << ']';
  };
  out << "{\"MAXIMA\":";
  ints(state.MAXIMA);
  out << ",\"SAMPLE_COUNT\":" << state.SAMPLE_COUNT << ",\"CHANNEL_DATA\":[";
  for (std::size_t c = 0; c < state.CHANNEL_DATA.size(); ++c) {
    if (c) out << ',';
    ints(state.CHANNEL_DATA[c]);
  }
  const std::string_view inbuffer(reinterpret_cast<const char*>(state.INBUFFER.data()), state.INBUFFER.size());
  out << "],\"INSTRING\":\"" << HexOf(state.INSTRING) << "\",\"DATASTRING\":\"" << HexOf(state.DATASTRING)
      << "\",\"INBUFFER\":\"" << HexOf(inbuffer) << "\",\"frames\":" << frames << ",\"writes\":[";
  for (std::size_t i = 0; i < writes.size(); ++i) out << (i ? "," : "") << JsonString(writes[i]);
  out << "]}\n";
}

}  // namespace qv
