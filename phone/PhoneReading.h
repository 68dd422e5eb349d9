#pragma once
// What the phone page shows, as the workshop view shows it: the program fills
// it from the view's reading (and the guidance tone), the server sends it to
// every phone with each maxima frame. Plain C++.
#include <array>
#include <cstdint>
#include <string>

#include "WorkshopReading.h"

namespace qv::phone {

struct PhoneReading {
  workshop::Status status = workshop::Status::NoScan;
  workshop::Unit unit = workshop::Unit::MilliBar;
  int channelCount = 4;  // 2 in pair mode
  bool pairMode = false;
  std::array<double, 4> difference{};  // to the reference, in the unit (negative: more vacuum)
  std::array<workshop::Band, 4> band{};
  bool inSync = false;
  bool settled = false;
  int worstChannel = -1;
  workshop::ReferenceKind referenceKind = workshop::ReferenceKind::Mean;
  int referenceCylinder = 0;
  double reference = 0;   // in the unit
  double tolerance = 10;  // in the unit
  int toneCylinder = -1;  // the cylinder the guidance tone follows (0..3), -1 when the tone is off
  bool held = false;
  bool operator==(const PhoneReading&) const = default;
};

// The phone's share of what the workshop view shows.
[[nodiscard]] PhoneReading PhoneReadingOf(const workshop::Reading& r, int toneCylinder);

// The reading as the JSON object of one event. `frames` counts the maxima
// frames sent since the phone view was switched on; `active` is whether a
// scan or a replay is running. Numbers are rounded as shown, in the unit,
// with "." (independent of the C library's locale); what is not finite is null.
[[nodiscard]] std::string ReadingJson(const PhoneReading& r, std::uint64_t frames, bool active);

// One server-sent event of the stream, and the stream's first bytes.
[[nodiscard]] std::string ReadingEvent(const PhoneReading& r, std::uint64_t frames, bool active);
// A sign of life between frames, so the page can tell a silent device from a lost laptop.
[[nodiscard]] std::string AliveEvent();
[[nodiscard]] std::string StreamStart();

}  // namespace qv::phone
