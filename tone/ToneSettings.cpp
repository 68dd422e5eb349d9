#include "ToneSettings.h"

namespace qv::tone {

std::string ReadToneSettings(const IniText& ini, ToneSettings& s) {
  ToneSettings next = s;
  auto bad = [](std::string_view key, const std::string& v) { return std::string(key) + "=" + v.substr(0, 40); };
  if (auto v = ini.Get(kToneSection, kToneKey)) {
    if (*v != "0" && *v != "1") return bad(kToneKey, *v);
    next.on = *v == "1";
  }
  if (auto v = ini.Get(kToneSection, kToneVolumeKey)) {
    const auto n = ParseIniInteger(*v);
    if (!n || *n < 0 || *n > 100) return bad(kToneVolumeKey, *v);
    next.volumePercent = *n;
  }
  if (auto v = ini.Get(kToneSection, kToneCylinderKey)) {
    const auto n = ParseIniInteger(*v);
    if (*v == "furthest")
      next.cylinder = kFurthestOff;
    else if (n && *n >= 1 && *n <= 4)
      next.cylinder = *n - 1;
    else
      return bad(kToneCylinderKey, *v);
  }
  s = next;
  return "";
}

void WriteToneSettings(const ToneSettings& s, IniText& ini) {
  ini.Set(kToneSection, kToneKey, s.on ? "1" : "0");
  ini.Set(kToneSection, kToneVolumeKey, std::to_string(s.volumePercent));
  ini.Set(kToneSection, kToneCylinderKey,
          s.cylinder >= 0 && s.cylinder < 4 ? std::to_string(s.cylinder + 1) : "furthest");
}

}  // namespace qv::tone
