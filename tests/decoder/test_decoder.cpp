#include <gtest/gtest.h>

#include <algorithm>

#include "Decoder.h"
#include "support/DecoderTestSupport.h"
#include "EComPort.h"

using qvtest::ChannelFrame;
using qvtest::MaximaFrame;

namespace {

class Decoder : public ::testing::Test {
 protected:
  void Event(const std::string& bytes) {
    port.Feed(bytes);
    dec.ComPort1RxChar(static_cast<int>(bytes.size()));
  }
  // Fills channel ch with a recognisable pattern so that zeroing and untouched ranges show.
  void Pattern(int ch) {
    for (int i = 0; i < TMeasurement::kHistorySize; ++i) s.CHANNEL_DATA[ch][i] = 1000 + i;
  }

  TMeasurement s;
  qvtest::FakePort port;
  int signals = 0;
  TFrameDecoder dec{s, port, [this] { ++signals; }};
};

// ---- Cutting frames out of the accumulator ------------------------------------------------------------------

TEST_F(Decoder, StateStartsZeroedAndAFrameBeforeAnyMaximaGivesMinus100) {
  EXPECT_TRUE(std::all_of(s.INBUFFER.begin(), s.INBUFFER.end(), [](auto b) { return b == 0; }));
  Event("MUXA End_Data");
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(s.CHANNEL_DATA[c][0], -100);
    EXPECT_EQ(s.CHANNEL_DATA[c][1], 0);
  }
  EXPECT_EQ(&dec.State(), &s);
}

TEST_F(Decoder, FrameSplitOverEventsIsCutOnlyWhenEndDataArrives) {
  const std::string f = MaximaFrame(500, 600, 700, 800, "pre");
  Event(f.substr(0, 5));             // "preMU": no tag yet
  Event(f.substr(5, f.size() - 9));  // up to "End_" of "End_Data"
  Event(f.substr(f.size() - 4, 2));  // "Da"
  EXPECT_EQ(signals, 0);
  EXPECT_EQ(s.INSTRING, f.substr(0, f.size() - 2));
  Event(f.substr(f.size() - 2) + "MU");
  EXPECT_EQ(signals, 1);
  EXPECT_EQ(s.DATASTRING, f);
  EXPECT_EQ(s.INSTRING, "MU");
  EXPECT_EQ(s.MAXIMA, (std::array<std::int32_t, 4>{500, 600, 700, 800}));
  EXPECT_TRUE(port.Writes().empty());
}

TEST_F(Decoder, SecondMaximaFrameWaitsAndTheDeviceIsAskedAgain) {
  Event(MaximaFrame(1, 2, 3, 4) + MaximaFrame(5, 6, 7, 8));
  EXPECT_EQ(signals, 1);
  EXPECT_EQ(s.MAXIMA[0], 1);
  EXPECT_EQ(port.Writes(), std::vector<std::string>{"b"});
  EXPECT_EQ(s.INSTRING, MaximaFrame(5, 6, 7, 8));
  Event("z");
  EXPECT_EQ(signals, 2);
  EXPECT_EQ(s.MAXIMA[0], 5);
  EXPECT_EQ(s.INSTRING, "z");
  EXPECT_EQ(port.Writes().size(), 1u);  // the rest "z" holds no maxima tag
}

TEST_F(Decoder, NoResendWhenNothingOrOnlyAChannelRecordFollows) {
  Event(MaximaFrame(1, 2, 3, 4));
  EXPECT_EQ(s.INSTRING, "");
  Event(MaximaFrame(1, 2, 3, 4) + "MUXA#Channel" + "MUXA#Maxim");
  EXPECT_EQ(signals, 2);
  EXPECT_TRUE(port.Writes().empty());
}

TEST_F(Decoder, EndDataBeforeTheFirstTagFormsAFrameWithoutRecord) {
  s.MAXIMA = {300, 0, 0, 0};
  Event("noiseEnd_DataMUXA#Maxima");
  EXPECT_EQ(signals, 1);
  EXPECT_EQ(s.DATASTRING, "noiseEnd_Data");
  EXPECT_EQ(s.INSTRING, "MUXA#Maxima");
  EXPECT_EQ(s.CHANNEL_DATA[0][0], 200);  // history step with the previous maxima
  EXPECT_EQ(port.Writes(), std::vector<std::string>{"b"});
  EXPECT_EQ(dec.LastFrame().maxima, qv::RecordOutcome::kAbsent);
  EXPECT_EQ(dec.LastFrame().channel, qv::RecordOutcome::kAbsent);
}

TEST_F(Decoder, EndDataWithoutTagWaitsAndIsDroppedPast2000Bytes) {
  Event("End_Data" + std::string(1000, 'x'));
  EXPECT_EQ(signals, 0);
  EXPECT_EQ(s.INSTRING.size(), 1008u);
  Event(std::string(992, 'y'));  // exactly 2000 stays
  EXPECT_EQ(s.INSTRING.size(), 2000u);
  Event("y");  // 2001 empties
  EXPECT_EQ(s.INSTRING, "");
  EXPECT_EQ(signals, 0);
}

TEST_F(Decoder, AccumulatorRuleAlsoAppliesToTheRestBehindACutFrame) {
  const std::string f = MaximaFrame(1, 1, 1, 1);
  Event(f + std::string(2000, 'r'));
  EXPECT_EQ(signals, 1);
  EXPECT_EQ(s.INSTRING, std::string(2000, 'r'));
  Event(f + std::string(2001, 'r'));  // the waiting 2000 bytes open the next frame
  EXPECT_EQ(signals, 2);
  EXPECT_EQ(s.DATASTRING, std::string(2000, 'r') + f);
  EXPECT_EQ(s.INSTRING, "");
}

TEST_F(Decoder, EarlierEndDataCountsOnceATagArrivesInPieces) {
  Event("aEnd_Datab");
  Event("cMUX");
  EXPECT_EQ(signals, 0);
  Event("Ad");  // the tag completes here: the frame is everything up to the first "End_Data"
  EXPECT_EQ(signals, 1);
  EXPECT_EQ(s.DATASTRING, "aEnd_Data");
  EXPECT_EQ(s.INSTRING, "bcMUXAd");
  Event("End_Dat");
  Event("a");  // end split over events with the tag already present
  EXPECT_EQ(signals, 2);
  EXPECT_EQ(s.DATASTRING, "bcMUXAdEnd_Data");
}

TEST_F(Decoder, AccumulatorReplacedByOtherCodeIsSearchedAfresh) {
  Event("xxxxxxxxxxxxxxxxxxxx");
  s.INSTRING = "MUXA End_Data";  // another length: the handler notices
  Event("y");
  EXPECT_EQ(signals, 1);
  EXPECT_EQ(s.DATASTRING, "MUXA End_Data");
  s.INSTRING.clear();
  Event("MUXA");
  Event("End_Data");
  EXPECT_EQ(signals, 2);
}

TEST_F(Decoder, ZeroBytesAreOrdinaryData) {
  const std::string f = std::string("\0MUXA\0", 6) + MaximaFrame(0x0100, 0, 0, 0);
  Event(f);
  EXPECT_EQ(s.DATASTRING, f);
  EXPECT_EQ(s.MAXIMA[0], 256);
  Event(std::string("MUX\0A End_Data", 14));  // "MUX\0A" is no tag
  EXPECT_EQ(signals, 1);
}

TEST_F(Decoder, ShortReadAppendsOnlyWhatWasRead) {
  port.Feed("MUXA");
  dec.ComPort1RxChar(100);
  EXPECT_EQ(s.INSTRING, "MUXA");
}

TEST_F(Decoder, ReadErrorLeavesEverythingUntouched) {
  Event("MUXA#Maxima");
  port.SetReadFailure([] { throw EComPort(3, 5); });
  port.Feed(
      "\x01\x02\x03\x04\x05\x06\x07\x08"
      "End_Data");
  EXPECT_THROW(dec.ComPort1RxChar(16), EComPort);
  EXPECT_EQ(s.INSTRING, "MUXA#Maxima");
  EXPECT_EQ(s.DATASTRING, "");
  EXPECT_EQ(signals, 0);
  EXPECT_TRUE(port.Writes().empty());
}

// ---- Maxima record and history step ---------------------------------------------------------------------

TEST_F(Decoder, MaximaAreLittleEndianAndTheHistoryHoldsValueMinus100) {
  Event(MaximaFrame(0x2710, 0xFFFF, 0, 99, "junk MUXA"));
  EXPECT_EQ(s.MAXIMA, (std::array<std::int32_t, 4>{10000, 65535, 0, 99}));
  EXPECT_EQ(s.CHANNEL_DATA[0][0], 9900);
  EXPECT_EQ(s.CHANNEL_DATA[1][0], 65435);
  EXPECT_EQ(s.CHANNEL_DATA[2][0], -100);
  EXPECT_EQ(s.CHANNEL_DATA[3][0], -1);
  EXPECT_EQ(s.INBUFFER[9 + 11], 0x10);
  EXPECT_EQ(s.INBUFFER[9 + 12], 0x27);
}

TEST_F(Decoder, OnlyTheFirstMaximaTagCounts) {
  const std::string first = MaximaFrame(7, 7, 7, 7);
  Event(first.substr(0, first.size() - 8) + "MUXA#Maxima" + std::string(8, '\x55') + "End_Data");
  EXPECT_EQ(s.MAXIMA, (std::array<std::int32_t, 4>{7, 7, 7, 7}));
}

TEST_F(Decoder, HistoryShiftsEntries0To199AndLeaves201UpUntouched) {
  for (int c = 0; c < 4; ++c) Pattern(c);
  // Frame k brings maximum 100 + k, so its history entry is k.
  const auto frame = [&](int k) { Event(MaximaFrame(100 + k, 100, 100, 100)); };
  frame(1);
  EXPECT_EQ(s.CHANNEL_DATA[0][0], 1);
  EXPECT_EQ(s.CHANNEL_DATA[0][1], 1000);
  EXPECT_EQ(s.CHANNEL_DATA[0][200], 1199);
  EXPECT_EQ(s.CHANNEL_DATA[1][0], 0);
  for (int k = 2; k <= 201; ++k) frame(k);
  EXPECT_EQ(s.CHANNEL_DATA[0][200], 1);  // the first entry after 200 further frames
  EXPECT_EQ(s.CHANNEL_DATA[0][0], 201);
  EXPECT_EQ(s.CHANNEL_DATA[0][100], 101);
  frame(202);
  EXPECT_EQ(s.CHANNEL_DATA[0][200], 2);  // ...and lost at the next one
  for (int c = 0; c < 4; ++c)
    for (int i = 201; i <= 300; ++i) ASSERT_EQ(s.CHANNEL_DATA[c][i], 1000 + i);
}

TEST_F(Decoder, ShorterFrameLeavesStaleBytesBehindItsEnd) {
  Event(MaximaFrame(0x4142, 0x4344, 0x4546, 0x4748, std::string(40, 'L')));
  const auto before = s.INBUFFER;
  Event("MUXA End_Data");
  EXPECT_EQ(std::string(s.INBUFFER.begin(), s.INBUFFER.begin() + 13), "MUXA End_Data");
  EXPECT_TRUE(std::equal(s.INBUFFER.begin() + 13, s.INBUFFER.end(), before.begin() + 13));
  EXPECT_EQ(s.INBUFFER[40 + 11], 0x42);
}

TEST_F(Decoder, FrameSignalComesOncePerFrameBeforeDecoding) {
  std::vector<std::int32_t> maximaSeen;
  std::vector<std::string> framesSeen;
  TFrameDecoder d(s, port, [&] {
    maximaSeen.push_back(s.MAXIMA[0]);
    framesSeen.push_back(s.DATASTRING);
  });
  port.Feed(MaximaFrame(42, 0, 0, 0) + MaximaFrame(43, 0, 0, 0));
  d.ComPort1RxChar(64);
  d.ComPort1RxChar(64);
  EXPECT_EQ(maximaSeen, (std::vector<std::int32_t>{0, 42}));
  EXPECT_EQ(framesSeen, (std::vector<std::string>{MaximaFrame(42, 0, 0, 0), MaximaFrame(43, 0, 0, 0)}));
  EXPECT_EQ(s.CHANNEL_DATA[0][1], -58);
  EXPECT_EQ(d.Frames(), 2u);
  d.ComPort1RxChar(64);  // nothing waiting: no frame
  EXPECT_EQ(d.Frames(), 2u);
  TFrameDecoder silent(s, port);  // no signal connected is fine
  s.DATASTRING = "MUXA End_Data";
  silent.AUSGABE();
  EXPECT_EQ(s.CHANNEL_DATA[0][0], -57);
  EXPECT_EQ(silent.Frames(), 1u);
}

// ---- Channel record ---------------------------------------------------------------------------------------

TEST_F(Decoder, ChannelRecordRefillsOneChannel) {
  Pattern(2);
  std::vector<int> samples(260);
  for (int i = 0; i < 260; ++i) samples[i] = 0x0101 * (i % 200) + 3;
  Event(ChannelFrame(2, "260", samples, "\x01pre"));
  EXPECT_EQ(s.SAMPLE_COUNT, 260);
  for (int i = 0; i < 260; ++i) ASSERT_EQ(s.CHANNEL_DATA[2][i], samples[i]) << i;
  EXPECT_EQ(s.CHANNEL_DATA[2][260], 0);
  for (int i = 261; i <= 300; ++i) ASSERT_EQ(s.CHANNEL_DATA[2][i], 1000 + i);
  EXPECT_EQ(s.CHANNEL_DATA[1][0], -100);
  EXPECT_EQ(dec.LastFrame().channel_number, 2);
  EXPECT_EQ(dec.LastFrame().samples_stored, 260);
}

TEST_F(Decoder, BadChannelByteIsIgnoredAfterTheHistoryStep) {
  s.SAMPLE_COUNT = 17;
  for (const int ch : {4, 49, 255}) {
    for (int c = 0; c < 4; ++c) Pattern(c);
    Event(ChannelFrame(ch, "  1", {9}));
    EXPECT_EQ(s.SAMPLE_COUNT, 17);
    for (int c = 0; c < 4; ++c) {
      EXPECT_EQ(s.CHANNEL_DATA[c][0], -100);  // the history step took place
      EXPECT_EQ(s.CHANNEL_DATA[c][1], 1000);  // and nothing was zeroed
      EXPECT_EQ(s.CHANNEL_DATA[c][250], 1250);
    }
    EXPECT_EQ(dec.LastFrame().channel, qv::RecordOutcome::kBadChannel);
  }
  EXPECT_EQ(signals, 3);
}

TEST_F(Decoder, CountZeroZeroesEntries0To260) {
  Pattern(3);
  s.SAMPLE_COUNT = 260;
  Event(ChannelFrame(3, "000", {7, 7}));
  EXPECT_EQ(s.SAMPLE_COUNT, 0);
  for (int i = 0; i <= 260; ++i) ASSERT_EQ(s.CHANNEL_DATA[3][i], 0) << i;
  for (int i = 261; i <= 300; ++i) ASSERT_EQ(s.CHANNEL_DATA[3][i], 1000 + i);
}

TEST_F(Decoder, CountTextRules) {
  constexpr int kNoNumber = -1000;
  struct Case {
    const char* text;  // exactly three characters, zero bytes included
    int expected;
  };
  const Case cases[] = {
      {" 42", 42},
      {"42 ", kNoNumber},
      {"+42", 42},
      {"-5\0", -5},
      {" -5", -5},
      {"-5 ", kNoNumber},
      {"4\0x", 4},
      {"\0"
       "12",
       kNoNumber},
      {"abc", kNoNumber},
      {"4a2", kNoNumber},
      {"   ", kNoNumber},
      {"+\0\0", kNoNumber},
      {"\t42", kNoNumber},
      {"- 5", kNoNumber},
      {"+-1", kNoNumber},
      {"007", 7},
      {"999", 999},
  };
  for (const Case& c : cases) {
    const std::string text(c.text, 3);
    s.SAMPLE_COUNT = 1234;
    Pattern(1);
    Event(ChannelFrame(1, text, std::vector<int>(60, 0x0505)));
    if (c.expected == kNoNumber) {
      EXPECT_EQ(s.SAMPLE_COUNT, 1234) << text;
      EXPECT_EQ(s.CHANNEL_DATA[1][5], 1004) << text;  // shifted once, not zeroed
      EXPECT_EQ(dec.LastFrame().channel, qv::RecordOutcome::kBadCount) << text;
      continue;
    }
    EXPECT_EQ(s.SAMPLE_COUNT, c.expected) << text;
    for (int i = 0; i < std::clamp(c.expected, 0, 60); ++i) ASSERT_EQ(s.CHANNEL_DATA[1][i], 0x0505) << text;
    if (c.expected < 60) {
      EXPECT_EQ(s.CHANNEL_DATA[1][std::max(c.expected, 0)], 0) << text;  // zeroed, no sample there
      EXPECT_EQ(s.CHANNEL_DATA[1][260], 0) << text;
      EXPECT_EQ(s.CHANNEL_DATA[1][261], 1261) << text;
    }
  }
}

TEST_F(Decoder, FrameWithBothRecordsDecodesMaximaFirst) {
  // The channel record for channel 1 overwrites the entry the history step made from the new maxima.
  const std::string f = ChannelFrame(1, "  2", {11, 12}, MaximaFrame(500, 600, 700, 800).substr(0, 19));
  Event(f);
  EXPECT_EQ(s.MAXIMA, (std::array<std::int32_t, 4>{500, 600, 700, 800}));
  EXPECT_EQ(s.CHANNEL_DATA[0][0], 400);
  EXPECT_EQ(s.CHANNEL_DATA[1][0], 11);
  EXPECT_EQ(s.CHANNEL_DATA[1][1], 12);
  EXPECT_EQ(s.CHANNEL_DATA[2][0], 600);
  EXPECT_EQ(signals, 1);
}

// ---- Frames and records that reach past the arrays -------------------------------------------------------

TEST_F(Decoder, LongFrameKeepsOnlyItsFirst1001Bytes) {
  std::string f = MaximaFrame(9, 9, 9, 9);
  f.insert(f.size() - 8, std::string(1500 - f.size(), '\x7e'));
  s.INBUFFER.fill(0xAA);
  Event(f);
  EXPECT_EQ(s.DATASTRING.size(), 1500u);
  EXPECT_TRUE(std::equal(s.INBUFFER.begin(), s.INBUFFER.end(), f.begin(),
                         [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); }));
  EXPECT_EQ(s.MAXIMA[3], 9);
}

TEST_F(Decoder, MaximaRecordPastIndex1000IsDropped) {
  Event(MaximaFrame(120, 0, 0, 0));
  Event(MaximaFrame(1, 2, 3, 4, std::string(995, '-')));  // tag at 995
  EXPECT_EQ(s.MAXIMA[0], 120);
  EXPECT_EQ(s.CHANNEL_DATA[0][0], 20);
  EXPECT_EQ(dec.LastFrame().maxima, qv::RecordOutcome::kOutOfBounds);
  Event(MaximaFrame(0x0201, 2, 3, 0x0504, std::string(983, '-')));  // last field would end at 1001
  EXPECT_EQ(s.MAXIMA[3], 0);
  Event(MaximaFrame(0x0201, 2, 3, 0x0504, std::string(982, '-')));  // last field ends at 1000
  EXPECT_EQ(s.MAXIMA, (std::array<std::int32_t, 4>{0x0201, 2, 3, 0x0504}));
  // Only the two records that reached MAXIMA count as maxima frames.
  EXPECT_EQ(dec.Frames(), 4u);
  EXPECT_EQ(dec.MaximaFrames(), 2u);
}

TEST_F(Decoder, MaximaFramesCountsOnlyFramesWhoseMaximaWereTaken) {
  Event(MaximaFrame(350, 340, 360, 345));
  Event(qvtest::ChannelFrame(1, "002", {7, 8}));
  Event("MUXA End_Data");
  EXPECT_EQ(dec.Frames(), 3u);
  EXPECT_EQ(dec.MaximaFrames(), 1u);
  // Equal maxima again are a new maxima frame all the same.
  Event(MaximaFrame(350, 340, 360, 345));
  EXPECT_EQ(dec.MaximaFrames(), 2u);
  Event(qvtest::ChannelFrame(0, "001", {5},
                             "MUXA#Maxima" + qvtest::Le16(1) + qvtest::Le16(2) + qvtest::Le16(3) + qvtest::Le16(4)));
  EXPECT_EQ(dec.MaximaFrames(), 3u);
  EXPECT_EQ(s.MAXIMA[3], 4);
}

TEST_F(Decoder, ChannelRecordNeedsItsCountInsideTheBuffer) {
  Pattern(0);
  s.SAMPLE_COUNT = 5;
  Event(ChannelFrame(0, "  1", {77}, std::string(979, '-')));  // count's last character at 1001
  EXPECT_EQ(s.SAMPLE_COUNT, 5);
  EXPECT_EQ(s.CHANNEL_DATA[0][1], 1000);
  EXPECT_EQ(dec.LastFrame().channel, qv::RecordOutcome::kOutOfBounds);
  Event(ChannelFrame(0, "  1", {77}, std::string(978, '-')));  // count ends at 1000, sample past it
  EXPECT_EQ(s.SAMPLE_COUNT, 1);
  EXPECT_EQ(s.CHANNEL_DATA[0][0], 0);  // zeroed, no sample stored
  EXPECT_EQ(s.CHANNEL_DATA[0][1], 0);
  EXPECT_EQ(dec.LastFrame().samples_stored, 0);
}

TEST_F(Decoder, SampleLoopStopsAtTheEndOfEitherArray) {
  Pattern(2);
  std::vector<int> samples(400);
  for (int i = 0; i < 400; ++i) samples[i] = i + 1;
  Event(ChannelFrame(2, "999", samples));
  EXPECT_EQ(s.SAMPLE_COUNT, 999);
  for (int i = 0; i <= 300; ++i) ASSERT_EQ(s.CHANNEL_DATA[2][i], i + 1);
  EXPECT_EQ(dec.LastFrame().samples_stored, 301);

  // Tag at 800: sample i needs index 835 + 2i <= 1000, so samples 0..82 fit.
  Event(ChannelFrame(2, "260", samples, std::string(800, '-')));
  EXPECT_EQ(s.SAMPLE_COUNT, 260);
  for (int i = 0; i <= 82; ++i) ASSERT_EQ(s.CHANNEL_DATA[2][i], i + 1);
  for (int i = 83; i <= 260; ++i) ASSERT_EQ(s.CHANNEL_DATA[2][i], 0);
  EXPECT_EQ(s.CHANNEL_DATA[2][261], 262);
  EXPECT_EQ(dec.LastFrame().samples_stored, 83);
}

TEST_F(Decoder, LongestPossibleFrameFromAFullAccumulator) {
  Event("MUXA#Channel\x03" + std::string(1999 - 13, '9'));
  EXPECT_EQ(s.INSTRING.size(), 1999u);
  Event(std::string(600, '8') + "End_Data");
  EXPECT_EQ(s.DATASTRING.size(), 2607u);
  EXPECT_EQ(s.SAMPLE_COUNT, 999);
  EXPECT_EQ(s.CHANNEL_DATA[3][300], 0x3939);
  EXPECT_EQ(s.INSTRING, "");
}

}  // namespace
