#include "Guidance.h"

#include <algorithm>
#include <cmath>

namespace qv::tone {

ToneMode Guidance::Next(double x) const {
  const ToneTable& t = table_;
  switch (mode_) {
    case ToneMode::kSilent:
      if (x > t.soundOn) return x > t.beepOn ? ToneMode::kBeeping : ToneMode::kSoft;
      return ToneMode::kSilent;
    case ToneMode::kSoft:
      if (x <= t.soundOff) return ToneMode::kSilent;
      return x > t.beepOn ? ToneMode::kBeeping : ToneMode::kSoft;
    case ToneMode::kBeeping:
      if (x <= t.soundOff) return ToneMode::kSilent;
      return x <= t.beepOff ? ToneMode::kSoft : ToneMode::kBeeping;
  }
  return ToneMode::kSilent;
}

ToneCommand Guidance::Update(double now, const GuidanceInput& in) {
  ToneCommand c;
  const bool usable = in.live && std::isfinite(in.difference) && std::isfinite(in.tolerance) && in.tolerance > 0;
  const bool inSync = usable && in.inSync;

  // The chime rings once when the verdict is reached; it is armed again by
  // the tone sounding, or by the verdict staying lost for a while.
  if (inSync) {
    c.chime = chime_armed_;
    chime_armed_ = false;
  } else {
    if (was_in_sync_) sync_lost_at_ = now;
    if (now - sync_lost_at_ >= table_.chimeRearmSeconds) chime_armed_ = true;
  }
  was_in_sync_ = inSync;

  if (!usable || inSync) {
    // No readings: nothing to follow. The verdict outranks the hysteresis:
    // with every cylinder inside there is nothing to correct.
    mode_ = ToneMode::kSilent;
    side_ = 0;
    return c;
  }

  const double x = std::fabs(in.difference) / in.tolerance;
  const ToneMode next = Next(x);
  const int side = in.difference >= 0 ? 1 : -1;
  if (next == ToneMode::kBeeping && (mode_ != ToneMode::kBeeping || side != side_)) c.restartCycle = true;
  mode_ = next;
  side_ = next == ToneMode::kSilent ? 0 : side;
  if (mode_ == ToneMode::kSilent) return c;

  chime_armed_ = true;
  c.mode = mode_;
  c.pitchHz = PitchAt(side * std::max(x, 1.0), table_);
  c.cadence = CadenceAt(x, table_);
  c.level = mode_ == ToneMode::kBeeping ? table_.beepLevel : table_.softLevel;
  return c;
}

}  // namespace qv::tone
