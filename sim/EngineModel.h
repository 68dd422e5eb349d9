#pragma once
// A four-cylinder four-stroke engine at idle, as the device's four intake
// vacuum sensors see it. Each cylinder pulls one vacuum pulse per engine cycle
// (two crankshaft turns); the carburettors are out of balance by a per-cylinder
// offset that the scenario moves over time. Pressures are in mBar relative to
// the atmosphere (vacuum is negative); the device reports 100 - pressure.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "FrameEncoder.h"
#include "SimTypes.h"

namespace qv::sim {

enum class Scenario {
  kDrift,         // the cylinders come into line and drift out again, in a loop
  kSteady,        // a fixed imbalance
  kSync,          // the imbalance dies away: a mechanic getting it right
  kOverpressure,  // a fixed imbalance, cylinder 3 above atmospheric pressure
  kPractice,      // a fixed imbalance from the seed and a calm engine; the keys move in 1 mBar steps
};

[[nodiscard]] std::optional<Scenario> ParseScenario(std::string_view name);
[[nodiscard]] std::string_view ScenarioName(Scenario s);

struct EngineConfig {
  int rpm = kDefaultRpm;
  std::uint64_t seed = 1;
  Scenario scenario = Scenario::kDrift;
};

// Figures of the model, in mBar and seconds.
inline constexpr double kIdleVacuum = 250.0;
inline constexpr std::array<double, 4> kImbalance{30.0, -20.0, 45.0, -35.0};
inline constexpr double kDriftPeriod = 40.0;
inline constexpr double kSyncTimeConstant = 8.0;
inline constexpr double kSampleNoise = 3.0;
inline constexpr double kCycleJitter = 1.5;
inline constexpr double kOffsetLimit = 200.0;
// The practice engine is out of line by these, in an order and with a sign
// chosen by the seed: two cylinders outside a 10 mBar band round the mean.
inline constexpr std::array<double, 4> kPracticeImbalance{16.0, -9.0, 6.0, -13.0};

// The imbalance the practice scenario starts with for a seed.
[[nodiscard]] std::array<double, 4> PracticeImbalance(std::uint64_t seed);

class EngineModel {
 public:
  explicit EngineModel(EngineConfig config);

  [[nodiscard]] Nanos CycleDuration() const;
  [[nodiscard]] const EngineConfig& Config() const { return config_; }

  // Runs the engine through its next cycle (130 new samples per channel) and
  // returns that cycle's maxima: per channel the largest device value, that is
  // the deepest vacuum of its pulse.
  Maxima RunCycle();
  [[nodiscard]] std::uint64_t CyclesRun() const { return cycles_; }

  // The newest `count` (at most 260) samples of a channel, newest first, as
  // device values. Samples not yet run read as the atmosphere (100).
  [[nodiscard]] std::vector<std::uint16_t> Waveform(int channel, int count = kSamplesPerRecord) const;

  // The mechanic's hand: extra vacuum of one cylinder, kept within +-200 mBar.
  void AdjustOffset(int channel, double delta_mbar);
  [[nodiscard]] double UserOffset(int channel) const { return user_offset_.at(channel); }
  void SetOverpressure(int channel, bool on) { overpressure_.at(channel) = on; }
  [[nodiscard]] bool Overpressure(int channel) const { return overpressure_.at(channel); }

  // The scenario's offset of a cylinder's peak vacuum at engine time t seconds.
  [[nodiscard]] double ScenarioOffset(int channel, double t) const;

  // Pressure of a channel at its sample k (k counts from the engine's start).
  [[nodiscard]] double Pressure(int channel, std::uint64_t k) const;

  // 100 - pressure, rounded, kept within 0..4000 so a value never looks like
  // the text of a tag on the wire.
  [[nodiscard]] static std::uint16_t DeviceValue(double mbar);

 private:
  EngineConfig config_;
  std::uint64_t cycles_ = 0;
  std::array<double, 4> user_offset_{};
  std::array<bool, 4> overpressure_{};
  // The newest samples of each channel, a ring with its next slot at head_.
  std::array<std::array<std::uint16_t, kSamplesPerRecord>, 4> ring_{};
  int head_ = 0;
};

}  // namespace qv::sim
