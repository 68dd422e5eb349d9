#include <gtest/gtest.h>

#include <cmath>

#include "EngineGuard.h"
#include "GuardTexts.h"
#include "Measurement.h"
#include "Session.h"

using namespace qv::guard;
using qv::session::Session;

namespace {

qv::FrameReport Maxima() {
  qv::FrameReport r;
  r.maxima = qv::RecordOutcome::kDecoded;
  return r;
}

// A session on a fake clock with the guard subscribed; frames are scripted.
struct GuardTest : ::testing::Test {
  double now = 5000.0;
  Session session{[this] { return now; }};
  TMeasurement state;
  EngineGuard guard;
  std::uint64_t count = 0;
  void SetUp() override { session.Subscribe(guard); }

  // Frames every `step` seconds for `seconds`, each cylinder's D(c) from `d`
  // of the time since the start of this call.
  template <typename F>
  void Run(double seconds, F d, double step = 0.1) {
    const double start = now;
    const long n = std::lround(seconds / step);
    for (long i = 0; i < n; ++i) {
      const double t = static_cast<double>(i) * step;
      now = start + t;
      for (int c = 0; c < 4; ++c)
        state.MAXIMA[static_cast<std::size_t>(c)] = static_cast<std::int32_t>(std::lround(100 - d(t, c)));
      session.FrameDecoded(state, Maxima(), ++count);
    }
    now = start + seconds;
  }
  void Idle(double seconds) {
    Run(seconds, [](double, int c) { return -250.0 + (c % 2 ? 3 : -3); });
  }
};

}  // namespace

TEST_F(GuardTest, RunningTimeIsFramesArrivingInThisScan) {
  EXPECT_FALSE(guard.Active());
  Idle(10);  // frames without a scan are not this scan's
  EXPECT_DOUBLE_EQ(guard.RunningSeconds(), 0);
  session.ScanStarted("/dev/ttyUSB0");
  EXPECT_TRUE(guard.Active());
  Idle(30);
  EXPECT_NEAR(guard.RunningSeconds(), 29.9, 1e-6);
  // A pulled cable: the minute without frames is not running time, the scan goes on.
  session.DeviceWaiting(true);
  now += 60;
  session.DeviceWaiting(false);
  Idle(20);
  EXPECT_NEAR(guard.RunningSeconds(), 49.8, 1e-6);
  // Frames slower than the gap are never counted (only the 0.1 s to the first).
  Run(
      20, [](double, int) { return -250.0; }, 5.0);
  EXPECT_NEAR(guard.RunningSeconds(), 49.9, 1e-6);
  session.ScanStopped();
  EXPECT_FALSE(guard.Active());
  Idle(5);
  EXPECT_NEAR(guard.RunningSeconds(), 49.9, 1e-6);  // the last scan's, for a look back
  session.ScanStarted("/dev/ttyUSB0");
  EXPECT_DOUBLE_EQ(guard.RunningSeconds(), 0);  // a new scan starts from zero
}

TEST_F(GuardTest, TheNoticeComesAfterTheSetTimeAndCanBeDismissed) {
  session.ScanStarted("COM1");
  Idle(599.9);
  EXPECT_NEAR(guard.RunningSeconds(), 599.8, 1e-6);
  EXPECT_FALSE(guard.NoticeDue());
  Idle(0.3);
  EXPECT_TRUE(guard.NoticeDue());
  EXPECT_EQ(NoticeText(guard.RunningSeconds(), qv::Language::German),
            "Der Motor läuft seit 10 Minuten im Leerlauf. Temperatur und Lüfter prüfen oder eine Pause einlegen.");
  EXPECT_EQ(NoticeText(guard.RunningSeconds(), qv::Language::English),
            "The engine has idled for 10 minutes. Check its temperature and fan, or pause.");
  guard.DismissNotice();
  EXPECT_FALSE(guard.NoticeDue());
  Idle(599);
  EXPECT_FALSE(guard.NoticeDue());
  Idle(2);  // another ten minutes: again
  EXPECT_TRUE(guard.NoticeDue());
  // A shorter setting brings it earlier in the next scan.
  session.ScanStopped();
  EXPECT_FALSE(guard.NoticeDue());
  guard.SetSettings({.noticeAfterSeconds = 60});
  session.ScanStarted("COM1");
  Idle(59);
  EXPECT_FALSE(guard.NoticeDue());
  Idle(2);
  EXPECT_TRUE(guard.NoticeDue());
  EXPECT_EQ(NoticeText(guard.RunningSeconds(), qv::Language::English),
            "The engine has idled for 1 minute. Check its temperature and fan, or pause.");
}

TEST_F(GuardTest, AReplayCountsTheRecordingsOwnTime) {
  double position = 0;
  session.ReplayStarted("/tmp/job.qvrec", [&position] { return position; });
  // The replay runs at four times the speed: the wall clock moves little.
  for (int i = 0; i < 3000; ++i) {
    now += 0.025;
    session.FrameDecoded(state, Maxima(), ++count, 100 + 0.1 * i);
  }
  EXPECT_NEAR(guard.RunningSeconds(), 299.9, 1e-6);
  // A jump back: the jump is not running time, the frames after it are; the
  // drift starts afresh.
  position = 20;
  session.ReplaySeeked(state, 200);
  session.FrameDecoded(state, Maxima(), 201, 20.1);
  EXPECT_NEAR(guard.RunningSeconds(), 300.0, 1e-6);
  EXPECT_FALSE(guard.MeasuredDrift().has_value());
  // A different file is a new run.
  session.ReplayStarted("/tmp/other.qvrec", [&position] { return position; });
  EXPECT_DOUBLE_EQ(guard.RunningSeconds(), 0);
}

TEST_F(GuardTest, TheIdleDriftIsTheTrendOfTheMeanVacuum) {
  session.ScanStarted("COM1");
  // The idle vacuum deepens by 8 mBar in 3 minutes; the cylinders scatter
  // by ±3 mBar from frame to frame, which the trend must not mind.
  auto deepening = [](double t, int c) {
    const double jitter = ((static_cast<int>(t * 10) + c) % 3 - 1) * 3.0;
    return -250.0 - 8.0 * t / 180.0 + jitter;
  };
  Run(50, deepening);
  EXPECT_FALSE(guard.MeasuredDrift().has_value());  // under a minute of readings
  Run(130, [&](double t, int c) { return deepening(t + 50, c); });
  ASSERT_TRUE(guard.ShownDrift().has_value());
  const Drift d = *guard.ShownDrift();
  EXPECT_NEAR(d.mbar, -8.0, 0.4);
  EXPECT_NEAR(d.seconds, 180, 1.5);
  EXPECT_EQ(DriftText(d, qv::Language::German), "Leerlauf driftet: \u22128 mBar in 3 min");
  EXPECT_EQ(DriftText(d, qv::Language::English), "Idle drifting: \u22128 mBar in 3 min");
  // Steady afterwards: once the deepening has left the window, nothing is shown.
  Run(100, [](double, int c) { return -258.0 + (c - 1.5); });
  EXPECT_TRUE(guard.ShownDrift().has_value());  // half the window still falls
  Run(100, [](double, int c) { return -258.0 + (c - 1.5); });
  ASSERT_TRUE(guard.MeasuredDrift().has_value());
  EXPECT_NEAR(guard.MeasuredDrift()->mbar, 0, 0.2);
  EXPECT_FALSE(guard.ShownDrift().has_value());
}

TEST_F(GuardTest, ADriftBelowTheThresholdIsNotShownAndTheEdgeDoesNotFlicker) {
  session.ScanStarted("COM1");
  Run(180, [](double t, int) { return -240.0 + 6.0 * t / 180.0; });  // rising (less vacuum)
  ASSERT_TRUE(guard.ShownDrift().has_value());
  EXPECT_NEAR(guard.ShownDrift()->mbar, 6.0, 0.3);
  EXPECT_EQ(DriftText(*guard.ShownDrift(), qv::Language::English, qv::workshop::Unit::KiloPascal, ".", "-"),
            "Idle drifting: +0.6 kPa in 3 min");
  guard.SetSettings({.driftThresholdMbar = 7});  // within a fifth: still shown
  EXPECT_TRUE(guard.ShownDrift().has_value());
  guard.SetSettings({.driftThresholdMbar = 8});  // clearly beyond: hidden
  EXPECT_FALSE(guard.ShownDrift().has_value());
  guard.SetSettings({.driftThresholdMbar = 7});  // and not back until it is reached
  EXPECT_FALSE(guard.ShownDrift().has_value());
  guard.SetSettings({.driftThresholdMbar = 5});
  EXPECT_TRUE(guard.ShownDrift().has_value());
}

TEST(GuardTextTest, TimesAndNamesInBothLanguages) {
  EXPECT_EQ(DurationText(0), "0:00");
  EXPECT_EQ(DurationText(754.9), "12:34");
  EXPECT_EQ(DurationText(3723), "1:02:03");
  EXPECT_EQ(DurationText(-5), "0:00");
  EXPECT_EQ(DurationText(std::nan("")), "0:00");
  EXPECT_EQ(RunningText(754, qv::Language::German), "Motor läuft: 12:34");
  EXPECT_EQ(RunningText(754, qv::Language::English), "Engine running: 12:34");
  for (auto id : {GuardTextId::kAccRunning, GuardTextId::kAccNotice, GuardTextId::kAccDrift, GuardTextId::kDismiss}) {
    EXPECT_FALSE(Text(id, qv::Language::German).empty());
    EXPECT_NE(Text(id, qv::Language::German), Text(id, qv::Language::English));
  }
  EXPECT_EQ(NoticeText(1250, qv::Language::German).substr(0, 32), "Der Motor läuft seit 20 Minuten");
}

TEST_F(GuardTest, StartingTheEngineIsNoDrift) {
  session.ScanStarted("COM1");
  // The zero adjustment with the engine off and the hoses open, then the
  // engine starts and idles steadily: no drift, however large the step.
  Run(90, [](double, int c) { return 1.0 * c; });
  EXPECT_FALSE(guard.MeasuredDrift().has_value());
  Run(30, [](double, int) { return -250.0; });
  EXPECT_FALSE(guard.MeasuredDrift().has_value());  // too little idle yet
  Run(60, [](double, int) { return -250.0; });
  ASSERT_TRUE(guard.MeasuredDrift().has_value());
  EXPECT_NEAR(guard.MeasuredDrift()->mbar, 0, 0.1);
  EXPECT_FALSE(guard.ShownDrift().has_value());
  // Stalled: the drift so far is forgotten; the running time is frames arriving.
  Run(5, [](double, int) { return 0.0; });
  EXPECT_FALSE(guard.MeasuredDrift().has_value());
  EXPECT_NEAR(guard.RunningSeconds(), 184.9, 1e-6);
}
