#include "CapabilityKeys.h"

#include "GuardSettings.h"
#include "IniText.h"

namespace qv {

namespace {
constexpr std::string_view kSection = workshop::keys::kSection;
}  // namespace

std::map<std::string, std::string> KeysOf(const CapabilitySettings& s) {
  IniText ini;
  tone::WriteToneSettings(s.tone, ini);
  guard::WriteGuardSettings(s.guard, ini);
  std::map<std::string, std::string> keys;
  for (const std::string& k : ini.Keys(kSection)) keys[k] = ini.Get(kSection, k).value_or("");
  return keys;
}

CapabilitySettings CapabilitiesOf(const std::map<std::string, std::string>& keys) {
  IniText ini;
  for (const auto& [k, v] : keys) ini.Set(kSection, k, v);
  CapabilitySettings s;
  // Keys that came from the reader are understood; anything else keeps the defaults.
  if (!tone::ReadToneSettings(ini, s.tone).empty()) s.tone = {};
  if (!guard::ReadGuardSettings(ini, s.guard).empty()) s.guard = {};
  return s;
}

workshop::MoreKeysReader CapabilityKeysReader() {
  return [](const IniText& file, std::map<std::string, std::string>& keys) {
    CapabilitySettings s;
    std::string problem = tone::ReadToneSettings(file, s.tone);
    if (problem.empty()) problem = guard::ReadGuardSettings(file, s.guard);
    if (!problem.empty()) s = {};
    keys = KeysOf(s);
    return problem;
  };
}

}  // namespace qv
