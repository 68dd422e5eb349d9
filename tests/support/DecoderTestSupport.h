#pragma once
// Frames as the device sends them, and the port double the tests feed them to.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "CapturePort.h"

namespace qvtest {

inline std::string Le16(int v) { return {static_cast<char>(v & 0xff), static_cast<char>((v >> 8) & 0xff)}; }

inline std::string MaximaFrame(int m0, int m1, int m2, int m3, const std::string& before = "") {
  return before + "MUXA#Maxima" + Le16(m0) + Le16(m1) + Le16(m2) + Le16(m3) + "End_Data";
}

// A channel record; count is the three count characters as sent.
inline std::string ChannelFrame(int ch, const std::string& count, const std::vector<int>& samples,
                                const std::string& before = "") {
  std::string f =
      before + "MUXA#Channel" + static_cast<char>(ch) + std::string(7, '\0') + count + std::string(11, '\0');
  for (int s : samples) f += Le16(s);
  return f + "End_Data";
}

inline std::string Hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string h;
  for (unsigned char b : bytes) h += {kDigits[b >> 4], kDigits[b & 15]};
  return h;
}

using FakePort = qv::CapturePort;

}  // namespace qvtest
