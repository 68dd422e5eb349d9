#include <gtest/gtest.h>

#include <algorithm>

#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "ToneOutput.h"
#include "ToneTable.h"
#include "support/PulseServer.h"
#include "support/TestEnv.h"
#include "support/ToneAnalysis.h"

using namespace qvtest;
using namespace std::chrono_literals;
using qv::tone::CadenceAt;
using qv::tone::GuidanceInput;
using qv::tone::OutputStatus;
using qv::tone::PitchAt;
using qv::tone::ToneOutput;

namespace {

constexpr int kRate = PulseServer::kRate;

bool WaitForStatus(const ToneOutput& out, OutputStatus want, std::chrono::milliseconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (out.Status() != want) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

GuidanceInput Shown(double difference) { return {difference, 10, false, true}; }

}  // namespace

TEST(ToneOutputTest, WithoutASoundServerItSaysSoAndStopsCleanly) {
  ScratchDir dir;
  setenv("PULSE_SERVER", ("unix:" + (dir / "no-server").string()).c_str(), 1);
  std::atomic<int> changes{0};
  ToneOutput out;
  out.OnStatus = [&](OutputStatus) { ++changes; };
  out.SetInput(Shown(40));
  out.Start();
  ASSERT_TRUE(WaitForStatus(out, OutputStatus::kUnavailable, 10s));
  EXPECT_FALSE(out.Error().empty());
  out.Stop();
  EXPECT_EQ(out.Status(), OutputStatus::kUnavailable);  // stopping does not hide why
  // Trying again is allowed and fails the same way.
  out.Start();
  EXPECT_TRUE(WaitForStatus(out, OutputStatus::kUnavailable, 10s));
  out.Stop();
  EXPECT_GE(changes.load(), 3);
  unsetenv("PULSE_SERVER");
}

TEST(ToneOutputTest, TheServerPlaysTheTablesPitchAndCadenceAndSilenceInside) {
  ScratchDir dir;
  PulseServer server(dir.path());
  ASSERT_EQ(server.Failure(), "") << "the test needs a private PulseAudio server";
  Recorder rec(server.Address());
  ASSERT_TRUE(rec.Running()) << "parec could not be started (package pulseaudio-utils)";

  ToneOutput out;
  out.SetVolume(0.5);
  out.SetInput(Shown(2));  // inside: silence first
  out.Start();
  ASSERT_TRUE(WaitForStatus(out, OutputStatus::kPlaying, 10s)) << out.Error();
  ASSERT_TRUE(rec.WaitFor(kRate / 2, 10s)) << "nothing recorded from the sink's monitor";
  // Above the band by three bands, inside for a second, below by six.
  out.SetInput(Shown(30));
  std::this_thread::sleep_for(2000ms);
  out.SetInput(Shown(4));
  const auto insideAt = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(1000ms);
  out.SetInput(Shown(-60));
  const double inside = std::chrono::duration<double>(std::chrono::steady_clock::now() - insideAt).count();
  std::this_thread::sleep_for(1500ms);
  out.SetInput(Shown(0));
  std::this_thread::sleep_for(500ms);
  out.Stop();
  EXPECT_EQ(out.Status(), OutputStatus::kStopped);
  EXPECT_GT(out.ReportedLatency(), 0.0);
  EXPECT_LT(out.ReportedLatency(), 0.2);
  rec.Stop();

  const std::vector<float> pcm = rec.Samples();
  ASSERT_GT(pcm.size(), static_cast<std::size_t>(4 * kRate)) << "the recording is too short";
  const auto sounding = Sounding(pcm, kRate, 0.02);
  ASSERT_GE(sounding.size(), 10u);
  // The long silence inside the band parts the two runs of beeps.
  std::size_t split = 0;
  for (std::size_t i = 1; i < sounding.size(); ++i)
    if (sounding[i].start - sounding[i - 1].end > 0.6) split = i;
  ASSERT_GT(split, 2u) << "no silence of the band found";
  const double silence = sounding[split].start - sounding[split - 1].end;
  // As long as the input was inside, and longer by the pause when the change
  // came between two beeps (3.75 beeps/s, half of each sounding).
  EXPECT_GT(silence, inside - 0.012);
  EXPECT_LT(silence, inside + 0.5 / CadenceAt(3) + 0.012);
  EXPECT_EQ(Peak(pcm, At(sounding[split - 1].end + 0.01, kRate), At(sounding[split].start - 0.01, kRate)), 0.0f);

  auto check = [&](std::size_t from, std::size_t to, double x) {
    SCOPED_TRACE(x);
    ASSERT_GE(to - from, 4u);
    std::vector<double> periods;
    std::vector<double> pitches;
    std::vector<double> levels;
    for (std::size_t i = from + 1; i + 1 < to; ++i) {
      periods.push_back(sounding[i + 1].start - sounding[i].start);
      pitches.push_back(PitchIn(pcm, kRate, sounding[i]));
      levels.push_back(Rms(pcm, At(sounding[i].start + 0.01, kRate), At(sounding[i].end - 0.01, kRate)));
    }
    // Medians: a stall of the loaded machine that splits or delays one beep
    // moves a mean, not the tone heard.
    auto median = [](std::vector<double> v) {
      std::sort(v.begin(), v.end());
      return v[v.size() / 2];
    };
    EXPECT_NEAR(median(pitches), PitchAt(x), 0.01 * PitchAt(x));
    EXPECT_NEAR(median(levels), 0.5 / std::sqrt(2.0), 0.03);
    const double period = median(periods);
    EXPECT_NEAR(1 / period, CadenceAt(std::fabs(x)), 0.03 * CadenceAt(std::fabs(x)));
  };
  check(0, split, 3.0);
  check(split, sounding.size(), -6.0);
  EXPECT_GT(PitchIn(pcm, kRate, sounding[1]), qv::tone::kToneTable.centreHz);
  EXPECT_LT(PitchIn(pcm, kRate, sounding[split + 1]), qv::tone::kToneTable.centreHz);
}

TEST(ToneOutputTest, AServerThatGoesAwayIsReported) {
  ScratchDir dir;
  PulseServer server(dir.path());
  ASSERT_EQ(server.Failure(), "") << "the test needs a private PulseAudio server";
  ToneOutput out;
  out.SetInput(Shown(30));
  out.Start();
  ASSERT_TRUE(WaitForStatus(out, OutputStatus::kPlaying, 10s)) << out.Error();
  server.Kill();
  EXPECT_TRUE(WaitForStatus(out, OutputStatus::kUnavailable, 10s));
  EXPECT_FALSE(out.Error().empty());
  out.Stop();
}
