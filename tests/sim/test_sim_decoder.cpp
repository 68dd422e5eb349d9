// The simulator's frames through the program's own receive handler: what it
// decodes is what the simulator says it sent.
#include <gtest/gtest.h>

#include <algorithm>

#include "CapturePort.h"
#include "Decoder.h"
#include "SimDrive.h"

using namespace qv::sim;
using namespace simtest;

namespace {

// The records a receiver cuts out: frames without "End_Data" run into the next
// one, and of each tag the first in the cut frame counts.
struct Cut {
  const LoggedFrame* maxima = nullptr;
  const LoggedFrame* channel = nullptr;
};

std::vector<Cut> CutsOf(const std::vector<LoggedFrame>& log) {
  std::vector<Cut> cuts;
  Cut current;
  for (const auto& f : log) {
    if (f.kind == FrameKind::kMaxima && !current.maxima) current.maxima = &f;
    if (f.kind == FrameKind::kChannel && !current.channel) current.channel = &f;
    if (f.kind != FrameKind::kJunk && f.end) {
      cuts.push_back(current);
      current = {};
    }
  }
  return cuts;
}

bool CountIsNumber(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Feeds every delivery as one receive event and checks each decoded frame
// against the simulator's log. Returns the number of frames decoded.
std::size_t DecodeAndCompare(const Rig& rig) {
  TMeasurement state;
  qv::CapturePort port;
  std::size_t decoded = 0;
  TFrameDecoder decoder(state, port, [&decoded] { ++decoded; });
  const auto cuts = CutsOf(rig.log);
  Maxima maxima{};
  std::size_t checked = 0;
  for (const auto& d : rig.deliveries) {
    port.Feed(d.bytes);
    decoder.ComPort1RxChar(static_cast<int>(d.bytes.size()));
    if (decoded == checked) continue;
    EXPECT_EQ(decoded, checked + 1);
    if (checked >= cuts.size()) {
      ADD_FAILURE() << "decoded a frame the simulator did not send";
      break;
    }
    const Cut& cut = cuts[checked++];
    const auto& report = decoder.LastFrame();
    if (cut.maxima) {
      EXPECT_EQ(report.maxima, qv::RecordOutcome::kDecoded);
      std::copy(cut.maxima->maxima.begin(), cut.maxima->maxima.end(), maxima.begin());
      for (int c = 0; c < 4; ++c) EXPECT_EQ(state.MAXIMA[c], maxima[c]);
    } else {
      EXPECT_EQ(report.maxima, qv::RecordOutcome::kAbsent);
    }
    int refilled = -1;
    if (cut.channel) {
      const LoggedFrame& r = *cut.channel;
      if (r.channel_byte > 3) {
        EXPECT_EQ(report.channel, qv::RecordOutcome::kBadChannel);
      } else if (!CountIsNumber(r.count_text)) {
        EXPECT_EQ(report.channel, qv::RecordOutcome::kBadCount);
      } else {
        EXPECT_EQ(report.channel, qv::RecordOutcome::kDecoded);
        EXPECT_EQ(state.SAMPLE_COUNT, 260);
        refilled = r.channel_byte;
        for (std::size_t i = 0; i < r.samples.size(); ++i) EXPECT_EQ(state.CHANNEL_DATA[refilled][i], r.samples[i]);
      }
    }
    for (int c = 0; c < 4; ++c) {
      if (c != refilled) {
        EXPECT_EQ(state.CHANNEL_DATA[c][0], maxima[c] - 100) << c;
      }
    }
    if (::testing::Test::HasFailure()) break;
  }
  // Only a frame still on its way at the end can be missing.
  EXPECT_GE(checked + 1, cuts.size());
  // The handler asks for frames again when it sees it fell behind; never anything else.
  for (const std::string& w : port.Writes()) EXPECT_EQ(w, "b");
  return checked;
}

}  // namespace

TEST(SimThroughDecoder, EveryFrameDecodesToWhatWasSent) {
  Rig rig({}, 21, Scenario::kDrift);
  rig.Send("b1234");
  rig.RunUntil(6000 * kMs);
  const auto records =
      std::count_if(rig.log.begin(), rig.log.end(), [](auto& f) { return f.kind == FrameKind::kChannel; });
  ASSERT_GE(records, 20);
  EXPECT_GE(DecodeAndCompare(rig), 80u);
}

TEST(SimThroughDecoder, JunkSplitsAndBadRecordsAreWhatTheDecoderReports) {
  Rig rig({.split_max = 7, .junk = 0.5, .bad_channel = 0.2, .bad_count = 0.2}, 8);
  rig.Send("b12");
  rig.RunUntil(15000 * kMs);
  ASSERT_GT(rig.device.Stats().bad_channels, 0u);
  ASSERT_GT(rig.device.Stats().bad_counts, 0u);
  EXPECT_GE(DecodeAndCompare(rig), 150u);
}

TEST(SimThroughDecoder, FramesWithoutEndRunIntoTheNext) {
  Rig rig({.drop_end = 0.3}, 9, Scenario::kSync);
  rig.Send("b");
  rig.RunUntil(8000 * kMs);
  ASSERT_GT(rig.device.Stats().dropped_ends, 10u);
  const auto decoded = DecodeAndCompare(rig);
  EXPECT_LT(decoded, 80u);
  EXPECT_GT(decoded, 30u);
}
