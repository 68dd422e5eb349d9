#include "Damping.h"

#include <algorithm>
#include <cmath>

namespace qv::workshop {

void Damper::SetTimeConstant(double seconds) { tau_ = std::isfinite(seconds) && seconds > 0 ? seconds : 0.0; }

void Damper::Feed(double t, const Values& x) {
  x_ = x;
  if (!primed_) {
    y_ = x;
    last_t_ = t;
    primed_ = true;
    return;
  }
  if (tau_ == 0.0) {
    y_ = x;
  } else {
    // Time never runs backwards here: a repeated or earlier time moves nothing.
    const double dt = std::max(0.0, t - last_t_);
    const double alpha = -std::expm1(-dt / tau_);
    for (std::size_t c = 0; c < y_.size(); ++c) y_[c] += alpha * (x[c] - y_[c]);
  }
  last_t_ = std::max(last_t_, t);
}

}  // namespace qv::workshop
