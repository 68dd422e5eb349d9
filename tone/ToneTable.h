#pragma once
// How the guidance tone turns the followed difference into sound: every
// threshold, pitch, cadence and level in one table. Distances are in band
// units, x = |difference| / tolerance, so x = 1 is the edge of the band as
// shown. docs/workshop.md prints this table; change both together.
#include <algorithm>
#include <cmath>

namespace qv::tone {

struct ToneTable {
  // Silence inside the band. The tone starts once x passes soundOn and stops
  // again only when x is back at or below soundOff, so a value on the edge
  // does not chatter. Silence always means inside the band.
  double soundOn = 1.0;
  double soundOff = 0.9;
  // Just outside the band a soft steady tone; beyond beepOn the beeps, back to
  // the steady tone at or below beepOff.
  double beepOn = 1.25;
  double beepOff = 1.15;
  // Beeps per second, linear in x from the band's edge to fastAt and beyond.
  double slowCadence = 1.5;  // at x = 1
  double fastCadence = 6.0;  // at x = fastAt and beyond
  double fastAt = 5.0;
  double beepDuty = 0.5;  // share of each period the beep sounds
  // A change of pitch by this much in a pause between beeps begins a beep at
  // once, so a change is heard within a block, not at the next beep.
  double pauseBreakSemitones = 2.0;
  // Pitch: above the centre for a positive difference (less vacuum than the
  // reference), below it for a negative one. At the edge it lies edgeRatio
  // from the centre and moves one octave further by x = fastAt.
  double centreHz = 600.0;
  double edgeRatio = 4.0 / 3.0;  // a fourth
  double octavesToFast = 1.0;
  // Levels, as a share of the chosen volume.
  double beepLevel = 1.0;
  double softLevel = 0.25;  // the pre-threshold tone, 12 dB below the beeps
  double chimeLevel = 0.7;
  // Every start and end of a sound is a ramp of this length, so nothing clicks.
  double rampSeconds = 0.005;
  // The chime when SYNCHRON is reached: two notes, once.
  double chimeFirstHz = 784.0;    // G5
  double chimeSecondHz = 1047.0;  // C6
  double chimeNoteSeconds = 0.15;
  double chimeGapSeconds = 0.03;
  // A new chime needs the verdict lost for this long, or the tone to have
  // sounded in between: a flickering verdict does not ring again and again.
  double chimeRearmSeconds = 2.0;
};

inline constexpr ToneTable kToneTable{};

// Beeps per second at distance x (band units).
[[nodiscard]] inline double CadenceAt(double x, const ToneTable& t = kToneTable) {
  const double u = std::clamp((x - 1.0) / (t.fastAt - 1.0), 0.0, 1.0);
  return t.slowCadence + u * (t.fastCadence - t.slowCadence);
}

// The pitch for a signed distance (band units): above the centre when positive.
[[nodiscard]] inline double PitchAt(double signedX, const ToneTable& t = kToneTable) {
  const double x = std::clamp(std::fabs(signedX), 1.0, t.fastAt);
  const double ratio = t.edgeRatio * std::exp2(t.octavesToFast * (x - 1.0) / (t.fastAt - 1.0));
  return signedX >= 0 ? t.centreHz * ratio : t.centreHz / ratio;
}

}  // namespace qv::tone
