#include "FrameEncoder.h"

#include <stdexcept>

namespace qv::sim {
namespace {

void AppendU16(std::string& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

}  // namespace

std::string EncodeMaxima(const Maxima& maxima) {
  std::string out;
  out.reserve(kMaximaFrameSize);
  out.append(kMaximaTag);
  for (std::uint16_t m : maxima) AppendU16(out, m);
  out.append(kEndTag);
  return out;
}

std::string EncodeChannel(std::uint8_t channel_byte, std::span<const std::uint16_t> samples,
                          std::string_view count_text) {
  if (samples.size() > 999) throw std::invalid_argument("a channel record holds at most 999 samples");
  std::string count;
  if (count_text.empty()) {
    const auto n = static_cast<unsigned>(samples.size());
    count = {static_cast<char>('0' + n / 100), static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)};
  } else if (count_text.size() == kCountSize) {
    count = count_text;
  } else {
    throw std::invalid_argument("the count field is three characters");
  }
  std::string out;
  out.reserve(ChannelFrameSize(samples.size()));
  out.append(kChannelTag);
  out.push_back(static_cast<char>(channel_byte));
  out.append(kCountOffset - kChannelByteOffset - 1, '\0');
  out.append(count);
  out.append(kSamplesOffset - kCountOffset - kCountSize, '\0');
  for (std::uint16_t s : samples) AppendU16(out, s);
  out.append(kEndTag);
  return out;
}

}  // namespace qv::sim
