#include "WorkshopModel.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <span>

#include "ReadingCompare.h"
#include "Units.h"

namespace qv::workshop {
namespace {

constexpr double kHysteresis = 0.8;

bool IsStep(double v, std::span<const double> steps) { return std::find(steps.begin(), steps.end(), v) != steps.end(); }

// The band of a difference as it is shown: both rounded to the unit's resolution.
Band BandOf(double difference, double tolerance, Unit unit) {
  const double d = std::abs(RoundToDisplay(difference, unit));
  const double t = RoundToDisplay(tolerance, unit);
  const double slack = 1e-9 * std::max(1.0, t);
  if (d <= t + slack) return Band::Inside;
  if (d <= 2 * t + slack) return Band::Near;
  return Band::Outside;
}

// The median of the other one, two or three channels' values.
double MedianOfOthers(const Values& v, int n, int skip) {
  std::array<double, 3> o{};
  int k = 0;
  for (int i = 0; i < n && k < 3; ++i)
    if (i != skip) o[static_cast<std::size_t>(k++)] = v[static_cast<std::size_t>(i)];
  switch (k) {
    case 1: return o[0];
    case 2: return (o[0] + o[1]) / 2;
    case 3: return std::max(std::min(o[0], o[1]), std::min(std::max(o[0], o[1]), o[2]));
    default: return 0;
  }
}

}  // namespace

bool IsDampingStep(double seconds) { return IsStep(seconds, kDampingSteps); }
bool IsZoomStep(double fullScale) { return IsStep(fullScale, kZoomSteps); }

ModelSettings Sanitised(ModelSettings s) {
  if (!std::isfinite(s.toleranceMbar)) s.toleranceMbar = ModelSettings{}.toleranceMbar;
  s.toleranceMbar = std::clamp(s.toleranceMbar, kMinToleranceMbar, kMaxToleranceMbar);
  if (!std::isfinite(s.dampingSeconds) || s.dampingSeconds < 0) s.dampingSeconds = 0;
  s.dampingSeconds = std::min(s.dampingSeconds, kDampingSteps[std::size(kDampingSteps) - 1]);
  if (!IsZoomStep(s.zoom)) s.zoom = 0;
  s.referenceCylinder = std::clamp(s.referenceCylinder, 0, 3);
  return s;
}

double AutoFullScale(double largest, double previous) {
  largest = std::isfinite(largest) ? std::abs(largest) : 0.0;
  for (double s : kZoomSteps) {
    if (largest > s) continue;
    if (s >= previous || largest <= kHysteresis * s) return s;
    // Zooming in: keep the coarser step until the difference fits this one comfortably.
    for (double coarser : kZoomSteps)
      if (coarser > s && (coarser >= previous || largest <= kHysteresis * coarser)) return coarser;
  }
  return kZoomSteps[std::size(kZoomSteps) - 1];
}

WorkshopModel::WorkshopModel(const ModelSettings& settings) { SetSettings(settings); }

void WorkshopModel::SetSettings(const ModelSettings& settings) {
  settings_ = Sanitised(settings);
  damper_.SetTimeConstant(settings_.dampingSeconds);
  Publish();
}

void WorkshopModel::Update(double now, const std::array<std::int32_t, 4>& maxima, std::uint64_t maximaFrames,
                           bool port_open) {
  if (!std::isfinite(now)) return;
  if (restart_ && port_open) {
    // A new place in time: earlier times, damping and scatter do not carry over.
    restart_ = false;
    now_ = now;
    port_open_ = true;
    has_frame_ = false;
    damper_.Forget();
    recent_.Clear();
    counting_ = true;
    frames_ = maximaFrames;
    if (maximaFrames > 0) TakeFrame(now_, maxima);
    Publish();
    return;
  }
  now_ = std::max(now_, now);
  if (!port_open) {
    port_open_ = false;
    counting_ = false;
    has_frame_ = false;
    damper_.Forget();
    recent_.Clear();
  } else {
    port_open_ = true;
    if (!counting_) {
      counting_ = true;
      frames_ = maximaFrames;
    } else if (maximaFrames != frames_) {
      frames_ = maximaFrames;
      TakeFrame(now_, maxima);
    }
  }
  Publish();
}

void WorkshopModel::TakeFrame(double now, const std::array<std::int32_t, 4>& maxima) {
  if (!has_frame_ || now - last_frame_ >= kNoDataAfter) {
    // A new run: the scatter of the values before a gap says nothing about now.
    recent_.Clear();
    run_start_ = now;
  }
  Values d{};
  for (std::size_t c = 0; c < d.size(); ++c) d[c] = 100.0 - static_cast<double>(maxima[c]);
  damper_.Feed(now, d);
  recent_.Add(now, d);
  has_frame_ = true;
  last_frame_ = now;
}

void WorkshopModel::ResetDamping() {
  damper_.Reset();
  Publish();
}

void WorkshopModel::Restart() { restart_ = true; }

void WorkshopModel::SetHold(bool on) {
  held_ = on;
  Publish();
}

ZeroOutcome WorkshopModel::AdjustZero() {
  ZeroOutcome out;
  if (Compute().status != Status::Live || recent_.Count() == 0) {
    out.refusal = ZeroOutcome::Refusal::kNoData;
    return out;
  }
  const Values mean = recent_.Mean();
  const auto [lo, hi] = std::minmax_element(mean.begin(), mean.end());
  if (*hi - *lo > kMaxZeroSpreadMbar) {
    out.refusal = ZeroOutcome::Refusal::kSpread;
    out.spreadMbar = *hi - *lo;
    return out;
  }
  const double common = (mean[0] + mean[1] + mean[2] + mean[3]) / 4;
  ZeroOffsets o{};
  for (std::size_t c = 0; c < o.size(); ++c) o[c] = mean[c] - common;
  offsets_ = o;
  Publish();
  return out;
}

bool WorkshopModel::SetZeroOffsets(const std::optional<ZeroOffsets>& offsets) {
  if (offsets) {
    for (double o : *offsets)
      if (!std::isfinite(o) || std::abs(o) > kMaxZeroSpreadMbar) return false;
  }
  offsets_ = offsets;
  Publish();
  return true;
}

void WorkshopModel::Publish() {
  Reading fresh = Compute();
  if (fresh.status == Status::Live || fresh.status == Status::NoData) {
    if (settings_.zoom == 0) auto_scale_ = fresh.fullScale;
  }
  if (held_) {
    if (reading_.held) return;
    fresh = reading_;
    fresh.held = true;
  }
  if (SameReading(fresh, reading_)) return;
  fresh.serial = reading_.serial + 1;
  reading_ = fresh;
}

Reading WorkshopModel::Compute() const {
  Reading r;
  r.unit = settings_.unit;
  r.referenceKind = settings_.reference;
  r.referenceCylinder = settings_.referenceCylinder;
  r.pairMode = settings_.pairMode;
  r.channelCount = settings_.pairMode ? 2 : 4;
  r.tolerance = FromMilliBar(settings_.toleranceMbar, settings_.unit);
  r.zeroed = offsets_.has_value();
  r.fullScale = settings_.zoom > 0 ? settings_.zoom : auto_scale_;
  if (!port_open_) {
    r.status = Status::NoScan;
  } else if (!has_frame_) {
    r.status = Status::Waiting;
  } else {
    r.status = now_ - last_frame_ >= kNoDataAfter ? Status::NoData : Status::Live;
    FillChannels(r);
  }
  return r;
}

void WorkshopModel::FillChannels(Reading& r) const {
  const Unit unit = settings_.unit;
  const int n = r.channelCount;
  Values v = damper_.Value();
  if (offsets_)
    for (std::size_t c = 0; c < v.size(); ++c) v[c] -= (*offsets_)[c];
  if (settings_.pairMode) v = {(v[0] + v[1]) / 2, (v[2] + v[3]) / 2, 0.0, 0.0};
  const auto first = v.begin();
  const auto last = v.begin() + n;

  double ref = 0;
  switch (settings_.reference) {
    case ReferenceKind::Mean: ref = std::accumulate(first, last, 0.0) / n; break;
    case ReferenceKind::Midpoint: ref = (*std::min_element(first, last) + *std::max_element(first, last)) / 2; break;
    case ReferenceKind::Cylinder:
      ref = v[static_cast<std::size_t>(settings_.pairMode ? settings_.referenceCylinder / 2
                                                          : settings_.referenceCylinder)];
      break;
  }
  r.reference = FromMilliBar(ref, unit);

  const Values scatter = recent_.StdDev(settings_.pairMode);
  const bool fullRun = now_ - run_start_ >= kScatterSpan && recent_.Count() >= 2;
  bool settled = fullRun && r.status == Status::Live;
  bool allInside = true;
  double largest = -1;
  for (int i = 0; i < n; ++i) {
    const auto c = static_cast<std::size_t>(i);
    Channel& ch = r.channels[c];
    ch.absolute = FromMilliBar(v[c], unit);
    ch.difference = FromMilliBar(v[c] - ref, unit);
    ch.scatter = FromMilliBar(scatter[c], unit);
    ch.band = BandOf(ch.difference, r.tolerance, unit);
    ch.unsteady = fullRun && scatter[c] >= kUnsteadyFloorMbar && scatter[c] > 3 * MedianOfOthers(scatter, n, i);
    if (scatter[c] >= settings_.toleranceMbar / 4) settled = false;
    if (ch.band != Band::Inside) allInside = false;
    if (std::abs(v[c] - ref) > largest) {
      largest = std::abs(v[c] - ref);
      r.worstChannel = i;
    }
  }
  r.settled = settled;
  r.inSync = settled && allInside;
  if (settings_.zoom == 0) r.fullScale = AutoFullScale(FromMilliBar(largest, unit), auto_scale_);
}

}  // namespace qv::workshop
