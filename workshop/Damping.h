#pragma once
// Exponential moving average of the four channels, applied with the real time
// between frames: after dt seconds a value moves by alpha = 1 - exp(-dt / tau)
// towards the new reading, so the time constant tau holds at any frame rate
// and across gaps.
#include <array>

namespace qv::workshop {

using Values = std::array<double, 4>;

class Damper {
 public:
  // Seconds; 0 (or anything not positive and finite) switches damping off.
  void SetTimeConstant(double seconds);
  [[nodiscard]] double TimeConstant() const { return tau_; }

  // The undamped values at time t (seconds). The first values after
  // construction or Forget() are taken as they are.
  void Feed(double t, const Values& x);
  // Damping starts afresh from the newest undamped values (the space bar).
  void Reset() { y_ = x_; }
  // Nothing fed yet.
  void Forget() { primed_ = false; }

  [[nodiscard]] bool Primed() const { return primed_; }
  [[nodiscard]] const Values& Value() const { return y_; }

 private:
  double tau_ = 1.0;
  bool primed_ = false;
  double last_t_ = 0;
  Values x_{};
  Values y_{};
};

}  // namespace qv::workshop
