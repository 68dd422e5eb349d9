#pragma once
// What the workshop view shows, computed by the workshop model from the
// measurement state and read by the drawing. Plain C++: no Qt.
#include <array>
#include <cstdint>
#include <string>

namespace qv::workshop {

// Display units. Values are computed in mBar and converted with exact factors:
// 1 mbar = 1 hPa = 0.1 kPa = 0.0295300 inHg = 0.0750062 cmHg = 0.750062 mmHg.
enum class Unit { MilliBar, HectoPascal, KiloPascal, InchHg, CentimetreHg, MillimetreHg };

// What the differences are measured against.
enum class ReferenceKind { Mean, Midpoint, Cylinder };

// Where a difference lies against the tolerance band (exactly the tolerance is Inside).
enum class Band { Inside, Near /* up to twice the band */, Outside };

// What the view can say about the data at all.
enum class Status {
  NoScan,   // the port is closed: "Kein Scan", no numbers
  Waiting,  // the port is open but no maxima frame has come yet: nothing drawn as data
  NoData,   // open, but no maxima frame for 1 s: "Keine Daten" over the last values greyed out
  Live
};

struct Channel {
  double absolute = 0;    // D(c) = 100 - MAXIMA[c] in the chosen unit, zero offset applied, damped
  double difference = 0;  // absolute minus the reference, in the chosen unit (negative: more vacuum)
  double scatter = 0;     // standard deviation of the undamped values over the last 2 s, chosen unit
  Band band = Band::Inside;
  bool unsteady = false;  // scatter more than three times the median of the others' scatter
};

struct Reading {
  Status status = Status::NoScan;
  Unit unit = Unit::MilliBar;
  ReferenceKind referenceKind = ReferenceKind::Mean;
  int referenceCylinder = 0;  // 0..3 when referenceKind == Cylinder
  bool pairMode = false;      // cylinders 1+2 against 3+4: channelCount == 2
  int channelCount = 4;       // 4, or 2 in pair mode
  std::array<Channel, 4> channels{};
  double reference = 0;       // the reference value in the chosen unit
  double tolerance = 10;      // half-width of the band in the chosen unit
  bool settled = false;       // every channel's scatter below a quarter of the tolerance
  bool inSync = false;        // settled and every channel Inside: the verdict "SYNCHRON" / "IN SYNC"
  int worstChannel = -1;      // the channel furthest off (index into channels), -1 when none
  bool zeroed = false;        // a zero adjustment is applied ("genullt")
  bool held = false;          // HOLD: the reading is frozen
  double fullScale = 10;      // the bar's full scale (the zoom, or the automatic choice) in the chosen unit
  std::uint64_t serial = 0;   // changes whenever anything shown changes, so the view redraws only then
};

}  // namespace qv::workshop
