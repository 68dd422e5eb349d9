#include "ReplayEngine.h"

#include <algorithm>
#include <cmath>

namespace qv::rec {

ReplayEngine::ReplayEngine(const Recording& recording, TMeasurement& state, TFrameDecoder::FrameSignal on_frame)
    : recording_(recording), state_(state), on_frame_(std::move(on_frame)) {
  Restart();
}

void ReplayEngine::Restart() {
  feeder_.reset();
  state_ = TMeasurement{};
  feeder_.emplace(state_, on_frame_);
  feeder_->SetOnDecoded([this](const qv::FrameReport& report) {
    if (!quiet_ && OnFrame) OnFrame(report, feeding_us_);
  });
  next_ = 0;
}

void ReplayEngine::Anchor(std::uint64_t position_us, Clock::time_point now) {
  anchor_us_ = std::min(position_us, DurationUs());
  anchor_time_ = now;
}

void ReplayEngine::Play(Clock::time_point now) {
  if (playing_) return;
  if (AtEnd()) {
    // Played to the end: start again from the beginning.
    Restart();
    Anchor(0, now);
  } else {
    Anchor(anchor_us_, now);
  }
  playing_ = true;
}

void ReplayEngine::Pause(Clock::time_point now) {
  if (!playing_) return;
  Anchor(PositionUs(now), now);
  playing_ = false;
}

void ReplayEngine::SetSpeed(double speed, Clock::time_point now) {
  Anchor(PositionUs(now), now);
  speed_ = std::clamp(std::isfinite(speed) ? speed : 1.0, kMinSpeed, kMaxSpeed);
}

std::uint64_t ReplayEngine::PositionUs(Clock::time_point now) const {
  if (!playing_) return anchor_us_;
  const double elapsed = std::chrono::duration<double, std::micro>(now - anchor_time_).count();
  const double position = static_cast<double>(anchor_us_) + std::max(0.0, elapsed) * speed_;
  return std::min(static_cast<std::uint64_t>(position), DurationUs());
}

void ReplayEngine::Seek(std::uint64_t position_us, Clock::time_point now) {
  position_us = std::min(position_us, DurationUs());
  // Records already fed lie beyond the new position: decode afresh.
  if (next_ > 0 && recording_.records[next_ - 1].time_us > position_us) Restart();
  Anchor(position_us, now);
  quiet_ = true;
  (void)FeedUpTo(position_us);
  quiet_ = false;
}

std::uint64_t ReplayEngine::FeedUpTo(std::uint64_t position_us) {
  const std::uint64_t before = feeder_->Frames();
  const auto& records = recording_.records;
  while (next_ < records.size() && records[next_].time_us <= position_us) {
    feeding_us_ = records[next_].time_us;
    (void)feeder_->Feed(recording_.BytesOf(records[next_]));
    ++next_;
  }
  if (AtEnd()) {
    feeding_us_ = DurationUs();
    feeder_->Drain([] {});
    playing_ = false;
    anchor_us_ = DurationUs();
  }
  return feeder_->Frames() - before;
}

std::uint64_t ReplayEngine::Advance(Clock::time_point now) {
  if (!playing_) return 0;
  return FeedUpTo(PositionUs(now));
}

std::optional<ReplayEngine::Clock::time_point> ReplayEngine::NextDue() const {
  if (!playing_ || AtEnd()) return std::nullopt;
  const double ahead_us =
      static_cast<double>(recording_.records[next_].time_us - std::min(recording_.records[next_].time_us, anchor_us_));
  return anchor_time_ + std::chrono::duration_cast<Clock::duration>(
                            std::chrono::duration<double, std::micro>(std::ceil(ahead_us / speed_)));
}

}  // namespace qv::rec
