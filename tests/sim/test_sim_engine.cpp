// The engine model: device values, maxima, scenarios and reproducibility.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <stdexcept>

#include "EngineModel.h"

using namespace qv::sim;

namespace {

EngineModel Engine(Scenario s, std::uint64_t seed = 11) { return EngineModel({kDefaultRpm, seed, s}); }

int Spread(const Maxima& m) {
  const auto [lo, hi] = std::minmax_element(m.begin(), m.end());
  return *hi - *lo;
}

// Runs the engine for `seconds` of engine time and returns the last maxima.
Maxima RunFor(EngineModel& e, double seconds) {
  Maxima m{};
  const int cycles = static_cast<int>(seconds * 1e9 / static_cast<double>(e.CycleDuration()));
  for (int i = 0; i < cycles; ++i) m = e.RunCycle();
  return m;
}

}  // namespace

TEST(SimEngine, DeviceValueIsHundredMinusPressure) {
  EXPECT_EQ(EngineModel::DeviceValue(-250.0), 350);  // shown as "Max: -250 mBar"
  EXPECT_EQ(EngineModel::DeviceValue(0.0), 100);
  EXPECT_EQ(EngineModel::DeviceValue(20.0), 80);
  EXPECT_EQ(EngineModel::DeviceValue(-0.6), 101);
  EXPECT_EQ(EngineModel::DeviceValue(150.0), 0);  // no negative values on the wire
  EXPECT_EQ(EngineModel::DeviceValue(-9000.0), 4000);
}

TEST(SimEngine, CycleFollowsTheEngineSpeed) {
  EXPECT_EQ(Engine(Scenario::kSteady).CycleDuration(), 100 * kNanosPerMilli);  // 1200 rpm, four strokes
  EXPECT_EQ(EngineModel({600, 1, Scenario::kSteady}).CycleDuration(), 200 * kNanosPerMilli);
  EXPECT_THROW(EngineModel({299, 1, Scenario::kSteady}), std::invalid_argument);
  EXPECT_THROW(EngineModel({3001, 1, Scenario::kSteady}), std::invalid_argument);
}

TEST(SimEngine, MaximumIsTheDeepestVacuumOfTheCycle) {
  auto e = Engine(Scenario::kSteady);
  for (int cycle = 0; cycle < 20; ++cycle) {
    const Maxima m = e.RunCycle();
    for (int c = 0; c < 4; ++c) {
      const auto last = e.Waveform(c, kSamplesPerCycle);
      ASSERT_EQ(m[c], *std::max_element(last.begin(), last.end()));
      // Idle vacuum 250 mBar plus the cylinder's imbalance, within the noise.
      ASSERT_NEAR(m[c], 100 + kIdleVacuum + kImbalance[c], kSampleNoise + kCycleJitter + 1) << c;
    }
  }
}

TEST(SimEngine, WaveformIsNewestFirstAndPulsesInFiringOrder) {
  auto e = Engine(Scenario::kSteady);
  const auto before = e.Waveform(0);
  EXPECT_TRUE(std::all_of(before.begin(), before.end(), [](auto v) { return v == 100; }));
  RunFor(e, 1.0);
  const std::uint64_t newest = e.CyclesRun() * kSamplesPerCycle - 1;
  int peak_at[4];
  for (int c = 0; c < 4; ++c) {
    const auto w = e.Waveform(c);
    ASSERT_EQ(w.size(), 260u);
    EXPECT_EQ(w[0], EngineModel::DeviceValue(e.Pressure(c, newest)));
    EXPECT_EQ(w[259], EngineModel::DeviceValue(e.Pressure(c, newest - 259)));
    // Time runs backwards through the record, so the earliest peak has the largest index.
    const auto cycle = std::vector<std::uint16_t>(w.begin(), w.begin() + kSamplesPerCycle);
    peak_at[c] = kSamplesPerCycle - 1 - static_cast<int>(std::max_element(cycle.begin(), cycle.end()) - cycle.begin());
  }
  // Intake order 1-3-4-2, a quarter cycle apart.
  EXPECT_LT(peak_at[0], peak_at[2]);
  EXPECT_LT(peak_at[2], peak_at[3]);
  EXPECT_LT(peak_at[3], peak_at[1]);
  EXPECT_NEAR(peak_at[2] - peak_at[0], kSamplesPerCycle / 4, 6);
}

TEST(SimEngine, SyncScenarioConverges) {
  auto e = Engine(Scenario::kSync);
  const Maxima start = e.RunCycle();
  EXPECT_GT(Spread(start), 60);
  const Maxima later = RunFor(e, 60.0);
  EXPECT_LT(Spread(later), 2 * (kSampleNoise + kCycleJitter) + 2);
  for (int c = 0; c < 4; ++c) EXPECT_NEAR(later[c], 100 + kIdleVacuum, kSampleNoise + kCycleJitter + 2);
}

TEST(SimEngine, DriftScenarioComesIntoLineAndDriftsOutAgain) {
  auto e = Engine(Scenario::kDrift);
  EXPECT_GT(Spread(e.RunCycle()), 60);
  EXPECT_LT(Spread(RunFor(e, kDriftPeriod / 2)), 20);
  EXPECT_GT(Spread(RunFor(e, kDriftPeriod / 2)), 60);
  EXPECT_NEAR(e.ScenarioOffset(2, 0.0), kImbalance[2], 1e-9);
  EXPECT_NEAR(e.ScenarioOffset(2, kDriftPeriod / 2), 0.0, 1e-9);
}

TEST(SimEngine, OverpressureGivesValuesBelowNinetyFive) {
  auto e = Engine(Scenario::kOverpressure);
  for (int i = 0; i < 50; ++i) {
    const Maxima m = e.RunCycle();
    ASSERT_LT(m[2], 95);  // more than 5 mBar above the atmosphere
    ASSERT_GT(m[0], 95);
  }
  e.SetOverpressure(0, true);
  EXPECT_LT(e.RunCycle()[0], 95);
  e.SetOverpressure(0, false);
  EXPECT_GT(e.RunCycle()[0], 300);
}

TEST(SimEngine, OffsetMovesTheMaximumAndIsBounded) {
  auto a = Engine(Scenario::kSteady, 3);
  auto b = Engine(Scenario::kSteady, 3);
  b.AdjustOffset(1, 50.0);
  for (int i = 0; i < 10; ++i) {
    const Maxima ma = a.RunCycle();
    const Maxima mb = b.RunCycle();
    ASSERT_NEAR(mb[1] - ma[1], 50, 2);  // same noise, 50 mBar deeper at the pulse's peak
    ASSERT_EQ(mb[0], ma[0]);
  }
  b.AdjustOffset(1, 1000.0);
  EXPECT_EQ(b.UserOffset(1), kOffsetLimit);
  b.AdjustOffset(1, -5000.0);
  EXPECT_EQ(b.UserOffset(1), -kOffsetLimit);
}

TEST(SimEngine, SeedReproducesTheNoise) {
  auto a = Engine(Scenario::kDrift, 42);
  auto b = Engine(Scenario::kDrift, 42);
  auto c = Engine(Scenario::kDrift, 43);
  bool differs = false;
  for (int i = 0; i < 30; ++i) {
    const Maxima ma = a.RunCycle();
    ASSERT_EQ(ma, b.RunCycle());
    differs |= ma != c.RunCycle();
  }
  for (int ch = 0; ch < 4; ++ch) EXPECT_EQ(a.Waveform(ch), b.Waveform(ch));
  EXPECT_TRUE(differs);
}

TEST(SimEngine, ScenarioNames) {
  for (auto s : {Scenario::kDrift, Scenario::kSteady, Scenario::kSync, Scenario::kOverpressure, Scenario::kPractice}) {
    EXPECT_EQ(ParseScenario(ScenarioName(s)), s);
  }
  EXPECT_FALSE(ParseScenario("Drift"));
}

TEST(SimEngine, PracticeStartsOutOfLineByAnAmountTheSeedPicks) {
  std::set<std::array<double, 4>> seen;
  for (std::uint64_t seed = 0; seed < 64; ++seed) {
    const auto o = PracticeImbalance(seed);
    seen.insert(o);
    // Always the same amounts round a common mean: two cylinders beyond 10 mBar, none beyond 16.
    EXPECT_NEAR(o[0] + o[1] + o[2] + o[3], 0.0, 1e-12);
    EXPECT_EQ(std::count_if(o.begin(), o.end(), [](double v) { return std::abs(v) > 10; }), 2);
    EXPECT_LE(*std::max_element(o.begin(), o.end(), [](double a, double b) { return std::abs(a) < std::abs(b); }),
              16.0 + 1e-12);
  }
  EXPECT_EQ(seen.size(), 8u);  // four orders, two signs

  auto e = Engine(Scenario::kPractice, 5);
  const auto o = PracticeImbalance(5);
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(e.ScenarioOffset(c, 0.0), o[c]);
    EXPECT_EQ(e.ScenarioOffset(c, 1000.0), o[c]);  // it stays out of line until the hands move it
  }
}

TEST(SimEngine, PracticeEngineBroughtIntoLineShowsOnlyItsNoise) {
  auto e = Engine(Scenario::kPractice, 7);
  EXPECT_GE(Spread(RunFor(e, 1.0)), 25);
  const auto o = PracticeImbalance(7);
  for (int c = 0; c < 4; ++c) e.AdjustOffset(c, -o[c]);
  int widest = 0;
  for (int i = 0; i < 50; ++i) widest = std::max(widest, Spread(e.RunCycle()));
  EXPECT_LE(widest, 2 * (kCycleJitter + kSampleNoise));
}
