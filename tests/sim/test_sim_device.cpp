// The device's protocol and pacing, driven by a test clock.
#include <gtest/gtest.h>

#include <algorithm>

#include "FrameEncoder.h"
#include "RecordingFormat.h"
#include "RecordingReader.h"
#include "SimDrive.h"
#include "support/TestEnv.h"

using namespace qv::sim;
using namespace simtest;

namespace {

std::size_t Count(const std::string& hay, std::string_view needle) {
  std::size_t n = 0;
  for (auto p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + 1)) ++n;
  return n;
}

std::vector<LoggedFrame> OfKind(const std::vector<LoggedFrame>& log, FrameKind kind) {
  std::vector<LoggedFrame> out;
  std::copy_if(log.begin(), log.end(), std::back_inserter(out), [kind](const auto& f) { return f.kind == kind; });
  return out;
}

// Every logged frame is where the log says, byte for byte as its fields encode;
// the last one may still be on its way.
void ExpectLogMatchesStream(const std::vector<LoggedFrame>& log, const std::string& stream) {
  std::uint64_t expected_offset = 0;
  for (const auto& f : log) {
    ASSERT_EQ(f.offset, expected_offset);
    if (&f != &log.back()) {
      ASSERT_LE(f.offset + f.size, stream.size());
    }
    ASSERT_LT(f.offset, stream.size());
    const std::string bytes = stream.substr(f.offset, f.size);
    std::string encoded;
    if (f.kind == FrameKind::kMaxima) encoded = EncodeMaxima(f.maxima);
    if (f.kind == FrameKind::kChannel) {
      encoded = EncodeChannel(static_cast<std::uint8_t>(f.channel_byte), f.samples, f.count_text);
    }
    if (!encoded.empty()) {
      if (!f.end) encoded.resize(encoded.size() - kEndTag.size());
      ASSERT_EQ(bytes, encoded.substr(0, bytes.size())) << FormatLogLine(f);
    }
    expected_offset += f.size;
  }
  EXPECT_GE(expected_offset, stream.size());
  if (!log.empty()) {
    EXPECT_LT(log.back().offset, stream.size());
  }
}

// For every two deliveries, the bytes of the later ones never came faster than the line allows.
void ExpectLineRate(const std::vector<Delivery>& d) {
  std::vector<std::int64_t> sum(d.size() + 1, 0);
  for (std::size_t i = 0; i < d.size(); ++i) sum[i + 1] = sum[i] + static_cast<std::int64_t>(d[i].bytes.size());
  for (std::size_t i = 0; i < d.size(); ++i) {
    for (std::size_t j = i + 1; j < d.size(); ++j) {
      const std::int64_t bytes = sum[j + 1] - sum[i + 1];
      ASSERT_LE(bytes * kNanosPerSecond, kLineBytesPerSecond * (d[j].at - d[i].at)) << i << ".." << j;
    }
  }
}

}  // namespace

TEST(SimPacing, WireTimeRoundsUp) {
  LinePacer p;
  EXPECT_EQ(p.WireTime(5760), kNanosPerSecond);
  EXPECT_EQ(p.WireTime(1), 173612);  // 173611.1 ns
  EXPECT_EQ(p.WireTime(0), 0);
  p.Ready(1000);
  EXPECT_EQ(p.DueTime(16, 7), 1000 + p.WireTime(16) + 7);
  p.Delivered(5000);
  p.Ready(2000);  // bytes ready while the line is busy wait for it
  EXPECT_EQ(p.DueTime(1), 5000 + p.WireTime(1));
}

TEST(SimDevice, SilentUntilSwitchedOn) {
  Rig rig;
  rig.Send("xyz\r\n?B");
  rig.RunUntil(1000 * kMs);
  EXPECT_TRUE(rig.stream.empty());
  EXPECT_EQ(rig.engine.CyclesRun(), 10u);  // the engine runs all the same
  EXPECT_EQ(rig.device.Stats().commands, 0u);
}

TEST(SimDevice, MaximaFrameEveryEngineCycleWithTheEnginesValues) {
  Rig rig;
  rig.RunUntil(1000 * kMs);
  rig.Send("b");
  rig.RunUntil(2050 * kMs);
  ASSERT_EQ(rig.log.size(), 10u);
  ExpectLogMatchesStream(rig.log, rig.stream);
  // An engine of the same seed, run alongside, gives the same maxima cycle by cycle.
  EngineModel twin({kDefaultRpm, 5, Scenario::kSteady});
  for (int i = 0; i < 10; ++i) (void)twin.RunCycle();
  for (const auto& f : rig.log) {
    ASSERT_EQ(f.kind, FrameKind::kMaxima);
    EXPECT_EQ(f.maxima, twin.RunCycle());
  }
  // Each frame leaves at the end of its cycle and is on the line for 27 byte times.
  std::size_t done = 0;
  int frame = 0;
  for (const auto& d : rig.deliveries) {
    done += d.bytes.size();
    if (done % kMaximaFrameSize != 0) continue;
    const Nanos cycle_end = (11 + frame++) * 100 * kMs;
    EXPECT_GE(d.at, cycle_end + LinePacer().WireTime(kMaximaFrameSize));
    EXPECT_LT(d.at, cycle_end + 10 * kMs);
  }
  EXPECT_EQ(frame, 10);
}

TEST(SimDevice, ChannelRecordsInTurnWhileTheLineIsFree) {
  Rig rig;
  rig.Send("b13");
  rig.RunUntil(2050 * kMs);
  ExpectLogMatchesStream(rig.log, rig.stream);
  const auto records = OfKind(rig.log, FrameKind::kChannel);
  EXPECT_EQ(OfKind(rig.log, FrameKind::kMaxima).size(), 20u);
  // A record and a maxima frame need a little more than one cycle: a record every second cycle.
  ASSERT_GE(records.size(), 8u);
  ASSERT_LE(records.size(), 11u);
  for (std::size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(records[i].channel_byte, i % 2 == 0 ? 0 : 2);
    EXPECT_EQ(records[i].count_text, "260");
    EXPECT_EQ(records[i].samples.size(), 260u);
  }
  // Each record holds the newest 260 samples at the end of a cycle, a later cycle each time.
  std::uint64_t previous_cycle = 0;
  for (const auto& r : records) {
    std::uint64_t cycle = previous_cycle + 1;
    auto matches = [&](std::uint64_t n) {
      const std::uint64_t newest = n * kSamplesPerCycle - 1;
      for (std::size_t i = 0; i < r.samples.size(); ++i) {
        // Before the engine's start the sensor reads the atmosphere.
        const auto v = i > newest ? 100 : EngineModel::DeviceValue(rig.engine.Pressure(r.channel_byte, newest - i));
        if (r.samples[i] != v) return false;
      }
      return true;
    };
    while (cycle <= rig.engine.CyclesRun() && !matches(cycle)) ++cycle;
    ASSERT_LE(cycle, rig.engine.CyclesRun()) << "a record that is no stretch of the engine's samples";
    previous_cycle = cycle;
  }
}

TEST(SimDevice, DigitAloneSendsRecordsWithoutMaxima) {
  Rig rig;
  rig.Send("4");
  rig.RunUntil(1000 * kMs);
  ExpectLogMatchesStream(rig.log, rig.stream);
  EXPECT_EQ(Count(rig.stream, kMaximaTag), 0u);
  EXPECT_GE(OfKind(rig.log, FrameKind::kChannel).size(), 8u);
  for (const auto& f : rig.log) EXPECT_EQ(f.channel_byte, 3);
}

TEST(SimDevice, StopFinishesTheFrameOnTheLineAndNothingMore) {
  Rig rig;
  rig.Send("b2");
  rig.RunUntil(1103 * kMs);  // in the middle of a frame
  ASSERT_GT(rig.device.QueuedBytes(), 0u);
  rig.Send("a");
  EXPECT_FALSE(rig.device.MaximaOn());
  EXPECT_FALSE(rig.device.ChannelOn(1));
  rig.RunUntil(3000 * kMs);
  EXPECT_EQ(rig.device.QueuedBytes(), 0u);
  EXPECT_LT(rig.deliveries.back().at, 1300 * kMs);
  EXPECT_TRUE(rig.stream.ends_with(kEndTag));
  ExpectLogMatchesStream(rig.log, rig.stream);
  EXPECT_GT(rig.device.Stats().frames_discarded, 0u);
  // Switched on again, it carries on.
  const auto before = rig.stream.size();
  rig.Send("b");
  rig.RunUntil(3550 * kMs);
  EXPECT_EQ(Count(rig.stream.substr(before), kMaximaTag), 5u);
}

TEST(SimDevice, NeverFasterThanTheLineEvenWhenWokenLate) {
  Rig rig({.split_max = 5, .junk = 0.5});
  rig.Send("b1234");
  rig.RunUntil(4000 * kMs, 2 * kMs);
  ASSERT_GT(rig.stream.size(), 3000u);
  ExpectLineRate(rig.deliveries);
  ExpectLogMatchesStream(rig.log, rig.stream);

  Rig plain;
  plain.Send("b1");
  plain.RunUntil(3000 * kMs, kMs / 2);
  ExpectLineRate(plain.deliveries);
  // The first bytes of a frame waited for their wire time after the cycle ended.
  EXPECT_GE(plain.deliveries.front().at, 100 * kMs + LinePacer().WireTime(plain.deliveries.front().bytes.size()));
}

TEST(SimDevice, HeldUpProcessSkipsMissedCycles) {
  Rig rig;
  rig.Send("b");
  rig.device.Tick(3600 * 1000 * kMs);
  EXPECT_LE(rig.engine.CyclesRun(), kMaxCatchUpCycles + 1);
  EXPECT_LE(rig.device.QueuedBytes(), kMaxBacklog);
}

TEST(SimReplay, PlaysTheCaptureInALoopWhileSwitchedOn) {
  const std::string capture = EncodeMaxima({1, 2, 3, 4}) + "noise" + EncodeMaxima({5, 6, 7, 8}) + "tail";
  ReplaySource replay(capture);
  EXPECT_EQ(replay.SegmentCount(), 3u);
  Rig rig;
  rig.device.SetReplay(&replay);
  rig.RunUntil(500 * kMs);
  EXPECT_TRUE(rig.stream.empty());
  rig.Send("b");
  rig.RunUntil(1500 * kMs);
  // Played back to back at the line's rate.
  ASSERT_GT(rig.stream.size(), 5000u);
  EXPECT_LE(rig.stream.size(), 5760u);
  for (std::size_t i = 0; i + capture.size() <= rig.stream.size(); i += capture.size()) {
    ASSERT_EQ(rig.stream.substr(i, capture.size()), capture);
  }
  ExpectLineRate(rig.deliveries);
  ASSERT_GE(rig.log.size(), 3u);
  EXPECT_EQ(rig.log[0].size, 27u);
  EXPECT_TRUE(rig.log[0].end);
  EXPECT_EQ(rig.log[1].size, 5u + 27u);
  EXPECT_FALSE(rig.log[2].end);
  EXPECT_EQ(OfKind(rig.log, FrameKind::kMaxima).size(), 0u);  // the model's frames stay away
  rig.Send("a");
  const auto stopped = rig.stream.size();
  rig.RunUntil(2500 * kMs);
  EXPECT_LE(rig.stream.size() - stopped, 32u);
  const auto& last = rig.log.back();
  EXPECT_EQ(last.offset + last.size, rig.stream.size());
}

// A recording's reads go out at their recorded times, counted from switching on.
TEST(SimReplay, PlaysARecordingAtItsRecordedPace) {
  std::string file = qv::rec::EncodeHeader({});
  qv::rec::AppendRecord(file, 0, "aaaa");
  qv::rec::AppendRecord(file, 200'000, EncodeMaxima({1, 2, 3, 4}));
  qv::rec::AppendRecord(file, 1'000'000, "tail");
  const auto read = qv::rec::ParseRecording(file, "r.qvrec");
  ASSERT_TRUE(read.recording) << read.error;
  ReplaySource replay(*read.recording);
  EXPECT_TRUE(replay.Timed());
  Rig rig;
  rig.device.SetReplay(&replay);
  rig.RunUntil(500 * kMs);
  EXPECT_TRUE(rig.stream.empty());
  rig.Send("b");
  rig.RunUntil(1650 * kMs);
  // The first pass, then the second one starting 1.1 s after the first.
  EXPECT_EQ(rig.stream, "aaaa" + EncodeMaxima({1, 2, 3, 4}) + "tail" + "aaaa");
  const auto first_at = [&](const std::string& needle, std::size_t from = 0) {
    std::size_t seen = 0;
    for (const auto& d : rig.deliveries) {
      if (seen + d.bytes.size() > rig.stream.find(needle, from)) return d.at;
      seen += d.bytes.size();
    }
    return Nanos{-1};
  };
  // Each read leaves at its time and takes its bytes' time on the wire (at most 16 here).
  const auto on_time = [](Nanos at, Nanos due) { return at >= due && at <= due + 3 * kMs; };
  EXPECT_PRED2(on_time, first_at("aaaa"), 500 * kMs);
  EXPECT_PRED2(on_time, first_at("MUXA"), 700 * kMs);
  EXPECT_PRED2(on_time, first_at("tail"), 1500 * kMs);
  EXPECT_PRED2(on_time, first_at("aaaa", 4), 1600 * kMs);
  // Switched off and on again, it goes on with the next read at once.
  rig.Send("a");
  rig.RunUntil(3000 * kMs);
  const auto before = rig.stream.size();
  rig.Send("b");
  rig.RunUntil(3100 * kMs);
  EXPECT_EQ(rig.stream.substr(before), EncodeMaxima({1, 2, 3, 4}));
  EXPECT_PRED2(on_time, rig.deliveries.back().at - 2 * kMs, 3000 * kMs);
}

TEST(SimReplay, ReadsRecordingsAndRefusesBadOnes) {
  qvtest::ScratchDir dir;
  std::string file = qv::rec::EncodeHeader({});
  qv::rec::AppendRecord(file, 5, "abc");
  qvtest::WriteFile(dir / "ok.qvrec", file + "cut");
  const ReplaySource ok = ReplaySource::FromFile(dir / "ok.qvrec");
  EXPECT_TRUE(ok.Timed());
  EXPECT_EQ(ok.SegmentCount(), 1u);
  file[qv::rec::kMagic.size()] = 3;
  qvtest::WriteFile(dir / "v3.qvrec", file);
  EXPECT_THROW((void)ReplaySource::FromFile(dir / "v3.qvrec"), std::invalid_argument);
  qvtest::WriteFile(dir / "none.qvrec", qv::rec::EncodeHeader({}));
  EXPECT_THROW((void)ReplaySource::FromFile(dir / "none.qvrec"), std::invalid_argument);
}

TEST(SimReplay, BadCaptures) {
  EXPECT_THROW(ReplaySource(""), std::invalid_argument);
  EXPECT_THROW((void)ReplaySource::FromFile("/nonexistent/capture.bin"), std::system_error);
  EXPECT_THROW((void)ReplaySource::FromFile("/"), std::system_error);
  ReplaySource only_noise("abc");
  EXPECT_EQ(only_noise.SegmentCount(), 1u);
  EXPECT_EQ(only_noise.Next().bytes, "abc");
  EXPECT_EQ(only_noise.Next().bytes, "abc");
}
