#include <gtest/gtest.h>

#include <vector>

#include "FollowedCylinder.h"
#include "Guidance.h"
#include "ToneTable.h"

using namespace qv::tone;

namespace {

GuidanceInput At(double x) { return {x, 1.0, false, true}; }  // tolerance 1: x is exact

std::vector<ToneMode> Modes(Guidance& g, const std::vector<double>& xs) {
  std::vector<ToneMode> out;
  double t = 0;
  for (double x : xs) out.push_back(g.Update(t += 0.05, At(x)).mode);
  return out;
}

constexpr auto S = ToneMode::kSilent;
constexpr auto P = ToneMode::kSoft;
constexpr auto B = ToneMode::kBeeping;

}  // namespace

TEST(ToneTableTest, PitchTellsTheSideAndCadenceTheDistance) {
  const ToneTable& t = kToneTable;
  EXPECT_NEAR(PitchAt(1.0), t.centreHz * 4 / 3, 1e-9);
  EXPECT_NEAR(PitchAt(-1.0), t.centreHz * 3 / 4, 1e-9);
  EXPECT_NEAR(PitchAt(5.0), 2 * PitchAt(1.0), 1e-9);  // an octave further at five bands
  EXPECT_NEAR(PitchAt(-5.0), PitchAt(-1.0) / 2, 1e-9);
  EXPECT_DOUBLE_EQ(PitchAt(9.0), PitchAt(5.0));
  EXPECT_DOUBLE_EQ(PitchAt(-0.95), PitchAt(-1.0));  // the soft tone inside the hysteresis keeps the edge's pitch
  double last = PitchAt(1.0);
  for (double x = 1.25; x <= 5; x += 0.25) {
    EXPECT_GT(PitchAt(x), last);
    EXPECT_LT(PitchAt(-x), t.centreHz);
    last = PitchAt(x);
  }
  EXPECT_DOUBLE_EQ(CadenceAt(1.0), 1.5);
  EXPECT_DOUBLE_EQ(CadenceAt(3.0), 3.75);
  EXPECT_DOUBLE_EQ(CadenceAt(5.0), 6.0);
  EXPECT_DOUBLE_EQ(CadenceAt(50.0), 6.0);
}

TEST(GuidanceTest, ThresholdsHaveHysteresisSoTheEdgeDoesNotChatter) {
  Guidance g;
  // Hovering on the band's edge: once sounding, it stays until clearly inside.
  EXPECT_EQ(Modes(g, {0.5, 1.0, 0.99, 1.01, 0.95, 1.0, 0.91, 1.02, 0.9, 0.95, 1.0, 1.01}),
            (std::vector<ToneMode>{S, S, S, P, P, P, P, P, S, S, S, P}));
  // The same between the soft tone and the beeps.
  EXPECT_EQ(Modes(g, {1.2, 1.25, 1.26, 1.2, 1.16, 1.24, 1.15, 1.2, 1.3}),
            (std::vector<ToneMode>{P, P, B, B, B, B, P, P, B}));
  // Straight from far outside to inside, and straight out again.
  EXPECT_EQ(Modes(g, {0.2, 4.0, 0.0, 1.1}), (std::vector<ToneMode>{S, B, S, P}));
  // The sign does not matter for the mode.
  EXPECT_EQ(Modes(g, {-0.2, -1.1, -0.95, -2.0, -1.2, -0.9}), (std::vector<ToneMode>{S, P, P, B, B, S}));
}

TEST(GuidanceTest, CommandsCarryTheTablesPitchCadenceAndLevel) {
  Guidance g;
  ToneCommand c = g.Update(0, At(3.0));
  EXPECT_EQ(c.mode, B);
  EXPECT_TRUE(c.restartCycle);
  EXPECT_DOUBLE_EQ(c.pitchHz, PitchAt(3.0));
  EXPECT_DOUBLE_EQ(c.cadence, CadenceAt(3.0));
  EXPECT_DOUBLE_EQ(c.level, kToneTable.beepLevel);
  c = g.Update(0.1, At(3.5));
  EXPECT_FALSE(c.restartCycle);  // same side: the cadence runs on
  c = g.Update(0.2, At(-3.5));
  EXPECT_TRUE(c.restartCycle);  // the other side: heard at once
  EXPECT_DOUBLE_EQ(c.pitchHz, PitchAt(-3.5));
  c = g.Update(0.3, At(-1.1));
  EXPECT_EQ(c.mode, P);
  EXPECT_DOUBLE_EQ(c.level, kToneTable.softLevel);
  // Band units are what counts: the same mBar with a wider band is softer.
  c = g.Update(0.4, {22, 20, false, true});
  EXPECT_EQ(c.mode, P);
  c = g.Update(0.5, {22, 5, false, true});
  EXPECT_EQ(c.mode, B);
  EXPECT_DOUBLE_EQ(c.pitchHz, PitchAt(4.4));
}

TEST(GuidanceTest, WithoutReadingsOrAUsableBandItIsSilent) {
  Guidance g;
  EXPECT_EQ(g.Update(0, At(3)).mode, B);
  EXPECT_EQ(g.Update(0.1, {30, 10, false, false}).mode, S);  // no data
  EXPECT_EQ(g.Update(0.2, {30, 0, false, true}).mode, S);
  EXPECT_EQ(g.Update(0.3, {std::nan(""), 10, false, true}).mode, S);
  EXPECT_EQ(g.Update(0.4, {30, std::numeric_limits<double>::infinity(), false, true}).mode, S);
  EXPECT_EQ(g.Update(0.5, {30, 10, true, false}).chime, false);  // a verdict without readings is none
}

TEST(GuidanceTest, TheChimeRingsOnceWhenTheVerdictIsReached) {
  Guidance g;
  int chimes = 0;
  double t = 0;
  auto step = [&](GuidanceInput in) {
    const ToneCommand c = g.Update(t, in);
    t += 0.1;
    chimes += c.chime;
    return c;
  };
  step(At(2));
  step(At(0.5));
  EXPECT_EQ(chimes, 0);
  const ToneCommand c = step({5, 10, true, true});
  EXPECT_TRUE(c.chime);
  EXPECT_EQ(c.mode, S);
  for (int i = 0; i < 10; ++i) step({5, 10, true, true});
  EXPECT_EQ(chimes, 1);
  // The verdict flickers (settling lost for a moment): no second chime.
  for (int i = 0; i < 5; ++i) step({5, 10, i % 2 == 0, true});
  EXPECT_EQ(chimes, 1);
  // Lost for longer than the re-arm time, then reached again: a new chime.
  for (int i = 0; i < 25; ++i) step({5, 10, false, true});
  step({5, 10, true, true});
  EXPECT_EQ(chimes, 2);
  // Verdict on the edge (soft tone by hysteresis): the verdict silences it.
  step(At(1.1));
  EXPECT_EQ(g.Mode(), P);
  EXPECT_EQ(step({9.5, 10, true, true}).mode, S);
  EXPECT_EQ(chimes, 3);  // the tone sounded in between, which re-arms at once
}

namespace {

qv::workshop::Reading LiveReading(std::array<double, 4> d) {
  qv::workshop::Reading r;
  r.status = qv::workshop::Status::Live;
  for (std::size_t i = 0; i < 4; ++i) r.channels[i].difference = d[i];
  r.tolerance = 10;
  return r;
}

}  // namespace

TEST(FollowedCylinderTest, FurthestOffByDefaultOrTheChosenOne) {
  auto r = LiveReading({-3, 12.5, -12.5, 2});
  EXPECT_EQ(FollowedChannel(r), 1);  // a tie goes to the lower number
  EXPECT_EQ(FollowedChannel(r, 3), 3);
  EXPECT_EQ(FollowedChannel(r, 7), 1);  // no such cylinder: furthest off
  r.channels[2].difference = -20;
  EXPECT_EQ(FollowedChannel(r), 2);
  GuidanceInput in = InputFor(r);
  EXPECT_TRUE(in.live);
  EXPECT_DOUBLE_EQ(in.difference, -20);
  EXPECT_DOUBLE_EQ(in.tolerance, 10);
  // Pair mode: two values; a chosen cylinder follows its pair.
  r.pairMode = true;
  r.channelCount = 2;
  EXPECT_EQ(FollowedChannel(r), 1);  // channels 2 and 3 are not shown
  EXPECT_EQ(FollowedChannel(r, 3), 1);
  EXPECT_EQ(FollowedChannel(r, 0), 0);
}

TEST(FollowedCylinderTest, TheInputIsTheNumberAsShown) {
  auto r = LiveReading({10.4, -10.4, 0, 0});
  r.inSync = true;
  GuidanceInput in = InputFor(r, 0);
  EXPECT_DOUBLE_EQ(in.difference, 10);  // "+10" with "±10": inside, as on screen
  EXPECT_TRUE(in.inSync);
  Guidance g;
  EXPECT_EQ(g.Update(0, {in.difference, in.tolerance, false, true}).mode, ToneMode::kSilent);
  r.unit = qv::workshop::Unit::KiloPascal;
  r.channels[0].difference = 1.04;  // kPa, one decimal
  r.tolerance = 1.0;
  EXPECT_DOUBLE_EQ(InputFor(r, 0).difference, 1.0);
  r.status = qv::workshop::Status::NoData;
  EXPECT_FALSE(InputFor(r).live);  // greyed out: silent
  r.status = qv::workshop::Status::NoScan;
  EXPECT_EQ(FollowedChannel(r), -1);
  EXPECT_FALSE(InputFor(r).live);
}
