#include "RecentSamples.h"

#include <algorithm>
#include <cmath>

namespace qv::workshop {

void RecentSamples::Add(double t, const Values& v) {
  if (!samples_.empty()) t = std::max(t, samples_.back().t);
  samples_.push_back({t, v});
  while (samples_.size() > kMaxSamples || samples_.front().t <= t - kScatterSpan) samples_.pop_front();
}

Values RecentSamples::Series(const Values& v, bool pairs) {
  if (!pairs) return v;
  return {(v[0] + v[1]) / 2, (v[2] + v[3]) / 2, 0.0, 0.0};
}

Values RecentSamples::Mean(bool pairs) const {
  Values sum{};
  for (const Sample& s : samples_) {
    const Values x = Series(s.v, pairs);
    for (std::size_t c = 0; c < sum.size(); ++c) sum[c] += x[c];
  }
  if (!samples_.empty())
    for (double& m : sum) m /= static_cast<double>(samples_.size());
  return sum;
}

// Two passes (mean, then squared deviations), so large equal values give an
// exact zero rather than the rounding noise of a sum of squares.
Values RecentSamples::StdDev(bool pairs) const {
  Values sd{};
  if (samples_.size() < 2) return sd;
  const Values mean = Mean(pairs);
  for (const Sample& s : samples_) {
    const Values x = Series(s.v, pairs);
    for (std::size_t c = 0; c < sd.size(); ++c) sd[c] += (x[c] - mean[c]) * (x[c] - mean[c]);
  }
  for (double& v : sd) v = std::sqrt(std::max(0.0, v / static_cast<double>(samples_.size())));
  return sd;
}

}  // namespace qv::workshop
