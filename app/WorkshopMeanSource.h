#pragma once
// A plain calculation behind the workshop view, used until the full workshop
// model is joined to it: D(c) = 100 - MAXIMA[c] in mBar against the mean of
// the four, the tolerance band, the bar's scale, the scatter of the last two
// seconds and the verdict. No damping, no other reference or unit, no zero
// adjustment: the view's other choices are taken but not applied.
#include <array>
#include <cstdint>
#include <deque>

#include "WorkshopSource.h"

namespace qv {

class WorkshopMeanSource : public workshop::WorkshopSource {
 public:
  static constexpr double kNoDataAfter = 1.0;  // seconds without a maxima frame
  static constexpr double kScatterWindow = 2.0;

  void AddMaxima(double seconds, const std::array<std::int32_t, 4>& maxima) override;
  [[nodiscard]] workshop::Reading Read(double seconds, bool portOpen) override;
  void SetChoices(const workshop::ViewChoices& choices) override { choices_ = choices; }
  void SetHold(bool on) override { held_ = on; }
  void ResetDamping() override {}
  [[nodiscard]] bool Zero(std::string& why) override;
  void ClearZero() override {}

 private:
  struct Sample {
    double seconds;
    std::array<double, 4> mbar;
  };
  [[nodiscard]] workshop::Reading Compute(double seconds, bool portOpen) const;

  workshop::ViewChoices choices_;
  std::deque<Sample> recent_;
  bool was_open_ = false;
  bool held_ = false;
  workshop::Reading shown_;
};

}  // namespace qv
