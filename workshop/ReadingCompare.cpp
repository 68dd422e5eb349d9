#include "ReadingCompare.h"

#include <tuple>

namespace qv::workshop {
namespace {

auto Tie(const Channel& c) { return std::tie(c.absolute, c.difference, c.scatter, c.band, c.unsteady); }

}  // namespace

bool SameReading(const Reading& a, const Reading& b) {
  for (std::size_t c = 0; c < a.channels.size(); ++c)
    if (Tie(a.channels[c]) != Tie(b.channels[c])) return false;
  return std::tie(a.status, a.unit, a.referenceKind, a.referenceCylinder, a.pairMode, a.channelCount, a.reference,
                  a.tolerance, a.settled, a.inSync, a.worstChannel, a.zeroed, a.held, a.fullScale) ==
         std::tie(b.status, b.unit, b.referenceKind, b.referenceCylinder, b.pairMode, b.channelCount, b.reference,
                  b.tolerance, b.settled, b.inSync, b.worstChannel, b.zeroed, b.held, b.fullScale);
}

}  // namespace qv::workshop
