#pragma once
// "Vorher" and "Nachher": the readings as the workshop view shows them,
// averaged over the last few seconds once they have settled. The view feeds
// every reading it shows, with the session's time; a capture is refused, with
// its reason, while there is no data or the values have not been steady for
// the whole window. Plain C++.
#include <deque>
#include <optional>
#include <string>

#include "JobRecord.h"
#include "WorkshopReading.h"

namespace qv::jobs {

// The seconds averaged for a capture.
inline constexpr double kCaptureSeconds = 3.0;

enum class Refusal {
  kNone,
  kNoData,     // no live readings (no scan, waiting, or "Keine Daten")
  kUnsettled,  // the values are not settled now
  kSettling,   // settled, but not yet for the whole window
};

struct CaptureResult {
  std::optional<Capture> capture;
  Refusal refusal = Refusal::kNone;
  double steadyFor = 0;  // with kSettling: how long the values have been settled
};

class CaptureModel {
 public:
  explicit CaptureModel(double window = kCaptureSeconds) : window_(window) {}

  // A reading as shown at `seconds` (the session's time). A jump back in time
  // (a replay's seek) or a change of unit, reference or pair mode starts the
  // window afresh.
  void Add(double seconds, const workshop::Reading& reading);

  // The mean of the last window as a capture stamped `localTime`, or why not.
  [[nodiscard]] CaptureResult Take(const std::string& localTime) const;

  // Seconds of live readings since ResetEngineTime(): how long the engine ran.
  [[nodiscard]] double EngineSeconds() const { return engine_seconds_; }
  void ResetEngineTime() { engine_seconds_ = 0; }
  [[nodiscard]] double Window() const { return window_; }

 private:
  struct Sample {
    double seconds;
    workshop::Reading reading;
  };
  double window_;
  std::deque<Sample> samples_;  // live and settled, same setup, oldest first
  std::optional<Sample> last_;  // the last reading added, whatever it was
  double engine_seconds_ = 0;
};

}  // namespace qv::jobs
