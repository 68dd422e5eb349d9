#include "FaultInjector.h"

namespace qv::sim {

std::string FaultInjector::Junk() {
  std::string out(rng_.Between(1, kMaxJunk), '\0');
  for (char& c : out) {
    std::uint8_t b = 0;
    do {
      b = static_cast<std::uint8_t>(rng_.Between(0, 255));
    } while (b == 'M' || b == 'E');
    c = static_cast<char>(b);
  }
  return out;
}

std::string FaultInjector::BadCountText() {
  std::string out(3, 'a');
  for (char& c : out) c = static_cast<char>('a' + rng_.Between(0, 25));
  return out;
}

std::size_t FaultInjector::NextChunkSize() {
  if (options_.split_max == 0) return kNormalChunk;
  return static_cast<std::size_t>(rng_.Between(1, options_.split_max));
}

Nanos FaultInjector::NextPause() {
  if (options_.split_max == 0) return 0;
  return static_cast<Nanos>(rng_.Between(0, static_cast<std::uint64_t>(kMaxSplitPause)));
}

}  // namespace qv::sim
