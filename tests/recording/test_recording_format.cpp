// The recording format and its reader: round trip, raw captures, files cut
// off anywhere, damaged and foreign files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>

#include "support/DecoderTestSupport.h"
#include "RecordFeeder.h"
#include "RecordingReader.h"
#include "RecordingTestSupport.h"
#include "support/TestEnv.h"

using namespace qv::rec;
using rectest::BuildRecording;
using rectest::Event;

namespace {

std::vector<Event> SomeEvents() {
  return {{0, "MUXA#Max"},
          {1500, "ima" + qvtest::Le16(100) + qvtest::Le16(97) + "xx"},
          {1500, qvtest::Le16(3) + qvtest::Le16(65535) + "End_Data"},
          {4'000'123, qvtest::MaximaFrame(90, 91, 92, 93)},
          {4'100'000, std::string("\0\xff\r\n", 4)}};
}

// The state after feeding the first `n` events, one receive event each.
std::unique_ptr<TMeasurement> StateAfter(const std::vector<Event>& events, std::size_t n) {
  auto state = std::make_unique<TMeasurement>();
  RecordFeeder feeder(*state);
  for (std::size_t i = 0; i < n; ++i) (void)feeder.Feed(events[i].bytes);
  return state;
}

}  // namespace

TEST(RecordingFormat, HeaderAndRecordsRoundTrip) {
  Header h;
  h.start_utc_us = 1'796'738'592'123'456;
  h.line = {19200, 7, Parity::kEven, StopBits::kTwo, FlowControl::kHardware};
  const auto events = SomeEvents();
  const std::string file = BuildRecording(events, h);
  EXPECT_TRUE(file.starts_with(kMagic));
  std::size_t payload = 0;
  for (const auto& e : events) payload += e.bytes.size();
  EXPECT_EQ(file.size(), kHeaderSize + events.size() * kRecordHeaderSize + payload);

  const ReadResult r = ParseRecording(file, "a.qvrec");
  ASSERT_TRUE(r.recording) << r.error;
  EXPECT_EQ(r.recording->kind, Recording::Kind::kRecording);
  EXPECT_EQ(r.recording->header, h);
  EXPECT_FALSE(r.recording->damaged_at);
  ASSERT_EQ(r.recording->records.size(), events.size());
  for (std::size_t i = 0; i < events.size(); ++i) {
    EXPECT_EQ(r.recording->records[i].time_us, events[i].time_us);
    EXPECT_EQ(r.recording->BytesOf(r.recording->records[i]), events[i].bytes);
  }
  EXPECT_EQ(r.recording->DurationUs(), 4'100'000u);
  EXPECT_EQ(Describe(h.line), "19200 7E2, RTS/CTS flow control");
}

TEST(RecordingFormat, LittleEndianLayoutIsFixed) {
  Header h;
  h.start_utc_us = 0x0102030405060708;
  std::string file = EncodeHeader(h);
  AppendRecord(file, 0x1122334455667788ull, "ab");
  const std::string expected = std::string(kMagic) + std::string("\x01\x00\x1d\x00", 4) +
                               "\x08\x07\x06\x05\x04\x03\x02\x01" + std::string("\x00\xe1\x00\x00", 4) +
                               std::string("\x08\x00\x00\x00", 4) + "\x88\x77\x66\x55\x44\x33\x22\x11" +
                               std::string("\x02\x00\x00\x00", 4) + "ab";
  EXPECT_EQ(qvtest::Hex(file), qvtest::Hex(expected));
}

TEST(RecordingFormat, RawCapturesAreChunkedAtTheLineRate) {
  std::string raw;
  for (int i = 0; i < 10; ++i) raw += qvtest::MaximaFrame(i, 2 * i, 3 * i, 4 * i);  // 270 bytes
  const ReadResult r = ParseRecording(raw, "cap.bin");
  ASSERT_TRUE(r.recording) << r.error;
  EXPECT_EQ(r.recording->kind, Recording::Kind::kRawCapture);
  EXPECT_FALSE(r.recording->header);
  ASSERT_EQ(r.recording->records.size(), 5u);
  EXPECT_EQ(r.recording->records[4].size, 270u - 4 * kRawChunk);
  EXPECT_EQ(r.recording->records[1].time_us, 64u * 1'000'000 / 5760);
  EXPECT_EQ(r.recording->bytes, raw);
  // A file that only begins like the magic is a capture too.
  const auto partial = ParseRecording(kMagic.substr(0, 5), "p");
  ASSERT_TRUE(partial.recording);
  EXPECT_EQ(partial.recording->kind, Recording::Kind::kRawCapture);
}

// Every length of the file from the end of the header on: the whole records
// are read, a cut one is reported with its offset, and decoding what was read
// gives the state the whole records give.
TEST(RecordingFormat, FileCutAtEveryByteReadsItsWholeRecords) {
  const auto events = SomeEvents();
  const std::string file = BuildRecording(events);
  std::vector<std::size_t> ends;  // offset after each record
  std::size_t at = kHeaderSize;
  for (const auto& e : events) ends.push_back(at += kRecordHeaderSize + e.bytes.size());

  for (std::size_t len = kHeaderSize; len <= file.size(); ++len) {
    const ReadResult r = ParseRecording(std::string_view(file).substr(0, len), "cut.qvrec");
    ASSERT_TRUE(r.recording) << len << ": " << r.error;
    const std::size_t whole = static_cast<std::size_t>(std::upper_bound(ends.begin(), ends.end(), len) - ends.begin());
    ASSERT_EQ(r.recording->records.size(), whole) << len;
    const std::size_t boundary = whole == 0 ? kHeaderSize : ends[whole - 1];
    if (len == boundary) {
      EXPECT_FALSE(r.recording->damaged_at) << len;
    } else {
      ASSERT_TRUE(r.recording->damaged_at) << len;
      EXPECT_EQ(*r.recording->damaged_at, boundary) << len;
      EXPECT_NE(r.recording->damage.find("cut.qvrec"), std::string::npos);
      EXPECT_NE(r.recording->damage.find("byte " + std::to_string(boundary)), std::string::npos) << r.recording->damage;
    }
    auto state = std::make_unique<TMeasurement>();
    RecordFeeder feeder(*state);
    for (const auto& rec : r.recording->records) (void)feeder.Feed(r.recording->BytesOf(rec));
    rectest::ExpectSameState(*state, *StateAfter(events, whole), "length " + std::to_string(len));
  }
}

TEST(RecordingFormat, DamagedRecordsEndTheReadablePart) {
  std::string back = BuildRecording({{500, "ab"}, {400, "cd"}, {600, "ef"}});
  const auto r1 = ParseRecording(back, "b.qvrec");
  ASSERT_TRUE(r1.recording);
  EXPECT_EQ(r1.recording->records.size(), 1u);
  EXPECT_EQ(r1.recording->damaged_at, kHeaderSize + kRecordHeaderSize + 2);
  EXPECT_NE(r1.recording->damage.find("backwards"), std::string::npos);

  std::string huge = BuildRecording({{0, "ab"}});
  AppendRecord(huge, 1, "x");
  huge[kHeaderSize + kRecordHeaderSize + 2 + 8 + 3] = '\x7f';  // byte count far above the limit
  const auto r2 = ParseRecording(huge, "h.qvrec");
  ASSERT_TRUE(r2.recording);
  EXPECT_EQ(r2.recording->records.size(), 1u);
  EXPECT_NE(r2.recording->damage.find("too large"), std::string::npos);
}

TEST(RecordingFormat, UnreadableFilesGetAMessageNamingTheFile) {
  EXPECT_NE(ParseRecording("", "empty.bin").error.find("empty.bin is empty"), std::string::npos);

  std::string v2 = EncodeHeader({});
  v2[kMagic.size()] = 2;
  const auto r = ParseRecording(v2, "new.qvrec");
  EXPECT_FALSE(r.recording);
  EXPECT_NE(r.error.find("new.qvrec"), std::string::npos);
  EXPECT_NE(r.error.find("version 2 is not supported"), std::string::npos) << r.error;

  const std::string good = EncodeHeader({});
  for (std::size_t len = kMagic.size(); len < kHeaderSize; ++len) {
    const auto cut = ParseRecording(good.substr(0, len), "h.qvrec");
    EXPECT_FALSE(cut.recording) << len;
    EXPECT_NE(cut.error.find("h.qvrec is not a readable recording"), std::string::npos) << cut.error;
  }
  for (const std::size_t field :
       {kHeaderSize - 5, kHeaderSize - 4, kHeaderSize - 3, kHeaderSize - 2, kHeaderSize - 1}) {
    std::string bad = good;
    bad[field] = '\x09';
    if (field == kHeaderSize - 5) bad.replace(kHeaderSize - 8, 4, std::string(4, '\0'));  // baud 0
    EXPECT_FALSE(ParseRecording(bad, "x").recording) << field;
  }
  std::string small = good;
  small[kMagic.size() + 2] = 10;
  EXPECT_NE(ParseRecording(small, "s").error.find("too small"), std::string::npos);
}

TEST(RecordingFormat, LongerHeadersOfTheSameVersionAreSkipped) {
  std::string file = EncodeHeader({});
  file[kMagic.size() + 2] = static_cast<char>(kHeaderSize + 4);
  file += "xtra";
  AppendRecord(file, 7, "hello");
  const auto r = ParseRecording(file, "x");
  ASSERT_TRUE(r.recording) << r.error;
  ASSERT_EQ(r.recording->records.size(), 1u);
  EXPECT_EQ(r.recording->BytesOf(r.recording->records[0]), "hello");
}

TEST(RecordingFormat, ReadingFilesLeavesThemAlone) {
  qvtest::ScratchDir d;
  const std::string file = BuildRecording(SomeEvents()).substr(0, kHeaderSize + 15);
  qvtest::WriteFile(d / "cut.qvrec", file);
  ::chmod((d / "cut.qvrec").c_str(), 0444);
  const auto r = ReadRecording(d / "cut.qvrec");
  ASSERT_TRUE(r.recording) << r.error;
  EXPECT_TRUE(r.recording->damaged_at);
  EXPECT_EQ(qvtest::ReadFile(d / "cut.qvrec"), file);

  EXPECT_NE(ReadRecording(d / "missing").error.find("cannot read " + (d / "missing").string()), std::string::npos);
  EXPECT_NE(ReadRecording(d.path()).error.find("Is a directory"), std::string::npos);
}
