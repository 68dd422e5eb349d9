#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/DecoderTestSupport.h"
#include "RecordingFormat.h"
#include "support/TestEnv.h"

using qvtest::MaximaFrame;

namespace {

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the built tool with a shell command line of arguments.
ToolRun Tool(const qvtest::ScratchDir& dir, const std::string& args) {
  const std::string cmd = std::string("'") + QV_DECODE_BIN + "' " + args + " >'" + (dir / "out").string() + "' 2>'" +
                          (dir / "err").string() + "'";
  const int raw = std::system(cmd.c_str());
  ToolRun r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = qvtest::ReadFile(dir / "out");
  r.err = qvtest::ReadFile(dir / "err");
  return r;
}

class DecodeTool : public ::testing::Test {
 protected:
  void SetUp() override {
    // Two maxima frames of 27 bytes each: 54 bytes.
    qvtest::WriteFile(dir / "cap", MaximaFrame(10000, 200, 1, 0) + MaximaFrame(0x0102, 3, 4, 5));
    qvtest::WriteFile(dir / "empty", "");
    std::string v9 = qv::rec::EncodeHeader({});
    v9[qv::rec::kMagic.size()] = 9;
    qvtest::WriteFile(dir / "v9.qvrec", v9);
  }
  std::string Cap() const { return "'" + (dir / "cap").string() + "'"; }
  qvtest::ScratchDir dir;
};

TEST_F(DecodeTool, BadCommandLinesAndFilesExitWithStatus2) {
  for (const std::string& args : std::vector<std::string>{
           "", "--chunk 0 " + Cap(), "--chunk x " + Cap(), "--chunk -3 " + Cap(), "--chunks 3,0 " + Cap(),
           "--chunks 3, " + Cap(), "--chunk " + Cap(), "--frobnicate " + Cap(), "'" + (dir / "missing").string() + "'",
           "'" + dir.path().string() + "'", Cap() + " " + Cap(), "--reference 5 " + Cap(), "--reference " + Cap(),
           "--csv --state " + Cap(), "'" + (dir / "empty").string() + "'", "'" + (dir / "v9.qvrec").string() + "'"}) {
    const ToolRun r = Tool(dir, args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(r.out, "") << args;
    ASSERT_FALSE(r.err.empty()) << args;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << args;  // one line
  }
}

TEST_F(DecodeTool, HelpAndVersion) {
  const ToolRun help = Tool(dir, "--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--chunks"), std::string::npos);
  EXPECT_NE(help.out.find("--state"), std::string::npos);
  const ToolRun version = Tool(dir, "--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("quorvel-decode ") + QV_PROJECT_VERSION + "\n");
}

TEST_F(DecodeTool, DefaultOutputListsFramesAndWrites) {
  // One event of 54 bytes: the first frame is cut, the second waits, "b" is sent.
  ToolRun r = Tool(dir, Cap());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "frame 1: maxima 10000 200 1 0\nwrite \"b\"\n");
  // Events of 27 bytes: each brings one whole frame.
  r = Tool(dir, "--chunk=27 " + Cap());
  EXPECT_EQ(r.out, "frame 1: maxima 10000 200 1 0\nframe 2: maxima 258 3 4 5\n");
}

TEST_F(DecodeTool, ChunkListIsTakenInTurnAndTheRestFormsOneEvent) {
  // 30 + 24: the first event holds frame 1 and only "MUXA#Max" of the next tag.
  EXPECT_EQ(Tool(dir, "--chunks 30 " + Cap()).out, "frame 1: maxima 10000 200 1 0\nframe 2: maxima 258 3 4 5\n");
  // 10 + 44: the rest event holds both frames, so only one is cut.
  EXPECT_EQ(Tool(dir, "--chunks 10 " + Cap()).out, "frame 1: maxima 10000 200 1 0\nwrite \"b\"\n");
  // 20, 15, then the file ends 19 bytes into the third size.
  EXPECT_EQ(Tool(dir, "--chunks 20,15,100,5 " + Cap()).out,
            "frame 1: maxima 10000 200 1 0\nframe 2: maxima 258 3 4 5\n");
  // 1 byte, then 53: one frame.
  EXPECT_EQ(Tool(dir, "--chunks=1 " + Cap()).out, "frame 1: maxima 10000 200 1 0\nwrite \"b\"\n");
}

TEST_F(DecodeTool, StatePrintsTheFinalMeasurementAsJson) {
  qvtest::WriteFile(dir / "cap", MaximaFrame(10000, 200, 1, 0) + MaximaFrame(0x0102, 3, 4, 5) + "MU\"");
  const ToolRun r = Tool(dir, "--state " + Cap());
  EXPECT_EQ(r.status, 0);
  const std::string& j = r.out;
  ASSERT_EQ(j.rfind("{\"MAXIMA\":[10000,200,1,0],\"SAMPLE_COUNT\":0,\"CHANNEL_DATA\":[[9900,0,", 0), 0u) << j;
  const std::string second = MaximaFrame(0x0102, 3, 4, 5) + "MU\"";
  EXPECT_NE(j.find("],[100,0,"), std::string::npos);
  EXPECT_NE(j.find("],[-99,0,"), std::string::npos);
  EXPECT_NE(j.find("\"INSTRING\":\"" + qvtest::Hex(second) + "\""), std::string::npos);
  const std::string first = MaximaFrame(10000, 200, 1, 0);
  EXPECT_NE(j.find("\"DATASTRING\":\"" + qvtest::Hex(first) + "\""), std::string::npos);
  EXPECT_NE(j.find("\"INBUFFER\":\"" + qvtest::Hex(first) + std::string(2 * (1001 - first.size()), '0') + "\""),
            std::string::npos);
  EXPECT_EQ(j.substr(j.find(",\"frames\"")), ",\"frames\":1,\"writes\":[\"b\"]}\n");
  // 4 histories of 301 entries: 1204 numbers between the brackets of CHANNEL_DATA.
  const std::size_t from = j.find("\"CHANNEL_DATA\":"), to = j.find("]],", from);
  EXPECT_EQ(std::count(j.begin() + from, j.begin() + to, ','), 1203);
}

// A recording is replayed in its own receive events; --chunk regroups its bytes.
TEST_F(DecodeTool, RecordingsAreReadInTheirOwnEvents) {
  std::string rec = qv::rec::EncodeHeader({});
  qv::rec::AppendRecord(rec, 0, MaximaFrame(10000, 200, 1, 0).substr(0, 30 - 3));
  qv::rec::AppendRecord(rec, 1'250'000, MaximaFrame(0x0102, 3, 4, 5));
  qvtest::WriteFile(dir / "r.qvrec", rec);
  const std::string file = "'" + (dir / "r.qvrec").string() + "'";
  ToolRun r = Tool(dir, file);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "frame 1: maxima 10000 200 1 0\nframe 2: maxima 258 3 4 5\n");
  EXPECT_EQ(r.err, "");
  r = Tool(dir, "--chunk 54 " + file);
  EXPECT_EQ(r.out, "frame 1: maxima 10000 200 1 0\nwrite \"b\"\n");

  // Cut inside the second record: the first is decoded, a warning says where it stopped.
  qvtest::WriteFile(dir / "r.qvrec", rec.substr(0, rec.size() - 1));
  r = Tool(dir, file);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "frame 1: maxima 10000 200 1 0\n");
  const std::size_t second = qv::rec::kHeaderSize + qv::rec::kRecordHeaderSize + 27;
  EXPECT_NE(r.err.find("warning: " + (dir / "r.qvrec").string()), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("at byte " + std::to_string(second)), std::string::npos) << r.err;
}

TEST_F(DecodeTool, CsvOfACaptureDrainsEveryFrame) {
  // The raw capture is one 54-byte event: the second frame is drained.
  ToolRun r = Tool(dir, "--csv " + Cap());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "time_s,value_1,value_2,value_3,value_4,mbar_1,mbar_2,mbar_3,mbar_4,diff_1,diff_2,diff_3,diff_4\r\n"
            "0.000000,10000,200,1,0,-9900,-100,99,100,-7449.75,2350.25,2549.25,2550.25\r\n"
            "0.000000,258,3,4,5,-158,97,96,95,-190.50,64.50,63.50,62.50\r\n");
  r = Tool(dir, "--csv --reference=2 " + Cap());
  EXPECT_NE(r.out.find("\r\n0.000000,258,3,4,5,-158,97,96,95,-255.00,0.00,-1.00,-2.00\r\n"), std::string::npos)
      << r.out;
}

}  // namespace
