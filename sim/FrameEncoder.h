#pragma once
// The device's two record kinds as bytes on the wire. Values are unsigned
// 16-bit, low byte first; every frame ends with "End_Data".
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace qv::sim {

inline constexpr std::string_view kMaximaTag = "MUXA#Maxima";
inline constexpr std::string_view kChannelTag = "MUXA#Channel";
inline constexpr std::string_view kEndTag = "End_Data";

// Offsets inside a channel record, counted from the first byte of its tag.
inline constexpr std::size_t kChannelByteOffset = 12;
inline constexpr std::size_t kCountOffset = 20;
inline constexpr std::size_t kCountSize = 3;
inline constexpr std::size_t kSamplesOffset = 34;

// Offset of the first maximum inside a maxima record.
inline constexpr std::size_t kMaximaOffset = 11;

inline constexpr std::size_t kMaximaFrameSize = kMaximaOffset + 8 + kEndTag.size();  // 27

using Maxima = std::array<std::uint16_t, 4>;

// "MUXA#Maxima", the four maxima, "End_Data".
[[nodiscard]] std::string EncodeMaxima(const Maxima& maxima);

// "MUXA#Channel", the channel byte, seven zero bytes, the three count
// characters, eleven zero bytes, the samples, "End_Data". `count_text` must be
// three characters; empty means the decimal sample count with leading zeros.
[[nodiscard]] std::string EncodeChannel(std::uint8_t channel_byte, std::span<const std::uint16_t> samples,
                                        std::string_view count_text = {});

[[nodiscard]] constexpr std::size_t ChannelFrameSize(std::size_t samples) {
  return kSamplesOffset + 2 * samples + kEndTag.size();
}

}  // namespace qv::sim
