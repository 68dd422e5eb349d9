#include "PhoneReading.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "Units.h"

namespace qv::phone {
namespace {

using workshop::Band;
using workshop::Status;

std::string_view StatusKey(Status s) {
  switch (s) {
    case Status::NoScan: return "noscan";
    case Status::Waiting: return "waiting";
    case Status::NoData: return "nodata";
    case Status::Live: return "live";
  }
  return "noscan";
}

std::string_view BandKey(Band b) {
  switch (b) {
    case Band::Inside: return "in";
    case Band::Near: return "near";
    case Band::Outside: return "out";
  }
  return "out";
}

std::string_view ReferenceKey(workshop::ReferenceKind k) {
  switch (k) {
    case workshop::ReferenceKind::Mean: return "mean";
    case workshop::ReferenceKind::Midpoint: return "mid";
    case workshop::ReferenceKind::Cylinder: return "cyl";
  }
  return "mean";
}

// The value as shown: rounded to the unit's decimals, "0" rather than "-0",
// bounded like the view's numbers so no text grows without end.
void AppendNumber(std::string& out, double v, workshop::Unit unit) {
  if (!std::isfinite(v)) {
    out += "null";
    return;
  }
  v = std::clamp(workshop::RoundToDisplay(v, unit), -1e9, 1e9);
  if (v == 0) v = 0;  // drops the sign of -0
  char buf[48];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, workshop::Decimals(unit));
  if (ec != std::errc()) {
    out += "null";
    return;
  }
  std::string_view text(buf, static_cast<std::size_t>(end - buf));
  // A negative value that rounds to zero at this precision is zero too.
  if (text.front() == '-' && text.find_first_not_of("-0.") == std::string_view::npos) text.remove_prefix(1);
  out += text;
}

void AppendBool(std::string& out, bool b) { out += b ? "true" : "false"; }

int Bounded(int v, int lo, int hi, int otherwise) { return v >= lo && v <= hi ? v : otherwise; }

}  // namespace

PhoneReading PhoneReadingOf(const workshop::Reading& r, int toneCylinder) {
  PhoneReading p;
  p.status = r.status;
  p.unit = r.unit;
  p.channelCount = r.channelCount;
  p.pairMode = r.pairMode;
  for (std::size_t i = 0; i < 4; ++i) {
    p.difference[i] = r.channels[i].difference;
    p.band[i] = r.channels[i].band;
  }
  p.inSync = r.inSync;
  p.settled = r.settled;
  p.worstChannel = r.worstChannel;
  p.referenceKind = r.referenceKind;
  p.referenceCylinder = r.referenceCylinder;
  p.reference = r.reference;
  p.tolerance = r.tolerance;
  p.toneCylinder = toneCylinder;
  p.held = r.held;
  return p;
}

std::string ReadingJson(const PhoneReading& r, std::uint64_t frames, bool active) {
  const int count = r.channelCount == 2 ? 2 : 4;
  std::string out;
  out.reserve(320);
  out += "{\"n\":";
  out += std::to_string(frames);
  out += ",\"active\":";
  AppendBool(out, active);
  out += ",\"status\":\"";
  out += StatusKey(r.status);
  out += "\",\"pair\":";
  AppendBool(out, count == 2);
  out += ",\"d\":[";
  for (int i = 0; i < count; ++i) {
    if (i) out += ',';
    AppendNumber(out, r.difference[static_cast<std::size_t>(i)], r.unit);
  }
  out += "],\"band\":[";
  for (int i = 0; i < count; ++i) {
    if (i) out += ',';
    out += '"';
    out += BandKey(r.band[static_cast<std::size_t>(i)]);
    out += '"';
  }
  out += "],\"sync\":";
  AppendBool(out, r.inSync);
  out += ",\"settled\":";
  AppendBool(out, r.settled);
  out += ",\"worst\":";
  out += std::to_string(Bounded(r.worstChannel, 0, count - 1, -1));
  out += ",\"ref\":{\"kind\":\"";
  out += ReferenceKey(r.referenceKind);
  out += "\",\"cyl\":";
  out += std::to_string(Bounded(r.referenceCylinder, 0, 3, 0));
  out += ",\"value\":";
  AppendNumber(out, r.reference, r.unit);
  out += "},\"unit\":\"";
  out += workshop::UnitLabel(r.unit);
  out += "\",\"dec\":";
  out += std::to_string(workshop::Decimals(r.unit));
  out += ",\"tol\":";
  AppendNumber(out, r.tolerance, r.unit);
  out += ",\"tone\":";
  out += std::to_string(Bounded(r.toneCylinder, 0, 3, -1));
  out += ",\"hold\":";
  AppendBool(out, r.held);
  out += '}';
  return out;
}

std::string ReadingEvent(const PhoneReading& r, std::uint64_t frames, bool active) {
  return "event: reading\ndata: " + ReadingJson(r, frames, active) + "\n\n";
}

std::string AliveEvent() { return "event: alive\ndata: 1\n\n"; }

// The browser tries again a second after the stream breaks.
std::string StreamStart() { return "retry: 1000\n\n"; }

}  // namespace qv::phone
