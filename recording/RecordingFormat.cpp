#include "RecordingFormat.h"

namespace qv::rec {
namespace {

template <typename T>
void Put(std::string& out, T value) {
  auto v = static_cast<std::uint64_t>(value);
  for (std::size_t i = 0; i < sizeof(T); ++i, v >>= 8) out += static_cast<char>(v & 0xff);
}

}  // namespace

std::string EncodeHeader(const Header& header) {
  std::string out(kMagic);
  Put<std::uint16_t>(out, header.version);
  Put<std::uint16_t>(out, static_cast<std::uint16_t>(kHeaderSize));
  Put<std::int64_t>(out, header.start_utc_us);
  Put<std::uint32_t>(out, header.line.baud);
  Put<std::uint8_t>(out, header.line.data_bits);
  Put<std::uint8_t>(out, static_cast<std::uint8_t>(header.line.parity));
  Put<std::uint8_t>(out, static_cast<std::uint8_t>(header.line.stop_bits));
  Put<std::uint8_t>(out, static_cast<std::uint8_t>(header.line.flow));
  return out;
}

void AppendRecord(std::string& out, std::uint64_t time_us, std::string_view bytes) {
  Put<std::uint64_t>(out, time_us);
  Put<std::uint32_t>(out, static_cast<std::uint32_t>(bytes.size()));
  out.append(bytes);
}

std::string Describe(const LineSettings& line) {
  static constexpr char kParity[] = "NOEMS";
  static constexpr const char* kStop[] = {"1", "1.5", "2"};
  static constexpr const char* kFlow[] = {"no flow control", "RTS/CTS flow control", "XON/XOFF flow control",
                                          "custom flow control"};
  const auto p = static_cast<std::size_t>(line.parity);
  const auto s = static_cast<std::size_t>(line.stop_bits);
  const auto f = static_cast<std::size_t>(line.flow);
  std::string out = std::to_string(line.baud) + ' ' + std::to_string(line.data_bits);
  out += p < 5 ? kParity[p] : '?';
  out += s < 3 ? kStop[s] : "?";
  out += ", ";
  out += f < 4 ? kFlow[f] : "unknown flow control";
  return out;
}

}  // namespace qv::rec
