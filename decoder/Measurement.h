#pragma once
// The measurement state of the main window: written by the frame decoder,
// read by the two displays on every redraw tick. Everything starts zeroed,
// as the window's memory does.
#include <array>
#include <cstdint>
#include <string>

struct TMeasurement {
  static constexpr int kInBufferSize = 1001;  // INBUFFER indices 0..1000
  static constexpr int kChannels = 4;
  static constexpr int kHistorySize = 301;  // CHANNEL_DATA indices 0..300

  std::string INSTRING;    // receive accumulator, any byte value
  std::string DATASTRING;  // the frame most recently cut from INSTRING
  std::array<std::uint8_t, kInBufferSize> INBUFFER{};
  std::array<std::int32_t, kChannels> MAXIMA{};
  std::array<std::array<std::int32_t, kHistorySize>, kChannels> CHANNEL_DATA{};
  std::int32_t SAMPLE_COUNT = 0;
};
