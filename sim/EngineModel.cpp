#include "EngineModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "Random.h"

namespace qv::sim {
namespace {

// Firing (and so intake) order 1-3-4-2: the position of each cylinder in the cycle.
constexpr std::array<int, 4> kIntakeSlot{0, 3, 1, 2};
// Share of the cycle the intake valve is open.
constexpr double kIntakeWidth = 0.3;

constexpr std::uint64_t kJitterKey = 0x100;

}  // namespace

std::optional<Scenario> ParseScenario(std::string_view name) {
  if (name == "drift") return Scenario::kDrift;
  if (name == "steady") return Scenario::kSteady;
  if (name == "sync") return Scenario::kSync;
  if (name == "overpressure") return Scenario::kOverpressure;
  if (name == "practice") return Scenario::kPractice;
  return std::nullopt;
}

std::string_view ScenarioName(Scenario s) {
  switch (s) {
    case Scenario::kDrift: return "drift";
    case Scenario::kSteady: return "steady";
    case Scenario::kSync: return "sync";
    case Scenario::kOverpressure: return "overpressure";
    case Scenario::kPractice: return "practice";
  }
  return "drift";
}

std::array<double, 4> PracticeImbalance(std::uint64_t seed) {
  std::array<double, 4> out{};
  const std::uint64_t mix = Mix64(seed);
  const double sign = (mix >> 2) & 1 ? -1.0 : 1.0;
  for (std::size_t c = 0; c < out.size(); ++c) out[c] = sign * kPracticeImbalance[(c + mix) % out.size()];
  return out;
}

EngineModel::EngineModel(EngineConfig config) : config_(config) {
  if (config_.rpm < kMinRpm || config_.rpm > kMaxRpm) throw std::invalid_argument("engine speed out of range");
  if (config_.scenario == Scenario::kOverpressure) overpressure_[2] = true;
  for (auto& ch : ring_) ch.fill(DeviceValue(0.0));
}

Nanos EngineModel::CycleDuration() const {
  // Four strokes take two turns of the crankshaft.
  return 120 * kNanosPerSecond / config_.rpm;
}

double EngineModel::ScenarioOffset(int channel, double t) const {
  if (config_.scenario == Scenario::kPractice) return PracticeImbalance(config_.seed).at(channel);
  double share = 1.0;
  switch (config_.scenario) {
    case Scenario::kDrift: share = 0.5 + 0.5 * std::cos(2.0 * std::numbers::pi * t / kDriftPeriod); break;
    case Scenario::kSync: share = std::exp(-t / kSyncTimeConstant); break;
    case Scenario::kSteady:
    case Scenario::kOverpressure:
    case Scenario::kPractice: share = 1.0; break;
  }
  return kImbalance.at(channel) * share;
}

double EngineModel::Pressure(int channel, std::uint64_t k) const {
  const std::uint64_t cycle = k / kSamplesPerCycle;
  const double t = static_cast<double>(k) * static_cast<double>(CycleDuration()) /
                   (kSamplesPerCycle * static_cast<double>(kNanosPerSecond));
  double phase = static_cast<double>(k % kSamplesPerCycle) / kSamplesPerCycle - kIntakeSlot.at(channel) / 4.0;
  if (phase < 0) phase += 1.0;
  const double pulse = phase < kIntakeWidth ? std::pow(std::sin(std::numbers::pi * phase / kIntakeWidth), 2) : 0.0;
  const double noise = kSampleNoise * HashNoise(config_.seed, static_cast<std::uint64_t>(channel), k);
  if (overpressure_.at(channel)) {
    // A valve that does not close: the runner stays above the atmosphere.
    return 15.0 + 10.0 * pulse + noise;
  }
  const double jitter = kCycleJitter * HashNoise(config_.seed, kJitterKey + static_cast<std::uint64_t>(channel), cycle);
  const double peak = std::max(0.0, kIdleVacuum + ScenarioOffset(channel, t) + user_offset_.at(channel) + jitter);
  return -peak * (0.4 + 0.6 * pulse) + noise;
}

std::uint16_t EngineModel::DeviceValue(double mbar) {
  const double v = std::clamp(std::round(100.0 - mbar), 0.0, 4000.0);
  return static_cast<std::uint16_t>(v);
}

Maxima EngineModel::RunCycle() {
  Maxima maxima{};
  const std::uint64_t first = cycles_ * kSamplesPerCycle;
  for (int i = 0; i < kSamplesPerCycle; ++i) {
    for (int c = 0; c < kChannels; ++c) {
      const std::uint16_t v = DeviceValue(Pressure(c, first + static_cast<std::uint64_t>(i)));
      ring_[c][head_] = v;
      maxima[c] = i == 0 ? v : std::max(maxima[c], v);
    }
    head_ = (head_ + 1) % kSamplesPerRecord;
  }
  ++cycles_;
  return maxima;
}

std::vector<std::uint16_t> EngineModel::Waveform(int channel, int count) const {
  count = std::clamp(count, 0, kSamplesPerRecord);
  std::vector<std::uint16_t> out;
  out.reserve(static_cast<std::size_t>(count));
  const auto& ring = ring_.at(channel);
  for (int i = 1; i <= count; ++i) out.push_back(ring[(head_ - i + kSamplesPerRecord) % kSamplesPerRecord]);
  return out;
}

void EngineModel::AdjustOffset(int channel, double delta_mbar) {
  double& o = user_offset_.at(channel);
  o = std::clamp(o + delta_mbar, -kOffsetLimit, kOffsetLimit);
}

}  // namespace qv::sim
