#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "ToneScript.h"
#include "ToneTable.h"
#include "support/ToneAnalysis.h"

using namespace qvtest;
using qv::tone::CadenceAt;
using qv::tone::kToneTable;
using qv::tone::PitchAt;

namespace {

constexpr int kRate = 48000;
constexpr double kVolume = 0.5;
constexpr double kThreshold = 0.02;

// The periods between the starts of consecutive beeps, and each beep's share of its period.
struct Cadence {
  double period = 0;
  double duty = 0;
  int beeps = 0;
};

Cadence CadenceOf(const std::vector<Stretch>& beeps) {
  Cadence c;
  c.beeps = static_cast<int>(beeps.size());
  if (beeps.size() < 3) return c;
  // The first and last may be cut by the script; the inner ones are whole.
  double periods = 0, duties = 0;
  for (std::size_t i = 1; i + 1 < beeps.size(); ++i) {
    const double p = beeps[i + 1].start - beeps[i].start;
    periods += p;
    duties += beeps[i].Length() / p;
  }
  c.period = periods / static_cast<double>(beeps.size() - 2);
  c.duty = duties / static_cast<double>(beeps.size() - 2);
  return c;
}

}  // namespace

TEST(SynthTest, InsideTheBandItIsSilent) {
  // Inside, on the edge as shown ("+10" with "±10"), and wobbling on it.
  std::vector<Step> script{{0, Shown(3)}, {0.5, Shown(-10)}, {1.0, Shown(10)}};
  for (int i = 0; i < 20; ++i) script.push_back({1.5 + 0.05 * i, Shown(i % 2 ? 9.6 : 10.0)});
  const auto pcm = RenderScript(script, 3.0);
  EXPECT_EQ(Peak(pcm), 0.0f);
}

TEST(SynthTest, BeepsHaveTheTablesPitchCadenceAndDutyOnEachSide) {
  for (double x : {3.0, -3.0, 1.5, -1.5, 5.0, 8.0, -8.0}) {
    SCOPED_TRACE(x);
    const auto pcm = RenderScript({{0, Shown(10 * x)}}, 4.0);
    const auto beeps = Sounding(pcm, kRate, kThreshold);
    const Cadence c = CadenceOf(beeps);
    ASSERT_GE(c.beeps, 5);
    EXPECT_NEAR(1 / c.period, CadenceAt(std::fabs(x)), 0.02 * CadenceAt(std::fabs(x)));
    // Each beep's end ramps out after its share of the period.
    EXPECT_NEAR(c.duty, kToneTable.beepDuty + kToneTable.rampSeconds * CadenceAt(std::fabs(x)), 0.015);
    for (std::size_t i = 1; i + 1 < beeps.size(); ++i) {
      const double hz = PitchIn(pcm, kRate, beeps[i]);
      EXPECT_NEAR(hz, PitchAt(x), 0.005 * PitchAt(x));
      EXPECT_EQ(hz > kToneTable.centreHz, x > 0);
    }
    // Full level: the sine's RMS at the volume.
    const Stretch& b = beeps[2];
    EXPECT_NEAR(Rms(pcm, At(b.start + 0.01, kRate), At(b.end - 0.01, kRate)), kVolume / std::numbers::sqrt2, 0.01);
  }
}

TEST(SynthTest, JustOutsideTheBandASofterSteadyTone) {
  const auto pcm = RenderScript({{0, Shown(11.5)}, {2.0, Shown(30)}}, 4.0);
  const auto sounding = Sounding(pcm, kRate, kThreshold / 4);
  ASSERT_FALSE(sounding.empty());
  // Steady: one stretch from the start into the beeps, no gap.
  EXPECT_NEAR(sounding[0].start, 0.0, 0.003);
  EXPECT_GT(sounding[0].end, 2.0);
  const double soft = Rms(pcm, At(0.1, kRate), At(1.9, kRate));
  EXPECT_NEAR(soft / (kVolume / std::numbers::sqrt2), kToneTable.softLevel, 0.01);
  EXPECT_NEAR(PitchHz(pcm, kRate, At(0.1, kRate), At(1.9, kRate)), PitchAt(1.15), 1.0);
  const auto beeps = Sounding(pcm, kRate, kThreshold);
  ASSERT_GE(beeps.size(), 3u);
  const double loud = Rms(pcm, At(beeps[1].start + 0.01, kRate), At(beeps[1].end - 0.01, kRate));
  EXPECT_NEAR(soft / loud, kToneTable.softLevel / kToneTable.beepLevel, 0.01);
}

TEST(SynthTest, AValueOnTheEdgeDoesNotChatter) {
  // Outside, then hovering around the edge every 50 ms: one unbroken soft tone.
  std::vector<Step> script{{0, Shown(12)}};
  for (int i = 0; i < 40; ++i) script.push_back({0.5 + 0.05 * i, Shown(i % 2 ? 10.2 : 9.3)});
  script.push_back({2.6, Shown(8)});
  const auto pcm = RenderScript(script, 3.0);
  const auto sounding = Sounding(pcm, kRate, kThreshold / 4);
  ASSERT_EQ(sounding.size(), 1u);
  EXPECT_NEAR(sounding[0].end, 2.6, 0.01);  // clearly inside: silence
  EXPECT_EQ(Peak(pcm, At(2.62, kRate)), 0.0f);
}

TEST(SynthTest, TheChimeRingsOnceWithItsTwoNotes) {
  std::vector<Step> script{{0, Shown(40)}, {1.0, Shown(2, 10, true)}};
  // The verdict flickers afterwards, and holds.
  for (int i = 0; i < 8; ++i) script.push_back({1.6 + 0.1 * i, Shown(2, 10, i % 2 == 1)});
  const auto pcm = RenderScript(script, 3.0);
  std::vector<float> after(pcm.begin() + At(1.0, kRate), pcm.end());
  const auto notes = Sounding(after, kRate, 0.01);
  ASSERT_EQ(notes.size(), 2u);
  const auto& t = kToneTable;
  EXPECT_NEAR(notes[0].start, 0.0, 0.003);
  EXPECT_NEAR(notes[0].Length(), t.chimeNoteSeconds, 0.02);
  EXPECT_NEAR(notes[1].start, t.chimeNoteSeconds + t.chimeGapSeconds, 0.005);
  EXPECT_NEAR(PitchIn(after, kRate, notes[0]), t.chimeFirstHz, 2.0);
  EXPECT_NEAR(PitchIn(after, kRate, notes[1]), t.chimeSecondHz, 2.0);
  EXPECT_EQ(Peak(after, At(0.4, kRate)), 0.0f);
}

TEST(SynthTest, NoStepAnywhereThroughEveryChange) {
  // Side flips, mode changes, chimes (one reached while the first rings),
  // data lost: the sound's curvature (second difference) stays what its
  // sines allow; a step or a kink in it, a click, goes far beyond.
  std::vector<Step> script{{0, Shown(55)},
                           {0.31, Shown(-55)},
                           {0.52, Shown(11)},
                           {0.77, Shown(-30)},
                           {1.03, Shown(1, 10, true)},
                           {1.1, Shown(20)},  // sounds between two verdicts: a second chime
                           {1.15, Shown(1, 10, true)},
                           {1.41, Shown(-60)},
                           {1.66, {-60, 10, false, false}},
                           {1.9, Shown(25)},
                           {2.2, Shown(0)}};
  const auto pcm = RenderScript(script, 2.6);
  double largest = 0;
  for (std::size_t i = 1; i + 1 < pcm.size(); ++i)
    largest = std::max(largest, std::fabs(double(pcm[i + 1]) - 2.0 * pcm[i] + pcm[i - 1]));
  auto curve = [](double hz) { return std::pow(2 * std::numbers::pi * hz / kRate, 2); };
  const double ramp = 2.0 / (kToneTable.rampSeconds * kRate);
  const double allowed =
      kVolume * (curve(PitchAt(5)) + kToneTable.chimeLevel * curve(kToneTable.chimeSecondHz) + ramp) * 1.1;
  EXPECT_LT(largest, allowed);
  EXPECT_GT(largest, allowed / 3);  // it did sound loudly
}

TEST(SynthTest, RenderingIsDeterministicWhateverTheChunks) {
  const std::vector<Step> script{{0, Shown(25)}, {0.4, Shown(-14)}, {0.9, Shown(1, 10, true)}, {1.3, Shown(70)}};
  const auto a = RenderScript(script, 1.6);
  const auto b = RenderScript(script, 1.6, kVolume, 240);
  EXPECT_EQ(a, b);
  // Chunks that cut the 5 ms blocks: the same samples.
  qv::tone::ToneGenerator g1, g2;
  g1.SetInput(Shown(-33));
  g2.SetInput(Shown(-33));
  std::vector<std::int16_t> x(48000), y(48000);
  g1.Render(x.data(), x.size());
  for (std::size_t done = 0, k = 1; done < y.size(); done += k, k = k % 997 + 1)
    g2.Render(y.data() + done, std::min(k, y.size() - done));
  EXPECT_EQ(x, y);
  EXPECT_GT(*std::max_element(x.begin(), x.end()), 10000);
}

TEST(SynthTest, AChangeIsHeardWithinABlock) {
  // Silence to beeps, and a flip of sides in the middle of a pause between
  // beeps: the new sound begins within one 5 ms block.
  const auto pcm = RenderScript({{0, Shown(2)}, {0.5, Shown(30)}, {0.7, Shown(-30)}}, 1.2);
  const auto sounding = Sounding(pcm, kRate, kThreshold);
  ASSERT_GE(sounding.size(), 2u);
  EXPECT_NEAR(sounding[0].start, 0.5, 0.006);
  // 3.75 beeps/s: at 0.7 s the first beep (0.5..0.633) is over and the next
  // would begin at 0.767; the flip starts one at once instead, below the centre.
  EXPECT_NEAR(sounding[1].start, 0.7, 0.006);
  EXPECT_NEAR(PitchIn(pcm, kRate, sounding[1]), PitchAt(-3), 0.005 * PitchAt(-3));
}

TEST(SynthTest, VolumeScalesAndMutes) {
  const auto loud = RenderScript({{0, Shown(30)}}, 1.0, 1.0);
  const auto quiet = RenderScript({{0, Shown(30)}}, 1.0, 0.1);
  const auto mute = RenderScript({{0, Shown(30)}}, 1.0, 0.0);
  EXPECT_NEAR(Peak(loud), 1.0, 0.01);
  EXPECT_NEAR(Peak(quiet), 0.1, 0.001);
  EXPECT_EQ(Peak(mute), 0.0f);
}

TEST(SynthTest, AClearChangeOfPitchInAPauseBeginsABeep) {
  // Two bands out: 2.625 beeps/s, the first sounding up to 0.19 s. In its
  // pause the difference doubles (six semitones up): a beep begins at once.
  const auto clear = RenderScript({{0, Shown(20)}, {0.25, Shown(40)}}, 1.0);
  const auto a = Sounding(clear, kRate, kThreshold);
  ASSERT_GE(a.size(), 2u);
  EXPECT_NEAR(a[1].start, 0.25, 0.006);
  EXPECT_NEAR(PitchIn(clear, kRate, a[1]), PitchAt(4), 0.005 * PitchAt(4));
  // A slight change (half a semitone) keeps the cadence running on, at its
  // new rate: the next beep comes when its period is done.
  const auto slight = RenderScript({{0, Shown(20)}, {0.25, Shown(21)}}, 1.0);
  const auto b = Sounding(slight, kRate, kThreshold);
  ASSERT_GE(b.size(), 2u);
  EXPECT_NEAR(b[1].start, 0.25 + (1 - 0.25 * CadenceAt(2)) / CadenceAt(2.1), 0.003);
  EXPECT_NEAR(PitchIn(slight, kRate, b[1]), PitchAt(2.1), 0.005 * PitchAt(2.1));
}
