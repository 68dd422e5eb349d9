#include "WorkshopModelSource.h"

#include <utility>

#include "CapabilityKeys.h"

namespace qv {

using namespace workshop;

WorkshopModelSource::WorkshopModelSource(std::function<std::string()> portName, WorkshopSettingsFile file)
    // The tone's and the guard's keys are read with the view's, so that a
    // value of theirs that cannot be understood is the file's damage too.
    : port_name_(std::move(portName)), file_(file.Path(), CapabilityKeysReader()) {}

void WorkshopModelSource::FollowPort() {
  const std::string port = port_name_ ? port_name_() : std::string();
  if (followed_ && port == offsets_port_) return;
  followed_ = true;
  offsets_port_ = port;
  const auto stored = settings_.zeroOffsets.find(port);
  // Offsets the model refuses (not finite, too wide) are left out, as if none were stored.
  if (stored == settings_.zeroOffsets.end() || !model_.SetZeroOffsets(stored->second)) model_.ClearZero();
}

Reading WorkshopModelSource::Read(const MeasurementLook& look) {
  FollowPort();
  model_.Update(look.seconds, look.maxima, look.maximaFrames, look.portOpen);
  return model_.Current();
}

void WorkshopModelSource::SetChoices(const ViewChoices& choices) { model_.SetSettings(Sanitised(choices)); }

ZeroResult WorkshopModelSource::Zero() {
  FollowPort();
  ZeroResult result;
  result.outcome = model_.AdjustZero();
  if (!result.outcome.Done() || !model_.CurrentZeroOffsets()) return result;
  WorkshopSettings next = settings_;
  next.zeroOffsets[offsets_port_] = *model_.CurrentZeroOffsets();
  result.notStored = file_.Save(next);
  settings_ = std::move(next);  // in use for this run even when the file could not take them
  return result;
}

std::string WorkshopModelSource::ClearZero() {
  FollowPort();
  model_.ClearZero();
  if (settings_.zeroOffsets.erase(offsets_port_) == 0) return {};
  return file_.Save(settings_);
}

ViewSettings WorkshopModelSource::Load(std::string& problem) {
  const ParsedSettings parsed = file_.Load();
  problem = parsed.problem;
  settings_ = parsed.settings;
  followed_ = false;  // the offsets of the port as now stored
  FollowPort();
  model_.SetSettings(settings_.model);
  ViewSettings v;
  v.choices = settings_.model;
  v.theme = settings_.theme == Theme::Night ? ThemeKind::Night : ThemeKind::Day;
  v.snapshotFolder = settings_.snapshotFolder;
  v.geometry = settings_.geometry;
  v.reconnect = settings_.reconnect;
  const CapabilitySettings more = CapabilitiesOf(settings_.more);
  v.tone = more.tone;
  v.guard = more.guard;
  return v;
}

std::string WorkshopModelSource::Save(const ViewSettings& s) {
  WorkshopSettings next = settings_;
  next.model = Sanitised(s.choices);
  next.theme = s.theme == ThemeKind::Night ? Theme::Night : Theme::Day;
  next.snapshotFolder = s.snapshotFolder;
  next.geometry = s.geometry;
  next.reconnect = s.reconnect;
  next.more = KeysOf({s.tone, s.guard});
  settings_ = next;
  return file_.Save(next);
}

}  // namespace qv
