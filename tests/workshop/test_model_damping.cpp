// Damping against its closed form: after a step from x0 to x1 at time t0 the
// damped value is x1 + (x0 - x1) exp(-(t - t0) / tau), whatever the frame times.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "ModelFeeder.h"

namespace qv::workshop {
namespace {

using test::ModelFeeder;

constexpr test::Maxima kBefore{350, 350, 350, 350};  // D = -250
constexpr test::Maxima kAfter{330, 370, 350, 250};   // D = -230, -270, -250, -150

double ClosedForm(double x0, double x1, double elapsed, double tau) {
  return tau == 0 ? x1 : x1 + (x0 - x1) * std::exp(-elapsed / tau);
}

// Runs a step at the first of `dts` and checks every frame after it.
void CheckStep(double tau, const std::vector<double>& dts) {
  WorkshopModel model({.dampingSeconds = tau});
  ModelFeeder f{model};
  f.Open();
  f.Frame(kBefore);
  double elapsed = 0;
  for (double dt : dts) {
    f.Frame(kAfter, dt);
    elapsed += dt;
    const Reading& r = model.Current();
    const double x1[] = {-230, -270, -250, -150};
    for (int c = 0; c < 4; ++c)
      ASSERT_NEAR(r.channels[c].absolute, ClosedForm(-250, x1[c], elapsed, tau), 1e-9)
          << "tau " << tau << " after " << elapsed << " s, cylinder " << c + 1;
  }
}

TEST(WorkshopModelDamping, RegularFramesFollowTheClosedForm) {
  for (double tau : kDampingSteps) CheckStep(tau, std::vector<double>(60, 0.1));
  for (double tau : kDampingSteps) CheckStep(tau, std::vector<double>(500, 0.02));
}

TEST(WorkshopModelDamping, IrregularFramesFollowTheClosedForm) {
  std::vector<double> dts;
  for (int i = 0; i < 200; ++i) dts.push_back(0.005 + 0.3 * ((i * 37) % 11) / 11.0);
  for (double tau : kDampingSteps) CheckStep(tau, dts);
}

TEST(WorkshopModelDamping, AGapCountsWithItsRealLength) {
  // Frames, then 3 s with nothing (the view shows "no data"), then one frame.
  for (double tau : {0.5, 1.0, 4.0}) {
    WorkshopModel model({.dampingSeconds = tau});
    ModelFeeder f{model};
    f.Open();
    f.Frame(kBefore);
    f.Frame(kAfter, 0.1);
    f.Tick(1.5);
    EXPECT_EQ(model.Current().status, Status::NoData);
    f.Tick(1.4);
    f.Frame(kAfter, 0.1);
    EXPECT_EQ(model.Current().status, Status::Live);
    EXPECT_NEAR(model.Current().channels[3].absolute, ClosedForm(-250, -150, 3.1, tau), 1e-9) << tau;
  }
}

TEST(WorkshopModelDamping, ResetJumpsToTheNewestValues) {
  WorkshopModel model({.dampingSeconds = 4});
  ModelFeeder f{model};
  f.Open();
  f.Frame(kBefore);
  f.Frame(kAfter);
  EXPECT_GT(model.Current().channels[0].absolute, -250);
  EXPECT_LT(model.Current().channels[0].absolute, -240);
  model.ResetDamping();
  EXPECT_DOUBLE_EQ(model.Current().channels[0].absolute, -230);
  EXPECT_DOUBLE_EQ(model.Current().channels[3].absolute, -150);
  // And damps on from there.
  f.Frame(kBefore, 4.0);
  EXPECT_NEAR(model.Current().channels[3].absolute, ClosedForm(-150, -250, 4.0, 4.0), 1e-9);
}

TEST(WorkshopModelDamping, ChangingTheTimeConstantKeepsTheDampedValue) {
  WorkshopModel model({.dampingSeconds = 1});
  ModelFeeder f{model};
  f.Open();
  f.Frame(kBefore);
  f.Frame(kAfter, 1.0);
  const double y = model.Current().channels[3].absolute;
  model.SetSettings({.dampingSeconds = 2});
  EXPECT_DOUBLE_EQ(model.Current().channels[3].absolute, y);
  f.Frame(kAfter, 2.0);
  EXPECT_NEAR(model.Current().channels[3].absolute, ClosedForm(y, -150, 2.0, 2.0), 1e-9);
}

TEST(WorkshopModelDamping, TimeRunningBackwardsOrNotANumberMovesNothing) {
  WorkshopModel model({.dampingSeconds = 1});
  ModelFeeder f{model};
  f.Open();
  f.Frame(kBefore);
  const std::uint64_t serial = model.Current().serial;
  model.Update(std::nan(""), kAfter, f.frames + 1, true);
  EXPECT_EQ(model.Current().serial, serial);
  model.Update(f.t - 50, kAfter, ++f.frames, true);  // earlier than before: no time has passed
  EXPECT_DOUBLE_EQ(model.Current().channels[3].absolute, -250);
  f.Frame(kAfter, 1.0);
  EXPECT_NEAR(model.Current().channels[3].absolute, ClosedForm(-250, -150, 1.0, 1.0), 1e-9);
}

// A replay's jump: the next look is taken at its own time, earlier or later,
// with nothing damped from before and no scatter carried over.
TEST(WorkshopModelDamping, ARestartTakesTheNextLookAsItIsAtItsOwnTime) {
  WorkshopModel model({.dampingSeconds = 4});
  ModelFeeder f{model};
  f.Open();
  f.Hold(kBefore, 3.0);
  f.Frame(kAfter);
  ASSERT_LT(model.Current().channels[3].absolute, -240);  // still damped towards kBefore
  model.Restart();
  // Back in time: a replay sought to its beginning.
  model.Update(2.0, kAfter, 7, true);
  EXPECT_EQ(model.Current().status, Status::Live);
  EXPECT_DOUBLE_EQ(model.Current().channels[0].absolute, -230);
  EXPECT_DOUBLE_EQ(model.Current().channels[3].absolute, -150);
  EXPECT_DOUBLE_EQ(model.Current().channels[3].scatter, 0);
  // Time runs on from there: no "no data" from the old, later clock, and
  // damping goes on from the new place.
  model.Update(2.1, kBefore, 8, true);
  EXPECT_EQ(model.Current().status, Status::Live);
  EXPECT_NEAR(model.Current().channels[3].absolute, ClosedForm(-150, -250, 0.1, 4.0), 1e-9);
  // A restart before any frame has come shows nothing as data.
  model.Restart();
  model.Update(0.0, kAfter, 0, true);
  EXPECT_NE(model.Current().status, Status::Live);
}

}  // namespace
}  // namespace qv::workshop
