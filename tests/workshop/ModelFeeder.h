#pragma once
// Drives a workshop model as the view does: a frame count, maxima and the
// port's state at times of the test's choosing.
#include <array>
#include <cstdint>

#include "WorkshopModel.h"

namespace qv::workshop::test {

using Maxima = std::array<std::int32_t, 4>;

// The worked example: D = -250, -240, -260, -245 mBar.
inline constexpr Maxima kExample{350, 340, 360, 345};

struct ModelFeeder {
  WorkshopModel& model;
  double t = 100.0;
  std::uint64_t frames = 41;
  Maxima last{};

  // Opens the port: the model takes the count as it is.
  void Open() { model.Update(t, last, frames, true); }
  void Close() { model.Update(t, last, frames, false); }
  // One maxima frame dt seconds after the previous call.
  void Frame(const Maxima& maxima, double dt = 0.1) {
    t += dt;
    last = maxima;
    model.Update(t, maxima, ++frames, true);
  }
  // A call without a new frame (the view's tick).
  void Tick(double dt) {
    t += dt;
    model.Update(t, last, frames, true);
  }
  // Frames of the same maxima every dt for `seconds`.
  void Hold(const Maxima& maxima, double seconds, double dt = 0.1) {
    for (double s = 0; s < seconds - 1e-9; s += dt) Frame(maxima, dt);
  }
  const Reading& R() const { return model.Current(); }
};

}  // namespace qv::workshop::test
