#pragma once
// Small, portable pseudo-random numbers. The standard distributions differ
// between library implementations, so a seed would not reproduce the same
// stream everywhere; these do.
#include <cstdint>

namespace qv::sim {

// One step of SplitMix64: a good 64-bit mix of its argument.
constexpr std::uint64_t Mix64(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

// A uniform value in [-1, 1) that depends only on its three keys, so a sample
// of noise is the same whatever order the samples are computed in.
constexpr double HashNoise(std::uint64_t seed, std::uint64_t a, std::uint64_t b) {
  const std::uint64_t h = Mix64(Mix64(Mix64(seed) ^ a) ^ (b * 0xD6E8FEB86659FD93ull));
  return static_cast<double>(h >> 11) * (2.0 / 9007199254740992.0) - 1.0;
}

class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    state_ += 0x9E3779B97F4A7C15ull;
    return Mix64(state_ - 0x9E3779B97F4A7C15ull);
  }

  // Uniform in [0, 1).
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

  // Uniform in [lo, hi], both included; the tiny modulo bias does not matter here.
  std::uint64_t Between(std::uint64_t lo, std::uint64_t hi) { return lo + Next() % (hi - lo + 1); }

  // True with the given probability (0 never, 1 always).
  bool Chance(double p) { return p > 0.0 && Unit() < p; }

 private:
  std::uint64_t state_;
};

}  // namespace qv::sim
