// Status, steadiness, zero adjustment, hold and hostile input.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "ModelFeeder.h"

namespace qv::workshop {
namespace {

using test::kExample;
using test::Maxima;
using test::ModelFeeder;

TEST(WorkshopModelStatus, FromNoScanThroughWaitingToLiveAndNoData) {
  WorkshopModel model;
  ModelFeeder f{model};
  EXPECT_EQ(f.R().status, Status::NoScan);
  f.last = kExample;  // old maxima in the state before the port opens
  f.Close();
  EXPECT_EQ(f.R().status, Status::NoScan);
  f.Open();
  EXPECT_EQ(f.R().status, Status::Waiting);
  f.Tick(5.0);  // the old maxima are not data
  EXPECT_EQ(f.R().status, Status::Waiting);
  EXPECT_EQ(f.R().worstChannel, -1);
  EXPECT_EQ(f.R().channels[0].absolute, 0);
  f.Frame(kExample);
  EXPECT_EQ(f.R().status, Status::Live);
  f.Tick(0.99);
  EXPECT_EQ(f.R().status, Status::Live);
  f.Tick(0.01);
  EXPECT_EQ(f.R().status, Status::NoData);
  // The last values stay for the view to grey out.
  EXPECT_DOUBLE_EQ(f.R().channels[2].absolute, -260);
  f.Frame(kExample);
  EXPECT_EQ(f.R().status, Status::Live);
  f.Close();
  EXPECT_EQ(f.R().status, Status::NoScan);
  EXPECT_EQ(f.R().channels[2].absolute, 0);
  EXPECT_EQ(f.R().worstChannel, -1);
  // Reopened: waiting again, though the maxima still hold the last values.
  f.Open();
  EXPECT_EQ(f.R().status, Status::Waiting);
}

TEST(WorkshopModelStatus, ANewFrameIsTheCountChangingNotTheValues) {
  WorkshopModel model({.dampingSeconds = 0});
  ModelFeeder f{model};
  f.Open();
  // The same maxima in frame after frame are frames all the same.
  f.Hold(kExample, 2.5);
  EXPECT_EQ(f.R().status, Status::Live);
  EXPECT_TRUE(f.R().settled);
  // Changed values under an unchanged count are not a frame.
  model.Update(f.t + 0.1, {100, 100, 100, 100}, f.frames, true);
  EXPECT_DOUBLE_EQ(f.R().channels[0].absolute, -250);
  model.Update(f.t + 1.2, {100, 100, 100, 100}, f.frames, true);
  EXPECT_EQ(f.R().status, Status::NoData);
}

TEST(WorkshopModelStatus, SerialChangesExactlyWhenTheReadingDoes) {
  WorkshopModel model({.dampingSeconds = 0});
  ModelFeeder f{model};
  f.Open();
  f.Frame(kExample);
  const std::uint64_t s0 = f.R().serial;
  f.Tick(0.05);
  f.Tick(0.05);
  EXPECT_EQ(f.R().serial, s0);
  f.Frame({351, 340, 360, 345});
  EXPECT_GT(f.R().serial, s0);
  const std::uint64_t s1 = f.R().serial;
  model.SetSettings({.unit = Unit::HectoPascal, .dampingSeconds = 0});  // the unit shown changes
  EXPECT_GT(f.R().serial, s1);
}

TEST(WorkshopModelSteadiness, SettledAfterTwoSecondsOfScatterBelowAQuarterOfTheTolerance) {
  WorkshopModel model({.toleranceMbar = 10, .dampingSeconds = 0});
  ModelFeeder f{model};
  f.Open();
  f.Hold({350, 348, 352, 351}, 1.8);
  EXPECT_FALSE(f.R().settled);  // not two seconds yet
  EXPECT_FALSE(f.R().inSync);
  f.Hold({350, 348, 352, 351}, 0.4);
  EXPECT_TRUE(f.R().settled);
  EXPECT_TRUE(f.R().inSync);
  // Alternating by +-3 mBar: a scatter of about 3, more than a quarter of the tolerance.
  for (int i = 0; i < 30; ++i) f.Frame(i % 2 ? Maxima{347, 348, 352, 351} : Maxima{353, 348, 352, 351});
  EXPECT_NEAR(f.R().channels[0].scatter, 3, 0.01);
  EXPECT_FALSE(f.R().settled);
  EXPECT_FALSE(f.R().inSync);
  // +-2 mBar is settled (a tolerance of 10 allows scatter below 2.5).
  for (int i = 0; i < 30; ++i) f.Frame(i % 2 ? Maxima{348, 348, 352, 351} : Maxima{352, 348, 352, 351});
  EXPECT_NEAR(f.R().channels[0].scatter, 2, 0.01);
  EXPECT_TRUE(f.R().settled);
  model.SetSettings({.toleranceMbar = 7, .dampingSeconds = 0});  // a quarter is 1.75 now
  EXPECT_FALSE(f.R().settled);
  model.SetSettings({.toleranceMbar = 10, .dampingSeconds = 0});
  EXPECT_TRUE(f.R().settled);
  // Steady again for two seconds: the old swings have left the window.
  f.Hold({350, 348, 352, 351}, 2.5);
  EXPECT_EQ(f.R().channels[0].scatter, 0);
  EXPECT_TRUE(f.R().inSync);
}

TEST(WorkshopModelSteadiness, NotInSyncWhenSettledButOutsideTheBand) {
  WorkshopModel model({.dampingSeconds = 0});
  ModelFeeder f{model};
  f.Open();
  f.Hold(kExample, 2.5);
  EXPECT_TRUE(f.R().settled);
  EXPECT_EQ(f.R().channels[2].band, Band::Near);  // -11.25
  EXPECT_FALSE(f.R().inSync);
  EXPECT_EQ(f.R().worstChannel, 2);
  // A gap of no data starts the two seconds again.
  f.Tick(1.0);
  EXPECT_FALSE(f.R().settled);
  f.Frame(kExample);
  EXPECT_FALSE(f.R().settled);
}

TEST(WorkshopModelSteadiness, UnsteadyIsMoreThanThreeTimesTheMedianOfTheOthers) {
  WorkshopModel model({.dampingSeconds = 0});
  ModelFeeder f{model};
  f.Open();
  // Scatter 1, 1, 2, 4 mBar: only cylinder 4 exceeds three times the median (1) of the others.
  for (int i = 0; i < 30; ++i) {
    const int s = i % 2 ? 1 : -1;
    f.Frame({350 + s, 340 + s, 360 + 2 * s, 345 + 4 * s});
  }
  const Reading& r = f.R();
  EXPECT_NEAR(r.channels[3].scatter, 4, 0.01);
  EXPECT_FALSE(r.channels[0].unsteady);
  EXPECT_FALSE(r.channels[1].unsteady);
  EXPECT_FALSE(r.channels[2].unsteady);
  EXPECT_TRUE(r.channels[3].unsteady);
  // Scatter 2, 2, 2, 5: not more than three times the others'.
  for (int i = 0; i < 30; ++i) {
    const int s = i % 2 ? 1 : -1;
    f.Frame({350 + 2 * s, 340 + 2 * s, 360 + 2 * s, 345 + 5 * s});
  }
  EXPECT_FALSE(f.R().channels[3].unsteady);
  // Scatter 2, 1, 2, 7: the median of the others is 2, and 7 is more than 6.
  for (int i = 0; i < 30; ++i) {
    const int s = i % 2 ? 1 : -1;
    f.Frame({350 + 2 * s, 340 + s, 360 + 2 * s, 345 + 7 * s});
  }
  EXPECT_TRUE(f.R().channels[3].unsteady);
  EXPECT_FALSE(f.R().channels[1].unsteady);
}

TEST(WorkshopModelSteadiness, TheDevicesOwnStepIsNotUnsteady) {
  WorkshopModel model({.dampingSeconds = 0});
  ModelFeeder f{model};
  f.Open();
  // Three constant channels and one that flips by a single count: scatter 0.5.
  for (int i = 0; i < 30; ++i) f.Frame({350, 340, 360, 345 + i % 2});
  EXPECT_NEAR(f.R().channels[3].scatter, 0.5, 0.01);
  EXPECT_FALSE(f.R().channels[3].unsteady);
}

TEST(WorkshopModelSteadiness, PairModeScatterIsThatOfThePairsMeans) {
  WorkshopModel model({.pairMode = true, .dampingSeconds = 0});
  ModelFeeder f{model};
  f.Open();
  // Cylinders 1 and 2 swing against each other: their mean stays put.
  for (int i = 0; i < 30; ++i) f.Frame(i % 2 ? Maxima{354, 346, 350, 350} : Maxima{346, 354, 352, 352});
  EXPECT_NEAR(f.R().channels[0].scatter, 0, 1e-9);
  EXPECT_NEAR(f.R().channels[1].scatter, 1, 0.01);
}

TEST(WorkshopModelZero, OffsetsMakeTheFourReadEqual) {
  WorkshopModel model({.dampingSeconds = 0});
  ModelFeeder f{model};
  f.Open();
  // Engine off, hoses open: D = 2, -1, 0, -3 (mean -0.5), with a little noise.
  for (int i = 0; i < 20; ++i) f.Frame(i % 2 ? Maxima{98, 101, 100, 103} : Maxima{97, 101, 101, 103});
  ASSERT_TRUE(model.AdjustZero().Done());
  EXPECT_TRUE(f.R().zeroed);
  const ZeroOffsets o = *model.CurrentZeroOffsets();
  EXPECT_NEAR(o[0] + o[1] + o[2] + o[3], 0, 1e-12);
  // Averages about 2.5, -1, -0.5, -3; their mean -0.5.
  EXPECT_NEAR(o[0], 3, 0.1);
  EXPECT_NEAR(o[1], -0.5, 1e-9);
  EXPECT_NEAR(o[3], -2.5, 1e-9);
  f.Hold({100, 100, 100, 100}, 0.5);
  const Reading& r = f.R();
  for (int c = 0; c < 4; ++c) EXPECT_NEAR(r.channels[c].absolute, -o[c], 1e-9);
  model.ClearZero();
  EXPECT_FALSE(f.R().zeroed);
  EXPECT_DOUBLE_EQ(f.R().channels[0].absolute, 0);
}

TEST(WorkshopModelZero, RefusedWithoutDataOrWhenTheSpreadIsNotAmbientAir) {
  WorkshopModel model({.dampingSeconds = 0});
  ModelFeeder f{model};
  EXPECT_EQ(model.AdjustZero().refusal, ZeroOutcome::Refusal::kNoData);
  f.Open();
  EXPECT_EQ(model.AdjustZero().refusal, ZeroOutcome::Refusal::kNoData);
  f.Hold({100, 120, 100, 150}, 0.5);  // 50 mBar apart: still accepted
  EXPECT_TRUE(model.AdjustZero().Done());
  f.Hold({100, 120, 100, 151}, 2.5);
  const ZeroOutcome out = model.AdjustZero();
  EXPECT_EQ(out.refusal, ZeroOutcome::Refusal::kSpread);
  EXPECT_DOUBLE_EQ(out.spreadMbar, 51);
  // The refusal leaves the earlier offsets as they were.
  EXPECT_DOUBLE_EQ((*model.CurrentZeroOffsets())[3], -32.5);  // -50 against the mean -17.5
  f.Tick(1.0);
  EXPECT_EQ(model.AdjustZero().refusal, ZeroOutcome::Refusal::kNoData);
}

TEST(WorkshopModelZero, StoredOffsetsThatCannotBeAZeroAreNotApplied) {
  WorkshopModel model;
  EXPECT_TRUE(model.SetZeroOffsets(ZeroOffsets{1, -1, 0.5, -0.5}));
  EXPECT_TRUE(model.Current().zeroed);
  EXPECT_FALSE(model.SetZeroOffsets(ZeroOffsets{1, std::nan(""), 0, 0}));
  EXPECT_FALSE(model.SetZeroOffsets(ZeroOffsets{1, 51, 0, 0}));
  EXPECT_DOUBLE_EQ((*model.CurrentZeroOffsets())[0], 1);
  EXPECT_TRUE(model.SetZeroOffsets(std::nullopt));
  EXPECT_FALSE(model.Current().zeroed);
}

TEST(WorkshopModelHold, FreezesTheReadingWhileDataKeepComing) {
  WorkshopModel model({.dampingSeconds = 0});
  ModelFeeder f{model};
  f.Open();
  f.Frame(kExample);
  model.SetHold(true);
  const Reading frozen = f.R();
  EXPECT_TRUE(frozen.held);
  EXPECT_EQ(frozen.status, Status::Live);
  f.Frame({300, 300, 300, 300});
  f.Tick(3.0);
  model.ResetDamping();
  EXPECT_EQ(f.R().serial, frozen.serial);
  EXPECT_DOUBLE_EQ(f.R().channels[0].absolute, -250);
  EXPECT_EQ(f.R().status, Status::Live);
  f.Frame({300, 300, 300, 300});
  model.SetHold(false);
  EXPECT_FALSE(f.R().held);
  EXPECT_GT(f.R().serial, frozen.serial);
  EXPECT_DOUBLE_EQ(f.R().channels[0].absolute, -200);
}

bool AllFinite(const Reading& r) {
  bool ok = std::isfinite(r.reference) && std::isfinite(r.tolerance) && std::isfinite(r.fullScale);
  for (const Channel& c : r.channels)
    ok = ok && std::isfinite(c.absolute) && std::isfinite(c.difference) && std::isfinite(c.scatter);
  return ok;
}

TEST(WorkshopModelHostile, ExtremeMaximaNeverGiveNaNInfinityOrOverflow) {
  const Maxima patterns[] = {{65535, 65535, 65535, 65535}, {0, 0, 0, 0},
                             {65535, 0, 65535, 0},         {INT_MAX, INT_MIN, 0, 65535},
                             {INT_MIN, INT_MIN, 1, 1},     {350, 350, 350, 350}};
  for (Unit unit : {Unit::MilliBar, Unit::InchHg})
    for (bool pairs : {false, true})
      for (double tau : {0.0, 0.25, 4.0}) {
        WorkshopModel model(
            {.unit = unit, .reference = ReferenceKind::Midpoint, .pairMode = pairs, .dampingSeconds = tau});
        ModelFeeder f{model};
        f.Open();
        for (int i = 0; i < 400; ++i) {
          // Constant, then alternating extremes frame by frame, at uneven times.
          const Maxima& m = i < 100 ? patterns[0] : patterns[static_cast<std::size_t>(i % 6)];
          f.Frame(m, i % 7 == 0 ? 0.0 : 0.013 * (i % 5));
          ASSERT_TRUE(AllFinite(f.R())) << "frame " << i;
          if (i % 50 == 0) (void)model.AdjustZero();
        }
        EXPECT_EQ(f.R().fullScale, 100);
        EXPECT_FALSE(f.R().inSync);
      }
}

TEST(WorkshopModelHostile, ZeroMaximaAndFullScaleAlternatingGiveTheirRealSpread) {
  WorkshopModel model({.dampingSeconds = 0});
  ModelFeeder f{model};
  f.Open();
  for (int i = 0; i < 40; ++i) f.Frame(i % 2 ? Maxima{0, 0, 0, 0} : Maxima{65535, 65535, 65535, 65535});
  EXPECT_NEAR(f.R().channels[0].scatter, 65535.0 / 2, 65535.0 / 200);
  EXPECT_EQ(f.R().channels[0].difference, 0);
  EXPECT_FALSE(f.R().settled);
  EXPECT_FALSE(f.R().channels[0].unsteady);
}

}  // namespace
}  // namespace qv::workshop
