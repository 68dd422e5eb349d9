// The built simulator, run as a process, on a real pseudo-terminal.
#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>

#include "FrameEncoder.h"
#include "FrameLog.h"
#include "PortAnnouncement.h"
#include "SimProcess.h"
#include "support/TestEnv.h"

using namespace simtest;
namespace fs = std::filesystem;

namespace {

std::string Reencode(const std::vector<qv::sim::LoggedFrame>& log) {
  std::string out;
  for (const auto& f : log) {
    std::string bytes =
        f.kind == qv::sim::FrameKind::kMaxima
            ? qv::sim::EncodeMaxima(f.maxima)
            : qv::sim::EncodeChannel(static_cast<std::uint8_t>(f.channel_byte), f.samples, f.count_text);
    if (!f.end) bytes.resize(bytes.size() - qv::sim::kEndTag.size());
    out += bytes;
  }
  return out;
}

std::size_t LoggedBytes(const fs::path& log) {
  const auto frames = qv::sim::ParseLog(qvtest::ReadFile(log));
  return frames.empty() ? 0 : frames.back().offset + frames.back().size;
}

}  // namespace

TEST(SimProcess, ServesTheProtocolOnAPseudoTerminal) {
  qvtest::ScratchDir dir;
  const auto link = dir / "synchrontester";
  const auto log_path = dir / "frames.log";
  SimProcess sim({"--seed", "3", "--stats", "--log", log_path.string(), "--link", link.string()});
  const std::string path = sim.ReadStdoutLine();
  ASSERT_TRUE(path.starts_with("/dev/pts/")) << path << sim.Stderr();
  const auto announced = qv::sim::AnnouncementPath(sim.Pid());
  EXPECT_EQ(fs::read_symlink(announced).string(), path);
  EXPECT_EQ(fs::read_symlink(link).string(), path);

  std::string received;
  {
    DeviceLine line(path);
    EXPECT_EQ(line.ReadFor(milliseconds(300)), "");  // silent until asked
    line.Write("b");
    std::string got = line.ReadUntil("End_Data", 3);
    EXPECT_NE(got.find("MUXA#Maxima"), std::string::npos);
    line.Write("1");
    got += line.ReadUntil("MUXA#Channel");
    const auto at = got.find("MUXA#Channel");
    ASSERT_NE(at, std::string::npos);
    got += line.ReadUntil("End_Data", 1);
    EXPECT_EQ(got[at + 12], '\0');
    EXPECT_EQ(got.substr(at + 20, 3), "260");
    line.Write("a");
    // The frame on the line is finished: wait until all that was logged has arrived.
    got += line.Drain(milliseconds(500));
    const auto patience = std::chrono::steady_clock::now() + kPatience;
    while (received.size() + got.size() < LoggedBytes(log_path) && std::chrono::steady_clock::now() < patience) {
      got += line.ReadFor(milliseconds(100));
    }
    EXPECT_TRUE(got.ends_with("End_Data"));
    EXPECT_EQ(line.ReadFor(milliseconds(500)), "");  // nothing after the stop
    received += got;
  }
  {
    // The program closes the port and opens it again: the device is still there.
    DeviceLine line(path);
    line.Write("b");
    std::string got = line.ReadUntil("End_Data", 2);
    line.Write("a");
    got += line.Drain(milliseconds(500));
    EXPECT_TRUE(got.ends_with("End_Data"));
    EXPECT_GE(got.size(), 2 * qv::sim::kMaximaFrameSize);
    received += got;
  }

  sim.Signal(SIGTERM);
  EXPECT_EQ(sim.Finish(), 0) << sim.Stderr();
  EXPECT_FALSE(fs::exists(fs::symlink_status(announced)));
  EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
  EXPECT_NE(sim.Stdout().find("\nmaxima frames: "), std::string::npos);
  EXPECT_NE(sim.Stdout().find("\nchannel records: "), std::string::npos);
  // What the log says was sent is what arrived, byte for byte.
  const auto log = qv::sim::ParseLog(qvtest::ReadFile(log_path));
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(Reencode(log), received);
}

TEST(SimProcess, InterruptEndsItCleanly) {
  SimProcess sim({});
  const std::string path = sim.ReadStdoutLine();
  ASSERT_FALSE(path.empty()) << sim.Stderr();
  const auto announced = qv::sim::AnnouncementPath(sim.Pid());
  EXPECT_TRUE(fs::is_symlink(announced));
  sim.Signal(SIGINT);
  EXPECT_EQ(sim.Finish(), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(announced)));
}

TEST(SimProcess, ArgumentsAndFailures) {
  const auto bad = RunSim({"--rpm", "5"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.out, "");
  EXPECT_TRUE(bad.err.starts_with("quorvel-sim: ")) << bad.err;
  EXPECT_EQ(bad.err.find('\n'), bad.err.size() - 1);  // one line
  EXPECT_EQ(RunSim({"--frobnicate"}).status, 2);

  const auto help = RunSim({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("Usage: quorvel-sim"));
  const auto version = RunSim({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(version.out.starts_with("quorvel-sim ")) << version.out;

  // A file where the extra link should go is not replaced; nothing is left announced.
  qvtest::ScratchDir dir;
  qvtest::WriteFile(dir / "taken", "keep me");
  const auto taken = RunSim({"--link", (dir / "taken").string()});
  EXPECT_EQ(taken.status, 1);
  EXPECT_EQ(taken.out, "");
  EXPECT_EQ(qvtest::ReadFile(dir / "taken"), "keep me");
  const auto ports = qv::sim::AnnouncementPath(1).parent_path();
  for (const auto& e : fs::directory_iterator(ports)) ADD_FAILURE() << "left behind: " << e.path();

  const auto no_capture = RunSim({"--replay", (dir / "missing.bin").string()});
  EXPECT_EQ(no_capture.status, 1);
  EXPECT_NE(no_capture.err.find("missing.bin"), std::string::npos);
}
