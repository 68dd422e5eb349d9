#include "WorkshopMeanSource.h"

#include <algorithm>
#include <cmath>

namespace qv {

using namespace workshop;

namespace {
bool Same(const Reading& a, const Reading& b) {
  for (std::size_t c = 0; c < 4; ++c) {
    const Channel &x = a.channels[c], &y = b.channels[c];
    if (x.absolute != y.absolute || x.difference != y.difference || x.scatter != y.scatter || x.band != y.band ||
        x.unsteady != y.unsteady)
      return false;
  }
  return a.status == b.status && a.unit == b.unit && a.referenceKind == b.referenceKind &&
         a.referenceCylinder == b.referenceCylinder && a.pairMode == b.pairMode && a.channelCount == b.channelCount &&
         a.reference == b.reference && a.tolerance == b.tolerance && a.settled == b.settled && a.inSync == b.inSync &&
         a.worstChannel == b.worstChannel && a.zeroed == b.zeroed && a.held == b.held && a.fullScale == b.fullScale;
}
}  // namespace

void WorkshopMeanSource::AddMaxima(double seconds, const std::array<std::int32_t, 4>& maxima) {
  Sample s{seconds, {}};
  for (std::size_t c = 0; c < 4; ++c) s.mbar[c] = 100.0 - maxima[c];
  recent_.push_back(s);
  while (!recent_.empty() && recent_.front().seconds < seconds - kScatterWindow) recent_.pop_front();
}

Reading WorkshopMeanSource::Compute(double seconds, bool portOpen) const {
  Reading r;
  r.tolerance = std::clamp(choices_.toleranceMbar, 1.0, 50.0);
  r.held = held_;
  if (!portOpen) return r;  // NoScan
  if (recent_.empty()) {
    r.status = Status::Waiting;
    return r;
  }
  const Sample& last = recent_.back();
  r.status = seconds - last.seconds > kNoDataAfter ? Status::NoData : Status::Live;
  double sum = 0;
  for (double v : last.mbar) sum += v;
  r.reference = sum / 4;
  double largest = 0, worst = -1;
  r.settled = true;
  for (std::size_t c = 0; c < 4; ++c) {
    Channel& ch = r.channels[c];
    ch.absolute = last.mbar[c];
    ch.difference = last.mbar[c] - r.reference;
    double mean = 0, square = 0;
    for (const Sample& s : recent_) mean += s.mbar[c];
    mean /= static_cast<double>(recent_.size());
    for (const Sample& s : recent_) square += (s.mbar[c] - mean) * (s.mbar[c] - mean);
    ch.scatter = std::sqrt(square / static_cast<double>(recent_.size()));
    const double off = std::fabs(ch.difference);
    ch.band = off <= r.tolerance ? Band::Inside : off <= 2 * r.tolerance ? Band::Near : Band::Outside;
    if (ch.scatter >= r.tolerance / 4) r.settled = false;
    if (off > worst) {
      worst = off;
      r.worstChannel = static_cast<int>(c);
    }
    largest = std::max(largest, off);
  }
  r.inSync = r.settled && worst <= r.tolerance;
  r.fullScale = choices_.zoom > 0 ? choices_.zoom : 100;
  for (double step : {5.0, 10.0, 20.0, 50.0, 100.0}) {
    if (choices_.zoom == 0 && largest <= step) {
      r.fullScale = step;
      break;
    }
  }
  return r;
}

Reading WorkshopMeanSource::Read(double seconds, bool portOpen) {
  if (portOpen && !was_open_) recent_.clear();  // maxima from before the port opened are old
  was_open_ = portOpen;
  Reading next = held_ && shown_.status == Status::Live ? shown_ : Compute(seconds, portOpen);
  next.held = held_;
  next.serial = shown_.serial;
  // The serial moves on whenever anything shown differs.
  if (!Same(next, shown_)) ++next.serial;
  shown_ = next;
  return shown_;
}

bool WorkshopMeanSource::Zero(std::string& why) {
  why = "Nullabgleich ist in dieser Ausgabe noch nicht verfügbar.";
  return false;
}

}  // namespace qv
