#pragma once
// Whether two readings show the same: every member but the serial number.
#include "WorkshopReading.h"

namespace qv::workshop {

[[nodiscard]] bool SameReading(const Reading& a, const Reading& b);

}  // namespace qv::workshop
