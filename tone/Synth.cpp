#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qv::tone {

Synth::Synth(int sampleRate, const ToneTable& table)
    : table_(table), rate_(sampleRate > 0 ? sampleRate : 48000), ramp_step_(1.0 / (table.rampSeconds * rate_)) {}

void Synth::SetVolume(double volume) { volume_ = std::isfinite(volume) ? std::clamp(volume, 0.0, 1.0) : 0.0; }

void Synth::Apply(const ToneCommand& command) {
  if (command.restartCycle) beep_phase_ = 0;
  // In a pause between beeps a clear change of pitch would wait for the next
  // beep, up to a third of a second at the slowest cadence: a beep begins now.
  if (command.mode == ToneMode::kBeeping && command_.mode == ToneMode::kBeeping && beep_phase_ >= table_.beepDuty &&
      heard_hz_ > 0 && std::fabs(12 * std::log2(command.pitchHz / heard_hz_)) >= table_.pauseBreakSemitones)
    beep_phase_ = 0;
  // A chime already ringing rings out: starting it afresh would be a click.
  if (command.chime && chime_sample_ < 0) {
    chime_sample_ = 0;
    chime_phase_ = 0;
  }
  command_ = command;
  // Silence has no pitch: the ramp out keeps sounding the last one, as a
  // frozen oscillator would be a kink.
  if (command.pitchHz > 0) pitch_hz_ = command.pitchHz;
}

double Synth::ToneSample() {
  double gate = 0;
  if (command_.mode == ToneMode::kSoft) {
    gate = 1;
  } else if (command_.mode == ToneMode::kBeeping) {
    gate = beep_phase_ < table_.beepDuty ? 1 : 0;
    if (gate > 0) heard_hz_ = pitch_hz_;
    beep_phase_ += command_.cadence / rate_;
    beep_phase_ -= std::floor(beep_phase_);
  }
  // The envelope slews towards its target, so no start, end or change of
  // level is a step.
  const double target = gate * command_.level;
  envelope_ += std::clamp(target - envelope_, -ramp_step_, ramp_step_);
  if (envelope_ <= 0 && target <= 0) return 0;
  const double s = std::sin(2 * std::numbers::pi * phase_);
  phase_ += pitch_hz_ / rate_;
  phase_ -= std::floor(phase_);
  return envelope_ * s;
}

double Synth::ChimeSample() {
  if (chime_sample_ < 0) return 0;
  const double t = static_cast<double>(chime_sample_) / rate_;
  const double note = table_.chimeNoteSeconds;
  const double secondAt = note + table_.chimeGapSeconds;
  ++chime_sample_;
  double local = t;
  double hz = table_.chimeFirstHz;
  if (t >= secondAt) {
    local = t - secondAt;
    hz = table_.chimeSecondHz;
  } else if (t >= note) {
    chime_phase_ = 0;  // the gap: the second note starts from zero
    return 0;
  }
  if (local >= note) {
    chime_sample_ = -1;
    return 0;
  }
  // A ramped start, a bell-like decay, and a ramped end.
  const double ramp = table_.rampSeconds;
  const double amp = std::min({1.0, local / ramp, (note - local) / ramp}) * std::exp(-2.0 * local / note);
  const double s = std::sin(2 * std::numbers::pi * chime_phase_);
  chime_phase_ += hz / rate_;
  chime_phase_ -= std::floor(chime_phase_);
  return table_.chimeLevel * amp * s;
}

void Synth::Render(float* out, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    const double v = volume_ * (ToneSample() + ChimeSample());
    out[i] = static_cast<float>(std::clamp(v, -1.0, 1.0));
  }
}

}  // namespace qv::tone
