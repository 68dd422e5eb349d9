// The wire layout of the two records and the frame log's line format.
#include <gtest/gtest.h>

#include <numeric>
#include <stdexcept>
#include <vector>

#include "FrameEncoder.h"
#include "FrameLog.h"
#include "support/TestEnv.h"

using namespace qv::sim;

namespace {

std::uint16_t U16At(const std::string& s, std::size_t i) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(s[i]) | static_cast<std::uint8_t>(s[i + 1]) << 8);
}

LoggedFrame Frame(FrameKind kind, std::uint64_t offset, std::size_t size, bool end) {
  LoggedFrame f;
  f.kind = kind;
  f.offset = offset;
  f.size = size;
  f.end = end;
  return f;
}

}  // namespace

TEST(SimFrames, MaximaRecordLayout) {
  const std::string f = EncodeMaxima({0x2710, 350, 0, 0xFFFF});
  ASSERT_EQ(f.size(), 27u);
  EXPECT_EQ(f.substr(0, 11), "MUXA#Maxima");
  EXPECT_EQ(static_cast<std::uint8_t>(f[11]), 0x10);  // low byte first
  EXPECT_EQ(static_cast<std::uint8_t>(f[12]), 0x27);
  EXPECT_EQ(U16At(f, 13), 350);
  EXPECT_EQ(U16At(f, 15), 0);
  EXPECT_EQ(U16At(f, 17), 0xFFFF);
  EXPECT_EQ(f.substr(19), "End_Data");
}

TEST(SimFrames, ChannelRecordLayout) {
  std::vector<std::uint16_t> samples(260);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::uint16_t>(i * 257 + 1);
  const std::string f = EncodeChannel(2, samples);
  ASSERT_EQ(f.size(), ChannelFrameSize(260));
  ASSERT_EQ(f.size(), 34u + 520u + 8u);
  EXPECT_EQ(f.substr(0, 12), "MUXA#Channel");
  EXPECT_EQ(f[12], '\x02');  // binary, not the digit
  EXPECT_EQ(f.substr(13, 7), std::string(7, '\0'));
  EXPECT_EQ(f.substr(20, 3), "260");
  EXPECT_EQ(f.substr(23, 11), std::string(11, '\0'));
  for (std::size_t i = 0; i < samples.size(); ++i) {
    ASSERT_EQ(static_cast<std::uint8_t>(f[34 + 2 * i]), samples[i] & 0xFF) << i;
    ASSERT_EQ(static_cast<std::uint8_t>(f[35 + 2 * i]), samples[i] >> 8) << i;
  }
  EXPECT_EQ(f.substr(34 + 520), "End_Data");
}

TEST(SimFrames, ChannelCountTextFollowsTheSamplesOrIsGiven) {
  const std::vector<std::uint16_t> seven(7, 1);
  EXPECT_EQ(EncodeChannel(0, seven).substr(20, 3), "007");
  EXPECT_EQ(EncodeChannel(0, {}).substr(20, 3), "000");
  EXPECT_EQ(EncodeChannel(0, seven, "xyz").substr(20, 3), "xyz");
  EXPECT_THROW((void)EncodeChannel(0, seven, "12"), std::invalid_argument);
  EXPECT_THROW((void)EncodeChannel(0, std::vector<std::uint16_t>(1000)), std::invalid_argument);
}

TEST(SimFrameLog, LinesRoundTrip) {
  LoggedFrame m = Frame(FrameKind::kMaxima, 0, 27, true);
  m.maxima = {350, 340, 360, 345};
  LoggedFrame c = Frame(FrameKind::kChannel, 27, 562, false);
  c.channel_byte = 7;
  c.count_text = "abc";
  c.samples = {1, 65535, 0};
  const LoggedFrame j = Frame(FrameKind::kJunk, 589, 5, false);
  const LoggedFrame r = Frame(FrameKind::kReplay, 594, 100, true);
  EXPECT_EQ(FormatLogLine(m), "M 0 27 1 350 340 360 345");
  EXPECT_EQ(FormatLogLine(c), "C 27 562 0 7 abc 3 1 65535 0");
  EXPECT_EQ(FormatLogLine(j), "J 589 5");
  EXPECT_EQ(FormatLogLine(r), "R 594 100 1");
  const std::string text = "# header\n" + FormatLogLine(m) + "\n\n" + FormatLogLine(c) + "\n" + FormatLogLine(j) +
                           "\n" + FormatLogLine(r) + "\n";
  EXPECT_EQ(ParseLog(text), (std::vector<LoggedFrame>{m, c, j, r}));
}

TEST(SimFrameLog, MalformedLinesAreRejected) {
  for (const char* bad : {"X 0 1", "M 0 27 1 1 2 3", "M 0 27 2 1 2 3 4", "M 0 27 1 1 2 3 70000", "C 0 9 1 0 260 2 5",
                          "C 0 9 1 0 260 1 5 6", "J 0", "J -1 3", "M 0 27 1 1 2 3 4 extra", "MM 0 27 1 1 2 3 4"}) {
    EXPECT_THROW((void)ParseLogLine(bad), std::invalid_argument) << bad;
  }
}

TEST(SimFrameLog, FileGetsEveryLineAtOnce) {
  qvtest::ScratchDir dir;
  const auto path = (dir / "frames.log").string();
  FrameLog log(path);
  log.Write(Frame(FrameKind::kJunk, 0, 3, false));
  // Read while the log is still open: each line is flushed as it is written.
  const auto frames = ParseLog(qvtest::ReadFile(path));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].size, 3u);
  EXPECT_THROW(FrameLog((dir / "missing" / "x.log").string()), std::system_error);
}
