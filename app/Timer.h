#pragma once
// A periodic timer on the user-interface thread with an Enabled switch:
// enabling a timer that already runs leaves its interval alone, where
// QTimer::start() would begin the interval anew.
#include <QTimer>
#include <functional>

namespace qv {

class TTimer {
 public:
  explicit TTimer(int intervalMs);

  [[nodiscard]] bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);

  [[nodiscard]] int Interval() const { return interval_; }
  // A new interval restarts a running timer. An interval of 0 or less keeps
  // the timer enabled but silent until a positive interval is set.
  void SetInterval(int ms);

  // Whether ticks are being scheduled right now.
  [[nodiscard]] bool Active() const { return timer_.isActive(); }
  // Milliseconds left until the next tick; -1 when none is scheduled.
  [[nodiscard]] int RemainingTime() const { return timer_.remainingTime(); }

  std::function<void()> OnTimer;

 private:
  void Update();

  QTimer timer_;
  int interval_;
  bool enabled_ = false;
};

}  // namespace qv
