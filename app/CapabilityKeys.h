#pragma once
// The guidance tone's and the engine guard's keys in workshop.ini, read and
// written beside the view's own, through the view's settings file: a value
// either cannot understand makes the whole file damaged, as for the view's.
#include <map>
#include <string>

#include "EngineGuard.h"
#include "ToneSettings.h"
#include "WorkshopSettings.h"

namespace qv {

struct CapabilitySettings {
  tone::ToneSettings tone;
  guard::GuardSettings guard;
  bool operator==(const CapabilitySettings&) const = default;
};

// For WorkshopSettingsFile: reads both from the file's text.
[[nodiscard]] workshop::MoreKeysReader CapabilityKeysReader();
// The settings of keys as the reader gave them, and the keys of settings.
[[nodiscard]] CapabilitySettings CapabilitiesOf(const std::map<std::string, std::string>& keys);
[[nodiscard]] std::map<std::string, std::string> KeysOf(const CapabilitySettings& s);

}  // namespace qv
