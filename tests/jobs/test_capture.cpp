// "Vorher"/"Nachher" from the readings as shown: the mean of the window, and
// each reason for refusing.
#include <gtest/gtest.h>

#include "CaptureModel.h"
#include "JobSamples.h"
#include "JobTexts.h"

namespace {

using qv::Language;
using qv::jobs::CaptureModel;
using qv::jobs::Refusal;
using qv::workshop::Reading;
using qv::workshop::Status;
using qvtest::SettledReading;

void Feed(CaptureModel& m, double from, double to, const Reading& r, double dt = 0.1) {
  for (double t = from; t <= to + 1e-9; t += dt) m.Add(t, r);
}

TEST(Capture, MeanOfTheLastWindowOnly) {
  CaptureModel m(3.0);
  Feed(m, 0, 5, SettledReading(20, 20, 20, 20));  // older than the window: left out
  Feed(m, 5.1, 6.5, SettledReading(2, -4, 6, -8, 0.4));
  Feed(m, 6.6, 8.1, SettledReading(4, -2, 8, -6, 0.9));
  const auto res = m.Take("2026-12-09 10:00:00");
  ASSERT_TRUE(res.capture) << static_cast<int>(res.refusal);
  const auto& c = *res.capture;
  // The window 5.1 .. 8.1 holds 15 samples of each: the means lie halfway.
  EXPECT_NEAR(c.cylinders[0].difference, 3, 0.05);
  EXPECT_NEAR(c.cylinders[1].difference, -3, 0.05);
  EXPECT_NEAR(c.cylinders[2].absolute, -250 + 7, 0.05);
  EXPECT_NEAR(c.cylinders[3].difference, -7, 0.05);
  EXPECT_DOUBLE_EQ(c.cylinders[0].scatter, 0.9);  // the largest seen in the window
  EXPECT_DOUBLE_EQ(c.Steadiness(), 0.9);
  EXPECT_DOUBLE_EQ(c.reference, -250);
  EXPECT_DOUBLE_EQ(c.tolerance, 10);
  EXPECT_EQ(c.taken, "2026-12-09 10:00:00");
  EXPECT_TRUE(c.InSync());
}

TEST(Capture, BandDecidedOnTheMean) {
  CaptureModel m(3.0);
  Feed(m, 0, 3.5, SettledReading(0, 10.4, -12, 3));
  const auto c = m.Take("t").capture;
  ASSERT_TRUE(c);
  EXPECT_TRUE(c->cylinders[0].inside);
  EXPECT_TRUE(c->cylinders[1].inside);  // shown as 10 mBar: on the edge is inside
  EXPECT_FALSE(c->cylinders[2].inside);
  EXPECT_FALSE(c->InSync());
}

TEST(Capture, RefusedWithoutDataOrWhileUnsettled) {
  CaptureModel m(3.0);
  EXPECT_EQ(m.Take("t").refusal, Refusal::kNoData);

  Reading unsettled = SettledReading(1, 2, 3, 4);
  unsettled.settled = false;
  Feed(m, 0, 5, unsettled);
  EXPECT_EQ(m.Take("t").refusal, Refusal::kUnsettled);

  Feed(m, 5.1, 6.0, SettledReading(1, 2, 3, 4));
  const auto settling = m.Take("t");
  EXPECT_EQ(settling.refusal, Refusal::kSettling);
  EXPECT_NEAR(settling.steadyFor, 0.9, 1e-6);
  EXPECT_FALSE(settling.capture);

  Feed(m, 6.1, 8.2, SettledReading(1, 2, 3, 4));
  EXPECT_TRUE(m.Take("t").capture);

  Reading gone = SettledReading(1, 2, 3, 4);
  gone.status = Status::NoData;  // "Keine Daten" over the last values
  m.Add(8.3, gone);
  EXPECT_EQ(m.Take("t").refusal, Refusal::kNoData);
}

TEST(Capture, ChangedSetupOrJumpBackStartsAfresh) {
  CaptureModel m(3.0);
  Feed(m, 0, 4, SettledReading(1, 2, 3, 4));
  Reading other = SettledReading(1, 2, 3, 4);
  other.unit = qv::workshop::Unit::KiloPascal;
  m.Add(4.1, other);
  EXPECT_EQ(m.Take("t").refusal, Refusal::kSettling);

  CaptureModel replay(3.0);
  Feed(replay, 10, 14, SettledReading(1, 2, 3, 4));
  replay.Add(2.0, SettledReading(1, 2, 3, 4));  // the replay jumped back
  EXPECT_EQ(replay.Take("t").refusal, Refusal::kSettling);
}

TEST(Capture, PairModeAveragesTwoChannels) {
  CaptureModel m(3.0);
  Reading pairs = SettledReading(5, -5, 99, 99);
  pairs.pairMode = true;
  pairs.channelCount = 2;
  Feed(m, 0, 3.2, pairs);
  const auto c = m.Take("t").capture;
  ASSERT_TRUE(c);
  EXPECT_EQ(c->channelCount, 2);
  EXPECT_TRUE(c->InSync());  // the unused channels do not count
  EXPECT_DOUBLE_EQ(c->cylinders[2].difference, 0);
}

TEST(Capture, EngineTimeCountsLiveReadingsOnly) {
  CaptureModel m(3.0);
  Feed(m, 0, 10, SettledReading(1, 2, 3, 4));
  Reading off = SettledReading(1, 2, 3, 4);
  off.status = Status::NoScan;
  Feed(m, 10.1, 20, off);
  Feed(m, 30, 35, SettledReading(1, 2, 3, 4));  // a 10 s gap is not counted
  EXPECT_NEAR(m.EngineSeconds(), 15, 0.01);
  m.ResetEngineTime();
  EXPECT_DOUBLE_EQ(m.EngineSeconds(), 0);
}

TEST(Capture, RefusalsSayWhyInBothLanguages) {
  qv::jobs::CaptureResult r;
  r.refusal = Refusal::kSettling;
  r.steadyFor = 1.25;
  EXPECT_EQ(RefusalText(r, 3, Language::German), "Die Werte sind erst seit 1,2 s ruhig, 3,0 s werden gemittelt");
  EXPECT_EQ(RefusalText(r, 3, Language::English), "The readings have been steady for 1.2 s only; 3.0 s are averaged");
  r.refusal = Refusal::kNoData;
  EXPECT_NE(RefusalText(r, 3, Language::German), RefusalText(r, 3, Language::English));
  EXPECT_FALSE(RefusalText(r, 3, Language::English).empty());
  r.refusal = Refusal::kNone;
  EXPECT_TRUE(RefusalText(r, 3, Language::English).empty());
}

}  // namespace
