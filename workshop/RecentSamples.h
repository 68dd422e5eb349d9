#pragma once
// The undamped values of the last two seconds, for the scatter (standard
// deviation) of each channel and for the zero adjustment's averages.
#include <cstddef>
#include <deque>

#include "Damping.h"

namespace qv::workshop {

inline constexpr double kScatterSpan = 2.0;  // seconds

class RecentSamples {
 public:
  // Adds the values of time t and drops those older than t - kScatterSpan.
  // At most kMaxSamples are kept (the oldest go first), whatever the frame rate.
  void Add(double t, const Values& v);
  void Clear() { samples_.clear(); }

  [[nodiscard]] std::size_t Count() const { return samples_.size(); }
  // Per channel, or per pair (1+2, 3+4) in the first two places.
  [[nodiscard]] Values Mean(bool pairs = false) const;
  [[nodiscard]] Values StdDev(bool pairs = false) const;

  static constexpr std::size_t kMaxSamples = 4096;

 private:
  struct Sample {
    double t;
    Values v;
  };
  [[nodiscard]] static Values Series(const Values& v, bool pairs);
  std::deque<Sample> samples_;
};

}  // namespace qv::workshop
