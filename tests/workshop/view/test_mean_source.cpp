// The plain calculation behind the workshop view on the worked example and
// at the edges of its states.
#include <gtest/gtest.h>

#include "WorkshopMeanSource.h"

namespace {

using namespace qv::workshop;

TEST(MeanSource, TheWorkedExampleAgainstTheMean) {
  qv::WorkshopMeanSource s;
  EXPECT_EQ(s.Read(0, false).status, Status::NoScan);
  EXPECT_EQ(s.Read(0.1, true).status, Status::Waiting);
  s.AddMaxima(0.2, {350, 340, 360, 345});
  const Reading r = s.Read(0.25, true);
  ASSERT_EQ(r.status, Status::Live);
  EXPECT_DOUBLE_EQ(r.reference, -248.75);
  const double expected[4] = {-1.25, 8.75, -11.25, 3.75};
  const int maxima[4] = {350, 340, 360, 345};
  for (int c = 0; c < 4; ++c) {
    EXPECT_DOUBLE_EQ(r.channels[c].difference, expected[c]);
    EXPECT_DOUBLE_EQ(r.channels[c].absolute, 100.0 - maxima[c]);
  }
  EXPECT_EQ(r.channels[1].band, Band::Inside);  // 8.75 of 10
  EXPECT_EQ(r.channels[2].band, Band::Near);    // 11.25
  EXPECT_EQ(r.worstChannel, 2);
  EXPECT_FALSE(r.inSync);
  EXPECT_EQ(r.fullScale, 20);
  // No maxima frame for more than a second: the last values, as no data.
  EXPECT_EQ(s.Read(1.3, true).status, Status::NoData);
  EXPECT_EQ(s.Read(1.3, true).channels[2].difference, -11.25);
}

TEST(MeanSource, InSyncNeedsEveryCylinderInsideAndSteadyAndTheSerialFollowsChanges) {
  qv::WorkshopMeanSource s;
  (void)s.Read(0, true);  // first look, before any frame
  for (int i = 0; i < 20; ++i) s.AddMaxima(i * 0.1, {350, 352, 348, 350});
  Reading r = s.Read(2.0, true);
  EXPECT_TRUE(r.settled);
  EXPECT_TRUE(r.inSync);
  const auto serial = r.serial;
  EXPECT_EQ(s.Read(2.01, true).serial, serial);  // nothing changed
  // One cylinder jumping about: not settled, however close its mean.
  for (int i = 20; i < 40; ++i) s.AddMaxima(i * 0.1, {350, i % 2 ? 362 : 342, 348, 350});
  r = s.Read(4.0, true);
  EXPECT_NE(r.serial, serial);
  EXPECT_FALSE(r.settled);
  EXPECT_FALSE(r.inSync);
  // Hold keeps the reading while frames keep coming.
  s.SetHold(true);
  const Reading held = s.Read(4.05, true);
  s.AddMaxima(4.1, {300, 400, 300, 400});
  EXPECT_EQ(s.Read(4.15, true).channels[1].difference, held.channels[1].difference);
  EXPECT_TRUE(s.Read(4.2, true).held);
  std::string why;
  EXPECT_FALSE(s.Zero(why));
  EXPECT_FALSE(why.empty());
}

}  // namespace
