#pragma once
// Faults a worn cable or a confused device would produce, each switched on by
// a rate (the chance per frame, 0..1) so that a receiver's recovery can be
// watched and tested. Draws come from their own seeded stream, so switching
// faults on does not change the engine's values.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Random.h"
#include "SimTypes.h"

namespace qv::sim {

struct FaultOptions {
  std::size_t split_max = 0;  // > 0: deliver in chunks of 1..split_max bytes with pauses
  double junk = 0.0;          // junk bytes between frames
  double drop_end = 0.0;      // a frame without its "End_Data"
  double bad_channel = 0.0;   // a channel record whose channel byte is above 3
  double bad_count = 0.0;     // a channel record whose count is letters

  [[nodiscard]] bool Any() const {
    return split_max > 0 || junk > 0 || drop_end > 0 || bad_channel > 0 || bad_count > 0;
  }
};

inline constexpr std::size_t kMaxJunk = 16;
inline constexpr Nanos kMaxSplitPause = 3 * kNanosPerMilli;
inline constexpr std::size_t kNormalChunk = 16;

class FaultInjector {
 public:
  FaultInjector(FaultOptions options, std::uint64_t seed) : options_(options), rng_(Mix64(seed ^ 0xFA17u)) {}

  [[nodiscard]] const FaultOptions& Options() const { return options_; }

  [[nodiscard]] bool JunkNow() { return rng_.Chance(options_.junk); }
  [[nodiscard]] bool DropEndNow() { return rng_.Chance(options_.drop_end); }
  [[nodiscard]] bool BadChannelNow() { return rng_.Chance(options_.bad_channel); }
  [[nodiscard]] bool BadCountNow() { return rng_.Chance(options_.bad_count); }

  // 1..16 bytes of noise. Never an 'M' or an 'E', so junk can neither start a
  // tag nor an "End_Data" and the frames around it keep their meaning.
  [[nodiscard]] std::string Junk();

  // A channel byte the device cannot have: 4..255.
  [[nodiscard]] std::uint8_t BadChannelByte() { return static_cast<std::uint8_t>(rng_.Between(4, 255)); }

  // Three lower-case letters where the count belongs.
  [[nodiscard]] std::string BadCountText();

  // The size of the next delivered chunk, and the pause before it.
  [[nodiscard]] std::size_t NextChunkSize();
  [[nodiscard]] Nanos NextPause();

 private:
  FaultOptions options_;
  Rng rng_;
};

}  // namespace qv::sim
