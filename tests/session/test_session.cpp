#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Measurement.h"
#include "Session.h"

using namespace qv::session;

namespace {

// Writes down everything it hears, in order.
struct Journal : Subscriber {
  void OnFrame(const Frame& f) override {
    frames.push_back(f);
    ASSERT_NE(f.state, nullptr);
    maximaSeen.push_back(f.state->MAXIMA[0]);
    if (onFrame) onFrame(f);
  }
  void OnState(const SessionState& s) override { states.push_back(s); }
  void OnBytes(std::string_view b) override { bytes += b; }
  std::vector<Frame> frames;
  std::vector<int> maximaSeen;
  std::vector<SessionState> states;
  std::string bytes;
  std::function<void(const Frame&)> onFrame;
};

qv::FrameReport MaximaReport() {
  qv::FrameReport r;
  r.maxima = qv::RecordOutcome::kDecoded;
  return r;
}

struct SessionTest : ::testing::Test {
  double now = 100.0;
  Session session{[this] { return now; }};
  TMeasurement state;
  Journal journal;
  void SetUp() override { session.Subscribe(journal); }
};

TEST_F(SessionTest, ASubscriberHearsTheStateAtOnceAndEveryChangeOnce) {
  ASSERT_EQ(journal.states.size(), 1u);
  EXPECT_EQ(journal.states[0].state, State::kIdle);
  session.ScanStarted("/dev/ttyUSB0");
  session.ScanStarted("/dev/ttyUSB0");  // no change, no call
  session.DeviceWaiting(true);
  session.DeviceWaiting(false);
  session.ScanStopped();
  session.ScanStopped();
  ASSERT_EQ(journal.states.size(), 5u);
  EXPECT_EQ(journal.states[1].state, State::kScanning);
  EXPECT_EQ(journal.states[1].source, (SourceInfo{SourceKind::kPort, "/dev/ttyUSB0"}));
  EXPECT_EQ(journal.states[2].state, State::kWaiting);
  EXPECT_EQ(journal.states[3].state, State::kScanning);
  EXPECT_EQ(journal.states[4].state, State::kIdle);
  EXPECT_FALSE(journal.states[4].Active());
}

TEST_F(SessionTest, FramesCarryTheReportTheClockAndTheState) {
  session.ScanStarted("COM1");
  state.MAXIMA = {10, 20, 30, 40};
  session.FrameDecoded(state, MaximaReport(), 1);
  now = 100.25;
  qv::FrameReport channelOnly;
  channelOnly.channel = qv::RecordOutcome::kDecoded;
  channelOnly.channel_number = 2;
  session.FrameDecoded(state, channelOnly, 1);
  ASSERT_EQ(journal.frames.size(), 2u);
  const Frame& a = journal.frames[0];
  EXPECT_EQ(a.sequence, 1u);
  EXPECT_DOUBLE_EQ(a.seconds, 100.0);
  EXPECT_TRUE(a.hasMaxima);
  EXPECT_EQ(a.maxima, (std::array<std::int32_t, 4>{10, 20, 30, 40}));
  EXPECT_EQ(a.channel, -1);
  EXPECT_TRUE(a.restart);  // the first frame of the scan
  const Frame& b = journal.frames[1];
  EXPECT_EQ(b.sequence, 2u);
  EXPECT_DOUBLE_EQ(b.seconds, 100.25);
  EXPECT_FALSE(b.hasMaxima);
  EXPECT_EQ(b.channel, 2);
  EXPECT_FALSE(b.restart);
  EXPECT_EQ(session.Last().sequence, 2u);
  EXPECT_EQ(session.Last().state, nullptr);  // nothing dangles after the call
}

TEST_F(SessionTest, ARestartFollowsEveryChangeOfSourceAJumpAndAPulledCable) {
  session.ScanStarted("COM1");
  session.FrameDecoded(state, MaximaReport(), 1);
  session.FrameDecoded(state, MaximaReport(), 2);
  session.DeviceWaiting(true);
  session.DeviceWaiting(false);
  session.FrameDecoded(state, MaximaReport(), 3);
  session.ScanStopped();
  double position = 0;
  session.ReplayStarted("/tmp/a.qvrec", [&position] { return position; });
  session.FrameDecoded(state, MaximaReport(), 1, 0.5);
  session.FrameDecoded(state, MaximaReport(), 2, 0.6);
  position = 7.0;
  session.ReplaySeeked(state, 40);
  session.FrameDecoded(state, MaximaReport(), 41, 7.1);
  std::vector<bool> restarts;
  for (const Frame& f : journal.frames) restarts.push_back(f.restart);
  EXPECT_EQ(restarts, (std::vector<bool>{true, false, true, true, false, true, false}));
  // The jump shows the state at the new place at once, at the new time.
  EXPECT_DOUBLE_EQ(journal.frames[5].seconds, 7.0);
  EXPECT_EQ(journal.frames[5].maximaFrames, 40u);
}

TEST_F(SessionTest, AReplaysTimeIsItsPositionAndItKeepsThePortOut) {
  double position = 3.5;
  session.ReplayStarted("/tmp/job.qvrec", [&position] { return position; });
  EXPECT_EQ(session.Current().state, State::kReplaying);
  EXPECT_EQ(session.Current().source, (SourceInfo{SourceKind::kReplay, "/tmp/job.qvrec"}));
  EXPECT_DOUBLE_EQ(session.Now(), 3.5);
  session.ScanStarted("COM1");  // refused: a replay never runs beside a scan
  EXPECT_EQ(session.Current().state, State::kReplaying);
  session.DeviceWaiting(true);
  EXPECT_EQ(session.Current().state, State::kReplaying);
  session.ReplayPaused(true);
  EXPECT_EQ(session.Current().state, State::kPaused);
  EXPECT_TRUE(session.Current().Active());
  session.ReplaySpeed(4.0);
  EXPECT_DOUBLE_EQ(session.Current().speed, 4.0);
  session.ReplayEnded();
  EXPECT_EQ(session.Current().state, State::kIdle);
  EXPECT_DOUBLE_EQ(session.Now(), 100.0);  // the port's clock again
  session.ReplayPaused(false);             // nothing to pause
  EXPECT_EQ(session.Current().state, State::kIdle);
}

TEST_F(SessionTest, SubscribersMayLeaveAndJoinWhileBeingNotified) {
  Journal second;
  Journal third;
  session.Subscribe(second);
  session.Subscribe(second);  // once only
  EXPECT_EQ(session.Subscribers(), 2u);
  // The first one drops the second and brings in the third on its first frame.
  journal.onFrame = [&](const Frame&) {
    session.Unsubscribe(second);
    session.Subscribe(third);
    journal.onFrame = nullptr;
  };
  session.FrameDecoded(state, MaximaReport(), 1);
  EXPECT_EQ(second.frames.size(), 0u);
  EXPECT_EQ(third.frames.size(), 0u);  // joined during the frame: hears the next one
  session.FrameDecoded(state, MaximaReport(), 2);
  EXPECT_EQ(journal.frames.size(), 2u);
  EXPECT_EQ(second.frames.size(), 0u);
  ASSERT_EQ(third.frames.size(), 1u);
  EXPECT_EQ(third.frames[0].sequence, 2u);
  EXPECT_EQ(session.Subscribers(), 2u);
}

TEST_F(SessionTest, BytesReachEverySubscriberAsRead) {
  Journal second;
  session.Subscribe(second);
  session.BytesRead(std::string_view("MUXA\0#", 6));
  session.BytesRead("End_Data");
  EXPECT_EQ(journal.bytes, std::string("MUXA\0#End_Data", 14));
  EXPECT_EQ(second.bytes, journal.bytes);
  session.Unsubscribe(journal);
  session.Unsubscribe(second);
  session.BytesRead("x");  // nobody listens: nothing happens
  EXPECT_EQ(session.Subscribers(), 0u);
}

}  // namespace
