#pragma once
// What the workshop window asks of the calculation behind it: it hands over
// every new maxima frame with its time, asks for the reading on its tick, and
// passes the user's choices on. The window knows nothing else of the model.
#include <array>
#include <cstdint>
#include <string>

#include "WorkshopPalette.h"
#include "WorkshopReading.h"

namespace qv::workshop {

// The user's choices in the view.
struct ViewChoices {
  Unit unit = Unit::MilliBar;
  ReferenceKind reference = ReferenceKind::Mean;
  int referenceCylinder = 0;
  bool pairMode = false;
  double toleranceMbar = 10;  // the band's half-width in mBar (1..50), whatever the unit shown
  double dampingSeconds = 1;  // 0: off
  double zoom = 0;            // the bar's full scale in the chosen unit, 0: automatic
};

class WorkshopSource {
 public:
  virtual ~WorkshopSource() = default;
  // A maxima frame arrived at `seconds` (a steady clock).
  virtual void AddMaxima(double seconds, const std::array<std::int32_t, 4>& maxima) = 0;
  // What to show at `seconds`; portOpen tells whether a scan can be running.
  [[nodiscard]] virtual Reading Read(double seconds, bool portOpen) = 0;
  virtual void SetChoices(const ViewChoices& choices) = 0;
  virtual void SetHold(bool on) = 0;
  virtual void ResetDamping() = 0;
  // Stores offsets that make the four read equal; false (and why) when refused.
  [[nodiscard]] virtual bool Zero(std::string& why) = 0;
  virtual void ClearZero() = 0;
};

// What the view keeps between runs, and where: the choices above, the theme,
// the snapshot folder and the window's geometry.
struct ViewSettings {
  ViewChoices choices;
  ThemeKind theme = ThemeKind::Day;
  std::string snapshotFolder;  // empty: the default folder
  std::string geometry;        // the window's saveGeometry() bytes
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
