#include <gtest/gtest.h>

#include <sys/resource.h>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "SnapshotCsv.h"
#include "support/TestEnv.h"

namespace qv::workshop {
namespace {

// Splits RFC 4180 text into records of fields.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
  std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        rows.back().back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        rows.back().back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      rows.back().emplace_back();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      rows.emplace_back(1);
      ++i;
    } else {
      rows.back().back() += c;
    }
  }
  if (rows.back().size() == 1 && rows.back()[0].empty()) rows.pop_back();
  return rows;
}

Reading Example() {
  Reading r;
  r.status = Status::Live;
  const double abs[] = {-250, -240, -260, -245}, diff[] = {-1.25, 8.75, -11.25, 3.75}, sc[] = {0.84, 1, 0, 2.25};
  for (int c = 0; c < 4; ++c) r.channels[c] = {abs[c], diff[c], sc[c], Band::Inside, false};
  r.channels[2].band = Band::Near;
  r.reference = -248.75;
  r.worstChannel = 2;
  return r;
}

const auto kWhen = std::chrono::system_clock::from_time_t(1'800'000'000);  // 2027-01-15T08:00:00Z

class SnapshotCsv : public ::testing::Test {
 protected:
  void SetUp() override {
    old_tz_ = std::getenv("TZ") ? std::getenv("TZ") : "";
    setenv("TZ", "CET-1", 1);
    tzset();
  }
  void TearDown() override {
    old_tz_.empty() ? unsetenv("TZ") : setenv("TZ", old_tz_.c_str(), 1);
    tzset();
  }
  qvtest::ScratchDir dir;
  std::string old_tz_;
};

TEST_F(SnapshotCsv, NewFileGetsTheHeaderThenOneLinePerSnapshot) {
  const auto file = dir / "snapshots.csv";
  ASSERT_EQ(AppendSnapshotCsv(file, Example(), kWhen), "");
  Reading second = Example();
  second.unit = Unit::KiloPascal;
  second.channels[0].difference = -0.125;
  second.inSync = true;
  ASSERT_EQ(AppendSnapshotCsv(file, second, kWhen + std::chrono::seconds(61)), "");
  const std::string text = qvtest::ReadFile(file);
  EXPECT_TRUE(text.starts_with(SnapshotCsvHeader()));
  const auto rows = ParseCsv(text);
  ASSERT_EQ(rows.size(), 3u);
  for (const auto& row : rows) EXPECT_EQ(row.size(), rows[0].size());
  EXPECT_EQ(rows[0][0], "time");
  EXPECT_EQ(rows[0].back(), "verdict");
  const std::vector<std::string> first = {"2027-01-15T09:00:00+01:00",
                                          "mBar",
                                          "mean",
                                          "-248.8",
                                          "10.0",
                                          "-250",
                                          "-240",
                                          "-260",
                                          "-245",
                                          "-1",
                                          "+9",
                                          "-11",
                                          "+4",
                                          "0.8",
                                          "1.0",
                                          "0.0",
                                          "2.3",
                                          "no",
                                          "Cyl. 3: -11 mBar"};
  EXPECT_EQ(rows[1], first);
  EXPECT_EQ(rows[2][0], "2027-01-15T09:01:01+01:00");
  EXPECT_EQ(rows[2][1], "kPa");
  EXPECT_EQ(rows[2][5], "-250.0");
  EXPECT_EQ(rows[2][9], "-0.1");
  EXPECT_EQ(rows[2].back(), "IN SYNC");
}

TEST_F(SnapshotCsv, PairModeNoDataAndQuotedFields) {
  Reading r = Example();
  r.pairMode = true;
  r.channelCount = 2;
  r.zeroed = true;
  r.referenceKind = ReferenceKind::Cylinder;
  r.referenceCylinder = 3;
  const auto row = ParseCsv(SnapshotCsvLine(r, kWhen)).at(0);
  ASSERT_EQ(row.size(), 19u);
  EXPECT_EQ(row[2], "pairs 1+2/3+4, cylinder 4");  // a comma inside: quoted in the file
  EXPECT_NE(SnapshotCsvLine(r, kWhen).find("\"pairs 1+2/3+4, cylinder 4\""), std::string::npos);
  EXPECT_EQ(row[5], "-250");
  EXPECT_EQ(row[7], "");
  EXPECT_EQ(row[8], "");
  EXPECT_EQ(row[12], "");
  EXPECT_EQ(row[17], "yes");

  Reading none;
  const auto empty = ParseCsv(SnapshotCsvLine(none, kWhen)).at(0);
  ASSERT_EQ(empty.size(), 19u);
  EXPECT_EQ(empty[5], "");
  EXPECT_EQ(empty[9], "");
  EXPECT_EQ(empty.back(), "No scan");
}

TEST_F(SnapshotCsv, PictureNamesFromTheLocalTimeNeverReplaceAnEarlierOne) {
  const auto first = NewSnapshotPath(dir.path(), kWhen);
  EXPECT_EQ(first, dir / "quorvel-2027-01-15-090000.png");
  qvtest::WriteFile(first, "png");
  EXPECT_EQ(NewSnapshotPath(dir.path(), kWhen), dir / "quorvel-2027-01-15-090000-2.png");
  qvtest::WriteFile(dir / "quorvel-2027-01-15-090000-2.png", "png");
  EXPECT_EQ(NewSnapshotPath(dir.path(), kWhen), dir / "quorvel-2027-01-15-090000-3.png");
  EXPECT_EQ(NewSnapshotPath(dir.path(), kWhen + std::chrono::seconds(1)), dir / "quorvel-2027-01-15-090001.png");
}

TEST_F(SnapshotCsv, ALastLineWithoutItsEndGetsOneFirst) {
  const auto file = dir / "s.csv";
  qvtest::WriteFile(file, SnapshotCsvHeader() + "hand,written");
  ASSERT_EQ(AppendSnapshotCsv(file, Example(), kWhen), "");
  const auto rows = ParseCsv(qvtest::ReadFile(file));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1], (std::vector<std::string>{"hand", "written"}));
  EXPECT_EQ(rows[2][1], "mBar");
}

TEST_F(SnapshotCsv, FailuresSayWhereAndWhy) {
  const std::string missing = AppendSnapshotCsv(dir / "no" / "such" / "s.csv", Example(), kWhen);
  EXPECT_NE(missing.find("no/such/s.csv"), std::string::npos) << missing;
  EXPECT_FALSE(std::filesystem::exists(dir / "no"));
  EXPECT_NE(AppendSnapshotCsv("/dev/full", Example(), kWhen), "");
}

TEST_F(SnapshotCsv, AWriteCutShortLosesNothingAlreadySaved) {
  const auto file = dir / "s.csv";
  ASSERT_EQ(AppendSnapshotCsv(file, Example(), kWhen), "");
  const std::string before = qvtest::ReadFile(file);
  // The file may grow by ten bytes only: the line is cut short by the system.
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = before.size() + 10;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string err = AppendSnapshotCsv(file, Example(), kWhen);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_NE(err, "");
  EXPECT_EQ(qvtest::ReadFile(file), before);
  // And the next snapshot appends as usual.
  EXPECT_EQ(AppendSnapshotCsv(file, Example(), kWhen), "");
  EXPECT_EQ(ParseCsv(qvtest::ReadFile(file)).size(), 3u);
}

}  // namespace
}  // namespace qv::workshop
