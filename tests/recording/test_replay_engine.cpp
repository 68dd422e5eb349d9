// The replay engine: recorded pace, pause and speed, seeking forwards and
// backwards, and the end of a recording.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "FrameEncoder.h"
#include "RecordingTestSupport.h"
#include "ReplayEngine.h"

using namespace qv::rec;
using namespace std::chrono;
using rectest::Event;

namespace {

const ReplayEngine::Clock::time_point t0{seconds{1000}};

Recording Parse(const std::vector<Event>& events) {
  ReadResult r = ParseRecording(rectest::BuildRecording(events), "t.qvrec");
  if (!r.recording) throw std::runtime_error(r.error);
  return std::move(*r.recording);
}

// A scan of 400 maxima frames and some channel records, 25 ms apart, in
// receive events of random sizes stamped when their last byte came.
std::vector<Event> Scan() {
  std::mt19937 rng(11);
  std::string stream;
  std::vector<std::uint64_t> stamp;  // time of each byte
  for (int i = 0; i < 400; ++i) {
    std::string frame = qv::sim::EncodeMaxima({static_cast<std::uint16_t>(rng() % 150), static_cast<std::uint16_t>(i),
                                               static_cast<std::uint16_t>(rng() % 150), 100});
    if (i % 13 == 4)
      frame += qv::sim::EncodeChannel(static_cast<std::uint8_t>(i % 4), std::vector<std::uint16_t>(60, i));
    stream += frame;
    stamp.resize(stream.size(), 25'000u * i);
  }
  std::vector<Event> events;
  for (std::size_t at = 0; at < stream.size();) {
    const std::size_t n = std::min<std::size_t>(1 + rng() % 48, stream.size() - at);
    events.push_back({stamp[at + n - 1], stream.substr(at, n)});
    at += n;
  }
  return events;
}

// The state of playing from the start until `position_us`, in one go.
std::unique_ptr<TMeasurement> PlayedTo(const Recording& r, std::uint64_t position_us, std::uint64_t& frames) {
  auto state = std::make_unique<TMeasurement>();
  ReplayEngine engine(r, *state);
  engine.Play(t0);
  engine.Advance(t0 + microseconds{position_us});
  frames = engine.Feeder().Frames();
  return state;
}

}  // namespace

TEST(ReplayEngine, PlaysAtTheRecordedPaceWithPauseAndSpeed) {
  const Recording r = Parse({{0, "a"}, {1'000'000, "b"}, {2'000'000, "c"}, {4'000'000, "d"}});
  TMeasurement state;
  ReplayEngine e(r, state);
  EXPECT_EQ(e.DurationUs(), 4'000'000u);
  EXPECT_FALSE(e.NextDue());
  e.Play(t0);
  EXPECT_EQ(e.NextDue(), t0);
  e.Advance(t0);
  EXPECT_EQ(e.RecordsPlayed(), 1u);
  EXPECT_EQ(state.INSTRING, "a");
  EXPECT_EQ(e.NextDue(), t0 + seconds{1});
  e.Advance(t0 + milliseconds{999});
  EXPECT_EQ(e.RecordsPlayed(), 1u);
  e.Advance(t0 + seconds{1});
  EXPECT_EQ(state.INSTRING, "ab");

  e.SetSpeed(2.0, t0 + seconds{1});
  EXPECT_EQ(e.NextDue(), t0 + milliseconds{1500});
  EXPECT_EQ(e.PositionUs(t0 + milliseconds{1250}), 1'500'000u);
  e.Pause(t0 + milliseconds{1250});
  EXPECT_FALSE(e.Playing());
  EXPECT_FALSE(e.NextDue());
  EXPECT_EQ(e.PositionUs(t0 + seconds{60}), 1'500'000u);
  EXPECT_EQ(e.Advance(t0 + seconds{60}), 0u);
  EXPECT_EQ(e.RecordsPlayed(), 2u);

  e.Play(t0 + seconds{10});
  e.SetSpeed(0.25, t0 + seconds{10});
  EXPECT_EQ(e.NextDue(), t0 + seconds{12});  // 0.5 s of recording at a quarter of the pace
  e.Advance(t0 + seconds{12});
  EXPECT_EQ(state.INSTRING, "abc");

  e.SetSpeed(100, t0 + seconds{12});
  EXPECT_EQ(e.Speed(), ReplayEngine::kMaxSpeed);
  e.SetSpeed(0.01, t0 + seconds{12});
  EXPECT_EQ(e.Speed(), ReplayEngine::kMinSpeed);
  e.SetSpeed(std::nan(""), t0 + seconds{12});
  EXPECT_EQ(e.Speed(), 1.0);
  e.Advance(t0 + seconds{14});
  EXPECT_TRUE(e.AtEnd());
  EXPECT_FALSE(e.Playing());
  EXPECT_EQ(e.PositionUs(t0 + seconds{100}), e.DurationUs());
}

// Seeking anywhere, in any order, lands on the state (and frame count) that
// playing from the start to that position gives.
TEST(ReplayEngine, SeekingLandsOnTheStateOfPlayingThere) {
  const Recording r = Parse(Scan());
  TMeasurement state;
  ReplayEngine e(r, state);
  std::mt19937 rng(3);
  std::vector<std::uint64_t> targets = {5'000'000, 2'000'000,      2'000'000, 2'012'500,
                                        0,         r.DurationUs(), 1'000'000, r.DurationUs() + 5};
  for (int i = 0; i < 12; ++i) targets.push_back(rng() % (r.DurationUs() + 1));
  for (const std::uint64_t target : targets) {
    e.Seek(target, t0);
    std::uint64_t frames = 0;
    const auto played = PlayedTo(r, std::min(target, r.DurationUs()), frames);
    rectest::ExpectSameState(state, *played, "seek to " + std::to_string(target));
    EXPECT_EQ(e.Feeder().Frames(), frames) << target;
    EXPECT_EQ(e.PositionUs(t0 + seconds{5}), std::min(target, r.DurationUs()));
  }
  // Playing on after a seek goes on from there as if it had played all along.
  e.Seek(3'000'000, t0);
  e.Play(t0);
  e.Advance(t0 + seconds{2});
  std::uint64_t frames = 0;
  rectest::ExpectSameState(state, *PlayedTo(r, 5'000'000, frames), "played on");
  EXPECT_EQ(e.Feeder().Frames(), frames);
}

// At the end, frames left in the accumulator are drained; playing again starts over.
TEST(ReplayEngine, TheEndDrainsAndPlayingAgainStartsOver) {
  const std::string three =
      qv::sim::EncodeMaxima({1, 2, 3, 4}) + qv::sim::EncodeMaxima({5, 6, 7, 8}) + qv::sim::EncodeMaxima({9, 9, 9, 9});
  const Recording r = Parse({{0, "junk"}, {500'000, three}});
  TMeasurement state;
  int signals = 0;
  ReplayEngine e(r, state, [&signals] { ++signals; });
  e.Play(t0);
  e.Advance(t0 + milliseconds{100});
  EXPECT_EQ(e.Feeder().Frames(), 0u);
  e.Advance(t0 + seconds{1});
  EXPECT_TRUE(e.AtEnd());
  EXPECT_EQ(e.Feeder().Frames(), 3u);
  EXPECT_EQ(signals, 3);
  EXPECT_EQ(state.MAXIMA, (std::array<std::int32_t, 4>{9, 9, 9, 9}));
  EXPECT_EQ(state.INSTRING, "");

  e.Play(t0 + seconds{5});
  EXPECT_EQ(e.PositionUs(t0 + seconds{5}), 0u);
  EXPECT_EQ(e.Feeder().Frames(), 0u);
  EXPECT_EQ(state.MAXIMA, (std::array<std::int32_t, 4>{}));
  e.Advance(t0 + seconds{5});
  EXPECT_EQ(state.INSTRING, "junk");
}
