// The CSV export: its format, the references, and every maxima frame sent
// coming out as one line, however the bytes were grouped into receive events.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

#include "CsvExport.h"
#include "FrameEncoder.h"
#include "RecordingTestSupport.h"

using namespace qv::rec;

namespace {

std::vector<std::string> Lines(const std::string& csv) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (std::size_t at = csv.find("\r\n"); at != std::string::npos; at = csv.find("\r\n", from)) {
    lines.push_back(csv.substr(from, at - from));
    from = at + 2;
  }
  EXPECT_EQ(from, csv.size()) << "the CSV must end with CR LF";
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> out;
  std::stringstream s(line);
  for (std::string f; std::getline(s, f, ',');) out.push_back(f);
  return out;
}

Recording Parse(const std::string& file) {
  ReadResult r = ParseRecording(file, "t.qvrec");
  EXPECT_TRUE(r.recording) << r.error;
  return r.recording ? std::move(*r.recording) : Recording{};
}

}  // namespace

TEST(CsvExport, LinesAndReferences) {
  EXPECT_EQ(CsvHeader(),
            "time_s,value_1,value_2,value_3,value_4,mbar_1,mbar_2,mbar_3,mbar_4,diff_1,diff_2,diff_3,diff_4\r\n");
  std::string out;
  AppendCsvLine(out, 12'000'045, {90, 95, 101, 99}, {});  // D = 10 5 -1 1, mean 3.75
  EXPECT_EQ(out, "12.000045,90,95,101,99,10,5,-1,1,6.25,1.25,-4.75,-2.75\r\n");
  out.clear();
  AppendCsvLine(out, 999'999, {90, 95, 101, 99}, {Reference::Kind::kMidpoint, 0});  // midpoint 4.5
  EXPECT_EQ(out, "0.999999,90,95,101,99,10,5,-1,1,5.50,0.50,-5.50,-3.50\r\n");
  out.clear();
  AppendCsvLine(out, 0, {90, 95, 101, 65535}, *ParseReference("3"));  // cylinder 3: D = -1
  EXPECT_EQ(out, "0.000000,90,95,101,65535,10,5,-1,-65435,11.00,6.00,0.00,-65434.00\r\n");
  // A pair's mean: 1+2 is 7.5, 3+4 is 0; either cylinder names its pair.
  out.clear();
  AppendCsvLine(out, 0, {90, 95, 101, 99}, *ParseReference("1+2"));
  AppendCsvLine(out, 0, {90, 95, 101, 99}, {Reference::Kind::kPair, 1});
  AppendCsvLine(out, 0, {90, 95, 101, 99}, {Reference::Kind::kPair, 3});
  EXPECT_EQ(out,
            "0.000000,90,95,101,99,10,5,-1,1,2.50,-2.50,-8.50,-6.50\r\n"
            "0.000000,90,95,101,99,10,5,-1,1,2.50,-2.50,-8.50,-6.50\r\n"
            "0.000000,90,95,101,99,10,5,-1,1,10.00,5.00,-1.00,1.00\r\n");

  EXPECT_EQ(ParseReference("mean")->kind, Reference::Kind::kMean);
  EXPECT_EQ(ParseReference("midpoint")->kind, Reference::Kind::kMidpoint);
  EXPECT_EQ(ParseReference("1")->cylinder, 0);
  EXPECT_EQ(ParseReference("4")->cylinder, 3);
  EXPECT_EQ(ParseReference("3+4"), (Reference{Reference::Kind::kPair, 2}));
  for (const char* bad : {"", "0", "5", "12", "Mean", "mid", "2+3", "1+", "+4", "4+3"})
    EXPECT_FALSE(ParseReference(bad)) << bad;
}

// Frames from the simulator's encoder, mixed with channel records and noise,
// cut into receive events of random sizes: every maxima frame gives its line,
// in order, stamped with the time of the event that brought its last byte.
TEST(CsvExport, EveryMaximaFrameSentGivesItsLine) {
  std::mt19937 rng(7);
  std::string stream;
  std::vector<qv::sim::Maxima> sent;
  std::vector<std::size_t> ends;  // stream offset after each maxima frame
  for (int i = 0; i < 300; ++i) {
    if (i % 17 == 5) stream += "noise without a tag";
    if (i % 23 == 11)
      stream += qv::sim::EncodeChannel(static_cast<std::uint8_t>(i % 4), std::vector<std::uint16_t>(40, 7));
    const qv::sim::Maxima m{static_cast<std::uint16_t>(rng() % 200), static_cast<std::uint16_t>(rng() % 200),
                            static_cast<std::uint16_t>(rng() % 200), static_cast<std::uint16_t>(rng() % 200)};
    stream += qv::sim::EncodeMaxima(m);
    sent.push_back(m);
    ends.push_back(stream.size());
  }
  for (const std::size_t max_event : {1u, 7u, 64u, 300u, 5000u}) {
    std::vector<rectest::Event> events;
    std::vector<std::size_t> event_ends;
    for (std::size_t at = 0; at < stream.size();) {
      const std::size_t n = std::min<std::size_t>(1 + rng() % max_event, stream.size() - at);
      events.push_back({1000 * events.size(), stream.substr(at, n)});
      event_ends.push_back(at += n);
    }
    const auto lines = Lines(ExportCsv(Parse(rectest::BuildRecording(events)), {}));
    ASSERT_EQ(lines.size(), sent.size() + 1) << max_event;
    for (std::size_t k = 0; k < sent.size(); ++k) {
      const auto f = Fields(lines[k + 1]);
      ASSERT_EQ(f.size(), 13u);
      for (std::size_t c = 0; c < 4; ++c) {
        EXPECT_EQ(f[1 + c], std::to_string(sent[k][c])) << k;
        EXPECT_EQ(f[5 + c], std::to_string(100 - sent[k][c])) << k;
      }
      const std::size_t carrying = static_cast<std::size_t>(
          std::lower_bound(event_ends.begin(), event_ends.end(), ends[k]) - event_ends.begin());
      EXPECT_EQ(std::llround(std::stod(f[0]) * 1e6), static_cast<long long>(carrying * 1000))
          << max_event << " frame " << k;
    }
  }
}

// Two whole frames in one last event: the second is cut only by draining.
TEST(CsvExport, FramesLeftWaitingAtTheEndAreDrained) {
  const std::string two = qv::sim::EncodeMaxima({1, 2, 3, 4}) + qv::sim::EncodeMaxima({5, 6, 7, 8}) +
                          qv::sim::EncodeMaxima({9, 10, 11, 12});
  const auto lines = Lines(ExportCsv(Parse(rectest::BuildRecording({{2'500'000, two}})), {}));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_TRUE(lines[1].starts_with("2.500000,1,2,3,4,"));
  EXPECT_TRUE(lines[3].starts_with("2.500000,9,10,11,12,"));
  // A raw capture gives the same frames, timed at the line rate.
  const auto raw = Lines(ExportCsv(Parse(two), {}));
  ASSERT_EQ(raw.size(), 4u);
  EXPECT_TRUE(raw[3].starts_with("0.011111,9,10,11,12,")) << raw[3];
}
