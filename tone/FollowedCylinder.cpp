#include "FollowedCylinder.h"

#include <cmath>

#include "Units.h"

namespace qv::tone {

int FollowedChannel(const workshop::Reading& r, int chosen) {
  if (r.status != workshop::Status::Live && r.status != workshop::Status::NoData) return -1;
  const int n = r.pairMode ? 2 : 4;
  if (chosen >= 0 && chosen < 4) return r.pairMode ? chosen / 2 : chosen;
  int worst = -1;
  double largest = -1;
  for (int i = 0; i < n; ++i) {
    const double d = std::fabs(r.channels[static_cast<std::size_t>(i)].difference);
    if (d > largest) {
      largest = d;
      worst = i;
    }
  }
  return worst;
}

GuidanceInput InputFor(const workshop::Reading& r, int chosen) {
  GuidanceInput in;
  const int c = FollowedChannel(r, chosen);
  in.live = c >= 0 && r.status == workshop::Status::Live;
  if (c < 0) return in;
  in.difference = workshop::RoundToDisplay(r.channels[static_cast<std::size_t>(c)].difference, r.unit);
  in.tolerance = workshop::RoundToDisplay(r.tolerance, r.unit);
  in.inSync = r.inSync;
  return in;
}

}  // namespace qv::tone
