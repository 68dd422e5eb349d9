#include "EngineGuard.h"

#include <algorithm>
#include <cmath>

namespace qv::guard {

GuardSettings Sanitised(GuardSettings s) {
  const GuardSettings d;
  auto positive = [](double v, double fallback) { return std::isfinite(v) && v > 0 ? v : fallback; };
  s.noticeAfterSeconds = positive(s.noticeAfterSeconds, d.noticeAfterSeconds);
  s.driftWindowSeconds = positive(s.driftWindowSeconds, d.driftWindowSeconds);
  s.driftThresholdMbar = positive(s.driftThresholdMbar, d.driftThresholdMbar);
  s.driftMinSeconds = positive(s.driftMinSeconds, d.driftMinSeconds);
  s.driftMinSeconds = std::min(s.driftMinSeconds, s.driftWindowSeconds);
  return s;
}

EngineGuard::EngineGuard(const GuardSettings& settings)
    : settings_(Sanitised(settings)), notice_from_(settings_.noticeAfterSeconds) {}

void EngineGuard::SetSettings(const GuardSettings& settings) {
  const GuardSettings next = Sanitised(settings);
  // A dismissed notice stays dismissed for one notice time from its dismissal.
  const double dismissedAt = notice_from_ - settings_.noticeAfterSeconds;
  settings_ = next;
  notice_from_ = dismissedAt + settings_.noticeAfterSeconds;
  UpdateDrift();
}

void EngineGuard::Reset() {
  seen_frame_ = false;
  running_ = 0;
  notice_from_ = settings_.noticeAfterSeconds;
  ClearDrift();
}

void EngineGuard::ClearDrift() {
  seconds_.clear();
  measured_.reset();
  drift_shown_ = false;
}

void EngineGuard::OnState(const session::SessionState& state) {
  // A scan or replay that starts, or a new source, is a new run of the
  // engine; the device coming back after a pulled cable is the same one.
  if (state.Active() && (!state_.Active() || state.source != state_.source)) Reset();
  active_ = state.Active();
  state_ = state;
}

void EngineGuard::OnFrame(const session::Frame& frame) {
  if (!active_) return;
  const double t = frame.seconds;
  if (!std::isfinite(t)) return;
  if (seen_frame_) {
    const double dt = t - last_time_;
    if (dt > 0 && dt <= kMaxFrameGap) running_ += dt;
    // Time that went backwards (a replay jumped back): the readings before
    // are no longer the last minutes.
    if (dt < 0) ClearDrift();
  }
  seen_frame_ = true;
  last_time_ = t;
  if (frame.hasMaxima) TakeMaxima(t, frame.maxima);
}

void EngineGuard::TakeMaxima(double t, const std::array<std::int32_t, 4>& maxima) {
  double mean = 0;
  for (std::int32_t m : maxima) mean += 100.0 - m;  // D(c) in mBar
  mean /= 4;
  if (mean > kIdleVacuumMbar) {
    ClearDrift();
    return;
  }
  const auto second = static_cast<std::int64_t>(std::floor(t));
  if (seconds_.empty() || second != current_second_) {
    seconds_.push_back({});
    current_second_ = second;
  }
  Second& s = seconds_.back();
  s.time = (s.time * s.count + t) / (s.count + 1);
  s.sum += mean;
  ++s.count;
  UpdateDrift();
}

void EngineGuard::UpdateDrift() {
  while (seconds_.size() > 1 && seconds_.front().time < seconds_.back().time - settings_.driftWindowSeconds)
    seconds_.pop_front();
  measured_.reset();
  if (seconds_.size() >= 2) {
    const double span = seconds_.back().time - seconds_.front().time;
    if (span >= settings_.driftMinSeconds) {
      // Least-squares slope of the per-second means against time, over the
      // span they cover: steady against the scatter of single frames.
      double st = 0, sv = 0;
      for (const Second& s : seconds_) {
        st += s.time;
        sv += s.sum / s.count;
      }
      const double n = static_cast<double>(seconds_.size());
      const double mt = st / n, mv = sv / n;
      double stt = 0, stv = 0;
      for (const Second& s : seconds_) {
        stt += (s.time - mt) * (s.time - mt);
        stv += (s.time - mt) * (s.sum / s.count - mv);
      }
      if (stt > 0) measured_ = Drift{stv / stt * span, span};
    }
  }
  const double size = measured_ ? std::fabs(measured_->mbar) : 0;
  if (size >= settings_.driftThresholdMbar)
    drift_shown_ = true;
  else if (size < 0.8 * settings_.driftThresholdMbar)
    drift_shown_ = false;
}

bool EngineGuard::NoticeDue() const { return active_ && running_ >= notice_from_; }

void EngineGuard::DismissNotice() {
  if (running_ >= notice_from_) notice_from_ = running_ + settings_.noticeAfterSeconds;
}

std::optional<Drift> EngineGuard::ShownDrift() const { return drift_shown_ && measured_ ? measured_ : std::nullopt; }

std::optional<Drift> EngineGuard::MeasuredDrift() const { return measured_; }

}  // namespace qv::guard
