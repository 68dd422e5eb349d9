#pragma once
// Which difference of the workshop reading the guidance tone follows: the one
// furthest off (on a tie the lower number), or the cylinder the mechanic
// chose; in pair mode a chosen cylinder's pair. Pure functions of a Reading.
#include "Guidance.h"
#include "WorkshopReading.h"

namespace qv::tone {

inline constexpr int kFurthestOff = -1;

// The channel (index into Reading::channels) to follow; `chosen` is a
// cylinder 0..3, or kFurthestOff. -1 when the reading has nothing to follow.
[[nodiscard]] int FollowedChannel(const workshop::Reading& r, int chosen = kFurthestOff);

// The followed difference and the band as shown (rounded as the numbers on
// screen are), the verdict, and whether readings arrive.
[[nodiscard]] GuidanceInput InputFor(const workshop::Reading& r, int chosen = kFurthestOff);

}  // namespace qv::tone
