#pragma once
// Renders the guidance tone as PCM, sample by sample and deterministically:
// one oscillator whose phase runs on across every change of pitch, gated by
// the beep cadence, with every start and end ramped; the chime is a second
// voice mixed on top. Plain C++.
#include <cstddef>
#include <cstdint>

#include "Guidance.h"
#include "ToneTable.h"

namespace qv::tone {

class Synth {
 public:
  explicit Synth(int sampleRate = 48000, const ToneTable& table = kToneTable);

  // 0 (mute) .. 1 (full scale at the loudest level of the table).
  void SetVolume(double volume);
  [[nodiscard]] double Volume() const { return volume_; }

  // What to sound from the next sample on.
  void Apply(const ToneCommand& command);

  // The next `n` samples, in -1..1.
  void Render(float* out, std::size_t n);

  [[nodiscard]] int SampleRate() const { return rate_; }
  [[nodiscard]] bool ChimeSounding() const { return chime_sample_ >= 0; }

 private:
  [[nodiscard]] double ToneSample();
  [[nodiscard]] double ChimeSample();

  ToneTable table_;
  int rate_;
  double volume_ = 0.5;
  ToneCommand command_;
  double pitch_hz_ = 0;     // the oscillator's, kept through the ramp into silence
  double phase_ = 0;        // of the oscillator, in cycles (0..1)
  double heard_hz_ = 0;     // the pitch of the last beep, as it ended
  double beep_phase_ = 0;   // of the cadence, in periods (0..1)
  double envelope_ = 0;     // the tone's current amplitude
  double ramp_step_;        // largest change of the envelope per sample
  long chime_sample_ = -1;  // samples since the chime began, -1 when silent
  double chime_phase_ = 0;
};

}  // namespace qv::tone
