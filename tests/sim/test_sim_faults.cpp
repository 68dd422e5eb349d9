// Fault injection: each fault does what it says, and only that.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "FrameEncoder.h"
#include "SimDrive.h"

using namespace qv::sim;
using namespace simtest;

namespace {

std::size_t Count(const std::vector<LoggedFrame>& log, FrameKind kind) {
  return static_cast<std::size_t>(
      std::count_if(log.begin(), log.end(), [kind](const auto& f) { return f.kind == kind; }));
}

std::vector<Maxima> MaximaOf(const std::vector<LoggedFrame>& log) {
  std::vector<Maxima> out;
  for (const auto& f : log) {
    if (f.kind == FrameKind::kMaxima) out.push_back(f.maxima);
  }
  return out;
}

}  // namespace

TEST(SimFaults, JunkComesBetweenFramesAndNeverLooksLikeATag) {
  Rig rig({.junk = 1.0});
  rig.Send("b1");
  rig.RunUntil(2000 * kMs);
  ASSERT_GE(rig.log.size(), 20u);
  for (std::size_t i = 0; i < rig.log.size(); ++i) {
    const auto& f = rig.log[i];
    // Every frame has a run of junk right before it.
    ASSERT_EQ(f.kind == FrameKind::kJunk, i % 2 == 0) << i;
    if (f.kind != FrameKind::kJunk) continue;
    ASSERT_GE(f.size, 1u);
    ASSERT_LE(f.size, kMaxJunk);
    const std::string junk = rig.stream.substr(f.offset, f.size);
    EXPECT_EQ(junk.find_first_of("ME"), std::string::npos);
  }
  EXPECT_EQ(rig.device.Stats().junk_runs, Count(rig.log, FrameKind::kJunk));
}

TEST(SimFaults, DropEndLeavesOffEveryEndData) {
  Rig rig({.drop_end = 1.0});
  rig.Send("b2");
  rig.RunUntil(1500 * kMs);
  ASSERT_GE(rig.log.size(), 15u);
  EXPECT_EQ(rig.stream.find(kEndTag), std::string::npos);
  for (const auto& f : rig.log) EXPECT_FALSE(f.end);
  EXPECT_EQ(rig.device.Stats().dropped_ends, rig.log.size());
}

TEST(SimFaults, BadChannelAndBadCount) {
  Rig rig({.bad_channel = 1.0, .bad_count = 1.0});
  rig.Send("1");
  rig.RunUntil(1500 * kMs);
  ASSERT_GE(rig.log.size(), 10u);
  for (const auto& f : rig.log) {
    ASSERT_EQ(f.kind, FrameKind::kChannel);
    EXPECT_GT(f.channel_byte, 3);
    EXPECT_EQ(static_cast<std::uint8_t>(rig.stream[f.offset + kChannelByteOffset]), f.channel_byte);
    const std::string count = rig.stream.substr(f.offset + kCountOffset, kCountSize);
    EXPECT_EQ(count, f.count_text);
    EXPECT_TRUE(std::all_of(count.begin(), count.end(), [](char c) { return c >= 'a' && c <= 'z'; })) << count;
    EXPECT_EQ(f.samples.size(), 260u);  // the samples are still all there
  }
  EXPECT_EQ(rig.device.Stats().bad_channels, rig.log.size());
  EXPECT_EQ(rig.device.Stats().bad_counts, rig.log.size());
}

TEST(SimFaults, SplitDeliversSmallPiecesOfEverySize) {
  Rig rig({.split_max = 4});
  rig.Send("b");
  rig.RunUntil(2050 * kMs);
  std::set<std::size_t> sizes;
  for (const auto& d : rig.deliveries) sizes.insert(d.bytes.size());
  EXPECT_EQ(sizes, (std::set<std::size_t>{1, 2, 3, 4}));
  EXPECT_EQ(rig.log.size(), 20u);  // pieces, pauses and all, every frame gets out
  // Pauses: pieces of a frame sometimes lie well apart, more than their wire time.
  const LinePacer pacer;
  const bool paused = std::any_of(rig.deliveries.begin() + 1, rig.deliveries.end(), [&](const Delivery& d) {
    const auto& prev = (&d)[-1];
    return d.at - prev.at > pacer.WireTime(d.bytes.size()) + kMs && d.at % (100 * kMs) > 2 * kMs;
  });
  EXPECT_TRUE(paused);
}

TEST(SimFaults, RatesAreChancesPerFrame) {
  Rig rig({.junk = 0.5, .drop_end = 0.25});
  rig.Send("b");
  rig.RunUntil(30050 * kMs);
  const double frames = static_cast<double>(Count(rig.log, FrameKind::kMaxima));
  ASSERT_EQ(frames, 300);
  EXPECT_NEAR(Count(rig.log, FrameKind::kJunk) / frames, 0.5, 0.1);
  EXPECT_NEAR(rig.device.Stats().dropped_ends / frames, 0.25, 0.08);
}

TEST(SimFaults, NoneWhenNotAsked) {
  Rig rig;
  rig.Send("b1");
  rig.RunUntil(3000 * kMs);
  EXPECT_EQ(Count(rig.log, FrameKind::kJunk), 0u);
  for (const auto& f : rig.log) {
    EXPECT_TRUE(f.end);
    EXPECT_LE(f.channel_byte, 3);
  }
  for (const auto& d : rig.deliveries) EXPECT_LE(d.bytes.size(), kNormalChunk);
}

TEST(SimFaults, FaultsLeaveTheEngineAlone) {
  Rig clean;
  Rig faulty({.split_max = 7, .junk = 0.7, .drop_end = 0.3, .bad_channel = 0.3, .bad_count = 0.3});
  for (Rig* r : {&clean, &faulty}) {
    r->Send("b");
    r->RunUntil(3000 * kMs);
  }
  EXPECT_EQ(MaximaOf(clean.log), MaximaOf(faulty.log));
}
