#pragma once
// Plays a recording through the receive handler and decoder at its recorded
// pace: pause, speed x0.25 to x8, and seeking to any position. The clock is
// the caller's: every call that depends on time takes `now`, and NextDue()
// says when Advance() should next be called, so a timer (or a test) drives it.
//
// Seeking lands on the state that playing up to that position gives: a
// position before the records already played re-decodes from the start on a
// fresh measurement state; a later one plays on to it. At the end of the
// recording the frames still waiting in the receive handler are drained.
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

#include "Decoder.h"
#include "Measurement.h"
#include "RecordFeeder.h"
#include "RecordingReader.h"

namespace qv::rec {

class ReplayEngine {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr double kMinSpeed = 0.25;
  static constexpr double kMaxSpeed = 8.0;

  // `recording` and `state` must outlive the engine; `state` is reset here.
  ReplayEngine(const Recording& recording, TMeasurement& state, TFrameDecoder::FrameSignal on_frame = {});

  void Play(Clock::time_point now);
  void Pause(Clock::time_point now);
  [[nodiscard]] bool Playing() const { return playing_; }

  // Clamped to kMinSpeed..kMaxSpeed; the position does not jump.
  void SetSpeed(double speed, Clock::time_point now);
  [[nodiscard]] double Speed() const { return speed_; }

  // Moves to `position_us` (clamped to the duration) and decodes up to it.
  void Seek(std::uint64_t position_us, Clock::time_point now);

  // Feeds every record due by `now`; at the end drains and stops playing.
  // Returns the number of frames decoded.
  std::uint64_t Advance(Clock::time_point now);

  // When the next record falls due while playing; nothing when paused or at the end.
  [[nodiscard]] std::optional<Clock::time_point> NextDue() const;

  [[nodiscard]] std::uint64_t PositionUs(Clock::time_point now) const;
  [[nodiscard]] std::uint64_t DurationUs() const { return recording_.DurationUs(); }
  [[nodiscard]] bool AtEnd() const { return next_ == recording_.records.size(); }
  [[nodiscard]] std::size_t RecordsPlayed() const { return next_; }
  [[nodiscard]] const RecordFeeder& Feeder() const { return *feeder_; }
  // Frames whose maxima went into MAXIMA since the last restart.
  [[nodiscard]] std::uint64_t MaximaFrames() const { return feeder_->Decoder().MaximaFrames(); }

  // Hears every frame played by Advance, with the time in the recording of
  // the record that completed it; not the frames Seek decodes to reach a
  // position (a jump is no part of the playing: its owner tells of it).
  std::function<void(const qv::FrameReport& report, std::uint64_t time_us)> OnFrame;
  [[nodiscard]] const Recording& Source() const { return recording_; }

 private:
  void Restart();
  std::uint64_t FeedUpTo(std::uint64_t position_us);
  void Anchor(std::uint64_t position_us, Clock::time_point now);

  const Recording& recording_;
  TMeasurement& state_;
  TFrameDecoder::FrameSignal on_frame_;
  std::optional<RecordFeeder> feeder_;
  std::size_t next_ = 0;          // the next record to feed
  std::uint64_t feeding_us_ = 0;  // the time of the record being fed
  bool quiet_ = false;            // seeking: OnFrame is not told
  bool playing_ = false;
  double speed_ = 1.0;
  std::uint64_t anchor_us_ = 0;  // the position at anchor_time_
  Clock::time_point anchor_time_{};
};

}  // namespace qv::rec
