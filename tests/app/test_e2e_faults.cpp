// The window against a simulator that splits, garbles and cuts its frames,
// then against a sound one on the same window: every frame the faults left
// intact is decoded, and the readings are right again once the faults stop.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "E2eSupport.h"
#include "MainWindowTestSupport.h"
#include "UnitMain.h"

namespace {

using e2e::Expectation;
using e2e::LoggedFrame;
using e2e::SimDevice;
using e2e::Snapshot;
using qv::sim::FrameKind;

// How many of the expectations the decoded frames show, in order (each
// expectation by a later frame than the one before).
std::size_t MatchedInOrder(const std::vector<Snapshot>& frames, std::size_t from,
                           const std::vector<Expectation>& expected) {
  std::size_t matched = 0;
  for (std::size_t i = from; i < frames.size() && matched < expected.size(); ++i) {
    if (e2e::Shows(frames[i], expected[matched].frame)) ++matched;
  }
  return matched;
}

struct FaultCounts {
  std::size_t junk = 0, no_end = 0, bad_channel = 0, bad_count = 0, records = 0;
};

FaultCounts CountFaults(const std::vector<LoggedFrame>& frames) {
  FaultCounts n;
  for (const LoggedFrame& f : frames) {
    if (f.kind == FrameKind::kJunk) {
      ++n.junk;
      continue;
    }
    ++n.records;
    if (!f.end) ++n.no_end;
    if (f.kind == FrameKind::kChannel && f.channel_byte > 3) ++n.bad_channel;
    if (f.kind == FrameKind::kChannel && f.count_text != "260") ++n.bad_count;
  }
  return n;
}

std::vector<LoggedFrame> FirstOf(const std::vector<LoggedFrame>& v, std::size_t n) {
  return {v.begin(), v.begin() + static_cast<std::ptrdiff_t>(std::min(n, v.size()))};
}

TEST(EndToEnd, FaultyFramesNeverDerailTheWindowAndGoodFramesAreDecoded) {
  SimDevice faulty({"--seed", "5", "--split", "7", "--junk", "0.3", "--drop-end", "0.15", "--bad-channel", "0.25",
                    "--bad-count", "0.25"});
  SimDevice sound({"--seed", "6"});
  ASSERT_FALSE(faulty.Path().empty());
  ASSERT_FALSE(sound.Path().empty());
  qvtest::CapturedErrors errors;
  TForm1 form;
  form.SetCommandLinePort(faulty.Path());
  form.show();
  e2e::FrameRecorder frames(form);

  // Maxima frames, and the records of channels 0 and 2 (hidden buttons "Channel-1" and "Channel-3").
  form.Button2Click();
  form.Button4Click();
  form.Button6Click();
  ASSERT_TRUE(e2e::WaitUntil(
      [&] {
        const FaultCounts n = CountFaults(faulty.Log().frames);
        return n.junk > 0 && n.no_end > 0 && n.bad_channel > 0 && n.bad_count > 0 && n.records >= 40;
      },
      30))
      << "the simulator did not inject every kind of fault";

  // Between the faults: every record that came whole, after a frame that
  // ended properly, is decoded, in order.
  const std::vector<LoggedFrame> sent = faulty.Records();
  const std::vector<Expectation> expected = e2e::DecodableRecords(FirstOf(sent, sent.size() - 1));
  ASSERT_GE(expected.size(), 10u);
  EXPECT_TRUE(e2e::WaitUntil([&] { return MatchedInOrder(frames.Frames(), 0, expected) == expected.size(); }));
  const std::size_t matched = MatchedInOrder(frames.Frames(), 0, expected);
  if (matched < expected.size()) {
    const Expectation& missing = expected[matched];
    ADD_FAILURE() << "record " << missing.record << " (" << static_cast<char>(missing.frame.kind) << " at offset "
                  << missing.frame.offset << ") was not decoded; " << frames.Count() << " frames decoded";
  }

  // The same window on a sound device: after the first frame (which may be
  // joined to what the faulty stream left in the accumulator) every frame is
  // decoded again.
  form.Button3Click();
  ASSERT_TRUE(faulty.WaitForSilence(500));
  const bool leftover = !form.Measurement().INSTRING.empty();
  const std::size_t before = frames.Count();
  form.ComPort1->SetPort(sound.Path());
  form.Button2Click();
  ASSERT_TRUE(form.ComPort1->Connected());
  ASSERT_TRUE(e2e::WaitUntil([&] { return sound.Records().size() >= 15; }));
  const std::vector<LoggedFrame> sent2 = sound.Records();
  std::vector<Expectation> expected2 = e2e::DecodableRecords(FirstOf(sent2, sent2.size() - 1));
  ASSERT_EQ(expected2.size(), sent2.size() - 1);  // no faults: every record counts
  if (leftover) expected2.erase(expected2.begin());
  EXPECT_TRUE(e2e::WaitUntil([&] { return MatchedInOrder(frames.Frames(), before, expected2) == expected2.size(); }))
      << MatchedInOrder(frames.Frames(), before, expected2) << " of " << expected2.size() << " records decoded";

  form.Button3Click();
  ASSERT_TRUE(sound.WaitForSilence(500));
  // The last frame decoded is one the sound device sent, and MAXIMA holds
  // the last maxima it sent up to that frame.
  const std::vector<LoggedFrame> all2 = sound.Records();
  const Snapshot& last = frames.Frames().back();
  const auto shown =
      std::find_if(all2.rbegin(), all2.rend(), [&](const LoggedFrame& f) { return e2e::Shows(last, f); });
  ASSERT_NE(shown, all2.rend()) << "the last decoded frame is none the device sent";
  const auto lastMaxima =
      std::find_if(shown, all2.rend(), [](const LoggedFrame& f) { return f.kind == FrameKind::kMaxima; });
  ASSERT_NE(lastMaxima, all2.rend());
  for (int c = 0; c < 4; ++c) EXPECT_EQ(form.Measurement().MAXIMA[c], lastMaxima->maxima[c]) << "channel " << c;

  form.close();
  EXPECT_EQ(faulty.Stop(), 0);
  EXPECT_EQ(sound.Stop(), 0);
  EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
}

}  // namespace
