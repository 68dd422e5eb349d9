#pragma once
// The guidance tone's decisions: from the followed difference as shown, the
// band's half-width, the verdict and whether readings arrive, what is to be
// heard now (silence, the soft tone, beeps, the chime), with the table's
// hysteresis. Plain C++, no sound.
#include "ToneTable.h"

namespace qv::tone {

enum class ToneMode { kSilent, kSoft, kBeeping };

struct GuidanceInput {
  double difference = 0;  // the followed difference as shown, in any unit
  double tolerance = 10;  // the band's half-width as shown, in the same unit
  bool inSync = false;    // the verdict SYNCHRON
  bool live = false;      // readings arrive (not: no scan, waiting, no data)
};

struct ToneCommand {
  ToneMode mode = ToneMode::kSilent;
  double pitchHz = 0;         // of the soft tone and the beeps
  double cadence = 0;         // beeps per second
  double level = 0;           // share of the volume
  bool restartCycle = false;  // beeping started or changed sides: a beep begins now
  bool chime = false;         // ring the chime now
};

class Guidance {
 public:
  explicit Guidance(const ToneTable& table = kToneTable) : table_(table) {}

  // One decision at time `now` (seconds, not decreasing).
  ToneCommand Update(double now, const GuidanceInput& in);

  [[nodiscard]] ToneMode Mode() const { return mode_; }

 private:
  [[nodiscard]] ToneMode Next(double x) const;

  ToneTable table_;
  ToneMode mode_ = ToneMode::kSilent;
  int side_ = 0;  // +1 or -1 while sounding
  bool chime_armed_ = true;
  bool was_in_sync_ = false;
  double sync_lost_at_ = 0;
};

}  // namespace qv::tone
