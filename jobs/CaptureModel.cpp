#include "CaptureModel.h"

#include <cmath>

#include "Units.h"

namespace qv::jobs {
namespace {

using workshop::Reading;
using workshop::Status;

bool SameSetup(const Reading& a, const Reading& b) {
  return a.unit == b.unit && a.referenceKind == b.referenceKind && a.referenceCylinder == b.referenceCylinder &&
         a.channelCount == b.channelCount && a.tolerance == b.tolerance;
}

// Frames come at about 10 per second; a longer gap is no running engine.
constexpr double kLongestGap = 2.0;

}  // namespace

void CaptureModel::Add(double seconds, const Reading& reading) {
  const bool live = reading.status == Status::Live;
  if (last_ && seconds < last_->seconds) samples_.clear();
  if (last_ && live && last_->reading.status == Status::Live) {
    const double dt = seconds - last_->seconds;
    if (dt > 0 && dt < kLongestGap) engine_seconds_ += dt;
  }
  last_ = Sample{seconds, reading};

  if (!live || !reading.settled || (!samples_.empty() && !SameSetup(samples_.back().reading, reading))) {
    samples_.clear();
    if (!live || !reading.settled) return;
  }
  samples_.push_back(Sample{seconds, reading});
  // Keep one sample older than the window so that its coverage can be told.
  while (samples_.size() > 2 && samples_[1].seconds <= seconds - window_) samples_.pop_front();
}

CaptureResult CaptureModel::Take(const std::string& localTime) const {
  CaptureResult result;
  if (!last_ || last_->reading.status != Status::Live) {
    result.refusal = Refusal::kNoData;
    return result;
  }
  if (!last_->reading.settled || samples_.empty()) {
    result.refusal = Refusal::kUnsettled;
    return result;
  }
  const double now = samples_.back().seconds;
  result.steadyFor = now - samples_.front().seconds;
  // A small allowance for the frame rate: a window of 3 s met by frames 0.1 s apart.
  if (result.steadyFor + 0.15 < window_) {
    result.refusal = Refusal::kSettling;
    return result;
  }
  const Reading& r = samples_.back().reading;
  Capture c;
  c.taken = localTime;
  c.unit = r.unit;
  c.referenceKind = r.referenceKind;
  c.referenceCylinder = r.referenceCylinder;
  c.tolerance = r.tolerance;
  c.channelCount = r.channelCount;
  c.window = window_;
  double reference = 0;
  std::size_t n = 0;
  for (const Sample& s : samples_) {
    if (s.seconds < now - window_ - 1e-9) continue;
    ++n;
    reference += s.reading.reference;
    for (int ch = 0; ch < r.channelCount; ++ch) {
      const auto i = static_cast<std::size_t>(ch);
      c.cylinders[i].absolute += s.reading.channels[i].absolute;
      c.cylinders[i].difference += s.reading.channels[i].difference;
      c.cylinders[i].scatter = std::max(c.cylinders[i].scatter, s.reading.channels[i].scatter);
    }
  }
  const double count = static_cast<double>(n);
  c.reference = reference / count;
  for (int ch = 0; ch < r.channelCount; ++ch) {
    auto& v = c.cylinders[static_cast<std::size_t>(ch)];
    v.absolute /= count;
    v.difference /= count;
    // Decided on the value as it would be shown, as the view's band is.
    v.inside = std::fabs(workshop::RoundToDisplay(v.difference, c.unit)) <= c.tolerance + 1e-9;
  }
  result.capture = c;
  return result;
}

}  // namespace qv::jobs
