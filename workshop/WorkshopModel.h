#pragma once
// The workshop view's calculation: fed with the measurement state (the four
// maxima, a count of the maxima frames decoded so far, whether the port is
// open) at monotonic times, it gives the Reading the view draws. No widgets.
//
// Values are D(c) = 100 - MAXIMA[c] in mBar (negative: vacuum), minus the
// channel's zero offset, damped, then converted to the chosen unit. A
// difference is D(c) minus the reference: negative means more vacuum than the
// reference, positive less.
#include <array>
#include <cstdint>
#include <optional>

#include "Damping.h"
#include "RecentSamples.h"
#include "WorkshopReading.h"

namespace qv::workshop {

inline constexpr double kDampingSteps[] = {0.0, 0.25, 0.5, 1.0, 2.0, 4.0};  // seconds
inline constexpr double kZoomSteps[] = {5, 10, 20, 50, 100};                // full scale in the unit
inline constexpr double kMinToleranceMbar = 1;
inline constexpr double kMaxToleranceMbar = 50;
inline constexpr double kNoDataAfter = 1.0;        // seconds without a maxima frame
inline constexpr double kMaxZeroSpreadMbar = 50;   // wider than this is not ambient air
inline constexpr double kUnsteadyFloorMbar = 1.0;  // below the device's step nothing is unsteady

struct ModelSettings {
  Unit unit = Unit::MilliBar;
  ReferenceKind reference = ReferenceKind::Mean;
  int referenceCylinder = 0;  // 0..3; in pair mode its pair is the reference
  bool pairMode = false;
  double toleranceMbar = 10;  // half-width of the band, 1..50 mBar (shown in the unit)
  double dampingSeconds = 1;  // time constant, 0 = off
  double zoom = 0;            // full scale in the unit, one of kZoomSteps; 0 = automatic

  bool operator==(const ModelSettings&) const = default;
};

[[nodiscard]] bool IsDampingStep(double seconds);
[[nodiscard]] bool IsZoomStep(double fullScale);

// Out-of-range settings brought into range: tolerance clamped, unknown zoom
// automatic, damping not negative, cylinder 0..3.
[[nodiscard]] ModelSettings Sanitised(ModelSettings s);

using ZeroOffsets = std::array<double, 4>;  // mBar, subtracted from D(c)

struct ZeroOutcome {
  enum class Refusal { kNone, kNoData, kSpread };
  Refusal refusal = Refusal::kNone;
  double spreadMbar = 0;  // largest minus smallest of the four when refused for their spread
  [[nodiscard]] bool Done() const { return refusal == Refusal::kNone; }
};

class WorkshopModel {
 public:
  explicit WorkshopModel(const ModelSettings& settings = {});

  // One look at the measurement state at monotonic time `now` (seconds). A
  // maxima frame is new when `maximaFrames` differs from the count of the
  // previous call (several frames between two calls count as one, with the
  // newest maxima). The first call, and the first after the port opened, only
  // take the count as it is: the maxima then are old.
  void Update(double now, const std::array<std::int32_t, 4>& maxima, std::uint64_t maximaFrames, bool port_open);

  void SetSettings(const ModelSettings& settings);
  [[nodiscard]] const ModelSettings& Settings() const { return settings_; }

  // Damping starts afresh from the newest undamped values.
  void ResetDamping();

  // The source jumped (a replay started, or was moved to another place): the
  // next Update starts afresh at its own time, without damping or scatter
  // from before, and takes its maxima as a frame when any frame has come.
  void Restart();

  // HOLD: the reading stays as it is while data keep being taken in.
  void SetHold(bool on);
  [[nodiscard]] bool Held() const { return held_; }

  // Stores offsets so that the four read equal (their averages over the last
  // two seconds, undamped); refused without live data or when the four spread
  // by more than kMaxZeroSpreadMbar.
  ZeroOutcome AdjustZero();
  void ClearZero() { SetZeroOffsets(std::nullopt); }
  // Offsets from the settings; offsets that are not finite or larger than
  // kMaxZeroSpreadMbar are refused (nothing applied) and false returned.
  bool SetZeroOffsets(const std::optional<ZeroOffsets>& offsets);
  [[nodiscard]] const std::optional<ZeroOffsets>& CurrentZeroOffsets() const { return offsets_; }

  // What the view shows; its `serial` changes whenever anything in it changes.
  [[nodiscard]] const Reading& Current() const { return reading_; }

 private:
  void TakeFrame(double now, const std::array<std::int32_t, 4>& maxima);
  void Publish();
  [[nodiscard]] Reading Compute() const;
  void FillChannels(Reading& r) const;

  ModelSettings settings_;
  Damper damper_;
  RecentSamples recent_;
  std::optional<ZeroOffsets> offsets_;
  bool held_ = false;

  bool port_open_ = false;
  bool counting_ = false;  // a frame count has been taken since the port opened
  std::uint64_t frames_ = 0;
  bool has_frame_ = false;
  bool restart_ = false;  // Restart() was called: the next Update starts afresh
  double now_ = 0;
  double last_frame_ = 0;
  double run_start_ = 0;   // first frame since the port opened or a gap
  double auto_scale_ = 5;  // the automatic zoom's last choice
  Reading reading_;
};

// The automatic zoom: the smallest of kZoomSteps that holds `largest` (in the
// unit), or the largest step. A smaller step than `previous` is taken only
// when the difference fits it with a fifth to spare, so the scale does not
// flap when a difference hovers at a step.
[[nodiscard]] double AutoFullScale(double largest, double previous);

}  // namespace qv::workshop
