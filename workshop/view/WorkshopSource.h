#pragma once
// What the workshop window asks of the calculation behind it: on each tick it
// hands over what it read of the measurement state and gets the reading to
// show, and it passes the user's choices (the model's settings) on. The window
// knows nothing else of the calculation.
#include <array>
#include <cstdint>
#include <string>

#include "EngineGuard.h"
#include "ToneSettings.h"
#include "WorkshopModel.h"
#include "WorkshopPalette.h"
#include "WorkshopReading.h"

namespace qv::workshop {

// The user's choices in the view are the model's settings: unit, reference,
// pair mode, tolerance (in mBar, whatever the unit shown), damping and zoom.
using ViewChoices = ModelSettings;

// One look at the measurement state.
struct MeasurementLook {
  double seconds = 0;     // the source's clock (a steady clock, or a replay's position)
  bool portOpen = false;  // a source delivers: a scan runs or a replay shows
  std::uint64_t maximaFrames = 0;  // frames whose maxima went into MAXIMA, so far
  std::array<std::int32_t, 4> maxima{};
};

// What became of a zero adjustment: done or refused, and whether the offsets
// could be kept ("" when they were, else why not).
struct ZeroResult {
  ZeroOutcome outcome;
  std::string notStored;
};

class WorkshopSource {
 public:
  virtual ~WorkshopSource() = default;
  // What to show after this look.
  [[nodiscard]] virtual Reading Read(const MeasurementLook& look) = 0;
  virtual void SetChoices(const ViewChoices& choices) = 0;
  virtual void SetHold(bool on) = 0;
  virtual void ResetDamping() = 0;
  // The source jumped (a replay started or was moved): the next look starts
  // afresh, its time and maxima taken as they are.
  virtual void Restart() = 0;
  // Stores offsets that make the four read equal, for the current port.
  [[nodiscard]] virtual ZeroResult Zero() = 0;
  // Removes the current port's offsets; "" or why that could not be kept.
  [[nodiscard]] virtual std::string ClearZero() = 0;
};

// What the view keeps between runs, and where: the choices above, the theme,
// the snapshot folder, the window's geometry and reconnecting.
struct ViewSettings {
  ViewChoices choices;
  ThemeKind theme = ThemeKind::Day;
  std::string snapshotFolder;  // empty: the default folder
  std::string geometry;        // the window's saveGeometry() bytes
  bool reconnect = true;       // carry a scan over a pulled cable while the view is open
  tone::ToneSettings tone;     // the guidance tone: off, its volume, the cylinder it follows
  guard::GuardSettings guard;  // the engine guard's notice time and drift
};

class ViewSettingsStore {
 public:
  virtual ~ViewSettingsStore() = default;
  // The stored settings; `problem` says what could not be understood (the
  // defaults are then given), empty when all was well.
  [[nodiscard]] virtual ViewSettings Load(std::string& problem) = 0;
  // Stores them; returns "" or why they could not be stored.
  [[nodiscard]] virtual std::string Save(const ViewSettings& s) = 0;
};

}  // namespace qv::workshop
