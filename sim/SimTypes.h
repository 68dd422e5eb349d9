#pragma once
// Units and fixed figures of the simulated device.
#include <cstddef>
#include <cstdint>

namespace qv::sim {

// Monotonic time in nanoseconds; every part of the model takes it as an
// argument, so tests drive the device with a clock of their own.
using Nanos = std::int64_t;

inline constexpr Nanos kNanosPerSecond = 1'000'000'000;
inline constexpr Nanos kNanosPerMilli = 1'000'000;

// 57600 baud, 8N1: ten bit times per byte.
inline constexpr std::int64_t kLineBytesPerSecond = 5760;

inline constexpr int kChannels = 4;

// The engine is sampled 130 times per engine cycle; a channel record carries
// the newest 260 samples, that is the last two engine cycles.
inline constexpr int kSamplesPerCycle = 130;
inline constexpr int kSamplesPerRecord = 260;

inline constexpr int kDefaultRpm = 1200;
inline constexpr int kMinRpm = 300;
inline constexpr int kMaxRpm = 3000;

}  // namespace qv::sim
