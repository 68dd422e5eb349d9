// A whole scan against the real simulator: Start Scan, ten seconds and more of
// streaming with channel records, Stop Scan. The simulator's frame log is the
// reference for every frame the window decoded.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "E2eSupport.h"
#include "MainWindowTestSupport.h"
#include "Shape.h"
#include "UnitMain.h"

namespace {

using e2e::LoggedFrame;
using e2e::SimDevice;
using qv::sim::FrameKind;

std::size_t CountOf(const std::vector<LoggedFrame>& records, FrameKind kind, int channel = -1) {
  return static_cast<std::size_t>(std::count_if(records.begin(), records.end(), [&](const LoggedFrame& f) {
    return f.kind == kind && (channel < 0 || f.channel_byte == channel);
  }));
}

std::uint64_t StatsValue(const std::string& stats, const std::string& name) {
  const auto p = stats.find(name + ": ");
  return p == std::string::npos ? 0 : std::stoull(stats.substr(p + name.size() + 2));
}

// The history step moves every channel's entries up by one and puts the
// frame's maxima (or the last ones) minus 100 in front; a channel record then
// refills its own channel.
void ExpectHistoryStep(const e2e::Snapshot& before, const e2e::Snapshot& after, std::size_t frame) {
  for (int c = 0; c < 4; ++c) {
    if (after.report.channel == qv::RecordOutcome::kDecoded && after.report.channel_number == c) continue;
    const auto& now = after.channels[static_cast<std::size_t>(c)];
    const auto& old = before.channels[static_cast<std::size_t>(c)];
    EXPECT_EQ(now[0], after.maxima[static_cast<std::size_t>(c)] - 100) << "frame " << frame << " channel " << c;
    EXPECT_TRUE(std::equal(old.begin(), old.begin() + 200, now.begin() + 1)) << "frame " << frame << " channel " << c;
  }
}

TEST(EndToEnd, ScanDecodesEveryFrameTheDeviceSendsAndStopSilencesIt) {
  SimDevice device({"--seed", "11", "--stats", "--log-times"});
  ASSERT_FALSE(device.Path().empty()) << "the simulator did not start";
  qvtest::CapturedErrors errors;
  TForm1 form;
  form.SetCommandLinePort(device.Path());
  form.show();
  e2e::FrameRecorder frames(form);
  e2e::TickPictures ticks(form);

  // Before the scan the displays tick, but nothing changes and nothing is sent.
  ASSERT_TRUE(e2e::WaitUntil([&] { return ticks.Pictures().size() >= 3; }));
  EXPECT_EQ(ticks.Changes(), 0);
  EXPECT_EQ(form.LED_RX->BrushColor(), clGreen);
  EXPECT_TRUE(device.Records().empty());

  form.Button2Click();
  ASSERT_TRUE(form.ComPort1->Connected());
  EXPECT_EQ(form.LED_MANUELL->BrushColor(), clRed);

  // "b" reached the device: it sends maxima frames, and the window decodes them.
  ASSERT_TRUE(e2e::WaitUntil([&] { return !device.Records().empty(); }));
  ASSERT_TRUE(e2e::WaitUntil([&] { return frames.Count() > 0 && form.LED_RX->BrushColor() == clLime; }));
  ticks.Clear();
  ASSERT_TRUE(e2e::WaitUntil([&] { return ticks.Changes() >= 2; })) << "the displays do not follow the readings";

  // Half-way, the hidden "Channel-1" button asks for channel 0's records.
  ASSERT_TRUE(e2e::WaitUntil([&] { return CountOf(device.Records(), FrameKind::kMaxima) >= 50; }));
  form.Button4Click();
  ASSERT_TRUE(e2e::WaitUntil(
      [&] {
        const auto r = device.Records();
        return CountOf(r, FrameKind::kMaxima) >= 101 && CountOf(r, FrameKind::kChannel, 0) >= 3;
      },
      30));

  // Every record but the last has left the simulator whole; each must have
  // become exactly one decoded frame, in order, with nothing lost or added.
  const std::vector<LoggedFrame> sent = device.Records();
  const std::size_t complete = sent.size() - 1;
  ASSERT_TRUE(e2e::WaitUntil([&] { return frames.Count() >= complete; }))
      << frames.Count() << " frames decoded of " << complete << " sent";
  const auto& got = frames.Frames();
  for (std::size_t i = 0; i < complete; ++i) {
    ASSERT_TRUE(e2e::Shows(got[i], sent[i])) << "frame " << i << " (" << static_cast<char>(sent[i].kind)
                                             << " at offset " << sent[i].offset << ") differs from the log";
    if (i > 0) ExpectHistoryStep(got[i - 1], got[i], i);
    if (sent[i].kind == FrameKind::kChannel && i > 0) {
      EXPECT_EQ(got[i].maxima, got[i - 1].maxima) << "frame " << i;
    }
  }
  EXPECT_GE(CountOf({sent.begin(), sent.begin() + static_cast<std::ptrdiff_t>(complete)}, FrameKind::kChannel, 0), 2u);
  EXPECT_EQ(CountOf(sent, FrameKind::kChannel, 1) + CountOf(sent, FrameKind::kChannel, 2) +
                CountOf(sent, FrameKind::kChannel, 3),
            0u);

  // The time stamps of the log cover every byte of those frames, in order.
  const e2e::SimLog log = device.Log();
  ASSERT_FALSE(log.times.empty());
  for (std::size_t i = 1; i < log.times.size(); ++i) {
    EXPECT_GT(log.times[i].first, log.times[i - 1].first);
    EXPECT_GE(log.times[i].second, log.times[i - 1].second);
  }
  EXPECT_GE(log.times.back().first, sent[complete - 1].offset + sent[complete - 1].size);

  form.Button3Click();
  EXPECT_FALSE(form.ComPort1->Connected());
  EXPECT_FALSE(form.Timer2.Enabled());
  EXPECT_EQ(form.LED_MANUELL->BrushColor(), clMaroon);
  // "a" reached the device: the frame on the line is finished, then nothing.
  ASSERT_TRUE(device.WaitForSilence(1000)) << "the device keeps sending after Stop Scan";
  const std::vector<LoggedFrame> all = device.Records();
  // With nothing arriving, the receive lamp goes dark at its timer's next tick.
  EXPECT_TRUE(e2e::WaitUntil([&] { return form.LED_RX->BrushColor() == clGreen; }));

  form.close();
  EXPECT_EQ(device.Stop(), 0);
  // "b", "1" and "a", and the "a" of closing the window; the decoder may add "b"s of its own.
  EXPECT_GE(StatsValue(device.Stdout(), "commands"), 4u) << device.Stdout();
  EXPECT_EQ(StatsValue(device.Stdout(), "maxima frames") + StatsValue(device.Stdout(), "channel records"), all.size());
  EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
}

}  // namespace
