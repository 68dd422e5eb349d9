#pragma once
// The workshop model behind the workshop view, and the view's settings kept
// in workshop.ini: each look at the main window's measurement state goes into
// the model, the view's choices become the model's settings, and the zero
// offsets are stored under the name of the port they were taken on (the
// port's name at the time, so another adapter starts without them).
#include <functional>
#include <string>

#include "WorkshopModel.h"
#include "WorkshopSettings.h"
#include "WorkshopSource.h"

namespace qv {

class WorkshopModelSource : public workshop::WorkshopSource, public workshop::ViewSettingsStore {
 public:
  // `portName` gives the port's current name whenever the offsets are needed.
  explicit WorkshopModelSource(std::function<std::string()> portName,
                               workshop::WorkshopSettingsFile file = workshop::WorkshopSettingsFile());

  // WorkshopSource
  [[nodiscard]] workshop::Reading Read(const workshop::MeasurementLook& look) override;
  void SetChoices(const workshop::ViewChoices& choices) override;
  void SetHold(bool on) override { model_.SetHold(on); }
  void ResetDamping() override { model_.ResetDamping(); }
  void Restart() override { model_.Restart(); }
  [[nodiscard]] workshop::ZeroResult Zero() override;
  [[nodiscard]] std::string ClearZero() override;

  // ViewSettingsStore: a damaged file gives the defaults and its problem, and
  // stays as it is until a setting differs from those defaults.
  [[nodiscard]] workshop::ViewSettings Load(std::string& problem) override;
  [[nodiscard]] std::string Save(const workshop::ViewSettings& s) override;

  [[nodiscard]] const workshop::WorkshopModel& Model() const { return model_; }

 private:
  // Gives the model the offsets stored for the port now named, when that
  // name differs from the one they were last taken for.
  void FollowPort();

  std::function<std::string()> port_name_;
  workshop::WorkshopSettingsFile file_;
  workshop::WorkshopSettings settings_;  // as last loaded or saved
  workshop::WorkshopModel model_;
  std::string offsets_port_;  // the port whose offsets the model has
  bool followed_ = false;     // offsets_port_ is set
};

}  // namespace qv
