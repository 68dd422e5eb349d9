// The model fed with the simulated engine's maxima, cycle by cycle, as the
// program would see them at 1200 rpm.
#include <gtest/gtest.h>

#include <cmath>

#include "EngineModel.h"
#include "Keys.h"
#include "ModelFeeder.h"

namespace qv::workshop {
namespace {

using sim::EngineModel;
using sim::Scenario;

test::Maxima Cycle(EngineModel& e) {
  const sim::Maxima m = e.RunCycle();
  return {m[0], m[1], m[2], m[3]};
}

double CycleSeconds(const EngineModel& e) {
  return static_cast<double>(e.CycleDuration()) / static_cast<double>(sim::kNanosPerSecond);
}

TEST(WorkshopModelWithSim, PracticeIsOutOfLineUntilTheHandsBringItIn) {
  EngineModel engine({sim::kDefaultRpm, 7, Scenario::kPractice});
  WorkshopModel model;
  test::ModelFeeder f{model};
  f.Open();
  for (int i = 0; i < 50; ++i) f.Frame(Cycle(engine), CycleSeconds(engine));
  EXPECT_TRUE(f.R().settled);
  EXPECT_FALSE(f.R().inSync);
  // The worst cylinder is the one furthest out of line, with the opposite sign:
  // more vacuum (a larger offset) reads more negative.
  const auto o = sim::PracticeImbalance(7);
  const int worst = f.R().worstChannel;
  ASSERT_GE(worst, 0);
  EXPECT_EQ(std::abs(o[worst]), 16.0);
  EXPECT_LT(f.R().channels[worst].difference * o[worst], 0);

  // Key presses, one mBar each, as a person at the terminal gives them.
  sim::MechanicHand hand(engine);
  for (int c = 0; c < 4; ++c) {
    (void)hand.Apply({sim::KeyCommand::kSelect, c});
    const auto key = o[c] > 0 ? sim::KeyCommand::kLower : sim::KeyCommand::kRaise;
    for (int n = 0; n < static_cast<int>(std::abs(o[c])); ++n) (void)hand.Apply({key});
  }
  bool inSync = false;
  for (int i = 0; i < 60 && !inSync; ++i) {
    f.Frame(Cycle(engine), CycleSeconds(engine));
    inSync = f.R().inSync;
  }
  EXPECT_TRUE(inSync);
  for (int c = 0; c < 4; ++c) EXPECT_FALSE(f.R().channels[c].unsteady) << c;
}

TEST(WorkshopModelWithSim, DriftComesIntoSyncAndGoesOutAgain) {
  EngineModel engine({sim::kDefaultRpm, 3, Scenario::kDrift});
  WorkshopModel model;
  test::ModelFeeder f{model};
  f.Open();
  const double dt = CycleSeconds(engine);
  const int cycles = static_cast<int>(sim::kDriftPeriod / dt);
  double run = 0, longest = 0, longestEnd = 0;
  bool early = false, late = false;
  for (int i = 1; i <= cycles; ++i) {
    f.Frame(Cycle(engine), dt);
    const double t = i * dt;
    const bool inSync = f.R().inSync;
    run = inSync ? run + dt : 0;
    if (run > longest) {
      longest = run;
      longestEnd = t;
    }
    if (t < 0.2 * sim::kDriftPeriod) early = early || inSync;
    if (t > 0.8 * sim::kDriftPeriod) late = late || inSync;
  }
  // Out of line at the start and the end of the period; in line for a good
  // stretch round its middle (the edges of the band may flicker).
  EXPECT_FALSE(early);
  EXPECT_FALSE(late);
  EXPECT_GT(longest, 0.1 * sim::kDriftPeriod);
  EXPECT_GT(longestEnd, 0.5 * sim::kDriftPeriod);
  EXPECT_LT(longestEnd - longest, 0.5 * sim::kDriftPeriod);
}

}  // namespace
}  // namespace qv::workshop
