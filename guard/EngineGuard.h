#pragma once
// Watches the idling engine during a scan: how long frames have been
// arriving (the engine running), a notice once that passes a settable time,
// and the drift of the mean idle vacuum over the last minutes. A session
// subscriber; plain C++. Times are the frames' own: a steady clock for the
// port, the position in the recording for a replay.
#include <cstdint>
#include <deque>
#include <optional>

#include "Session.h"

namespace qv::guard {

// Longer than this between two frames is not counted as running: the cable
// was pulled, or a replay jumped.
inline constexpr double kMaxFrameGap = 2.0;  // seconds
// A mean of the four D(c) above this is no idle vacuum: the engine is off or
// the hoses are open (the zero adjustment). Such a reading starts the drift
// afresh, so starting the engine is not taken for a drift.
inline constexpr double kIdleVacuumMbar = -50;

struct GuardSettings {
  double noticeAfterSeconds = 600;  // the engine notice after this much running
  double driftWindowSeconds = 180;  // the drift is taken over this window
  double driftThresholdMbar = 5;    // shown from this much drift over the window on
  double driftMinSeconds = 60;      // no drift from less than this much data
  bool operator==(const GuardSettings&) const = default;
};

// Settings brought into range (positive, the window at least the minimum).
[[nodiscard]] GuardSettings Sanitised(GuardSettings s);

struct Drift {
  double mbar = 0;     // change of the mean of the four D(c) over `seconds`; negative: more vacuum
  double seconds = 0;  // the span of readings it was taken over
};

class EngineGuard : public session::Subscriber {
 public:
  explicit EngineGuard(const GuardSettings& settings = {});

  void OnFrame(const session::Frame& frame) override;
  void OnState(const session::SessionState& state) override;

  void SetSettings(const GuardSettings& settings);
  [[nodiscard]] const GuardSettings& Settings() const { return settings_; }

  // A scan or a replay is on: what the view shows is current.
  [[nodiscard]] bool Active() const { return active_; }
  // Seconds of frames arriving since the scan (or the replay) started.
  [[nodiscard]] double RunningSeconds() const { return running_; }

  // The notice is due: running for at least the notice time, and not
  // dismissed since. Dismissing hides it until another notice time of running.
  [[nodiscard]] bool NoticeDue() const;
  void DismissNotice();

  // The drift, when its size has reached the threshold; it stays shown until
  // it falls below four fifths of it, so it does not flicker on the edge.
  [[nodiscard]] std::optional<Drift> ShownDrift() const;
  // The drift as measured, shown or not (nothing from too little data).
  [[nodiscard]] std::optional<Drift> MeasuredDrift() const;

 private:
  struct Second {
    double time = 0;  // mean time of the readings in it
    double sum = 0;   // of the readings' mean of the four D(c)
    int count = 0;
  };
  void Reset();
  void TakeMaxima(double seconds, const std::array<std::int32_t, 4>& maxima);
  void UpdateDrift();
  void ClearDrift();

  GuardSettings settings_;
  session::SessionState state_;
  bool active_ = false;
  bool seen_frame_ = false;
  double last_time_ = 0;
  double running_ = 0;
  double notice_from_;          // running time from which the notice is due
  std::deque<Second> seconds_;  // one per second of readings, oldest first
  std::int64_t current_second_ = 0;
  std::optional<Drift> measured_;
  bool drift_shown_ = false;
};

}  // namespace qv::guard
