#pragma once
// The guidance tone's keys in the workshop view's settings file, beside the
// view's own in its [Workshop] section. Off by default.
#include <string>
#include <string_view>

#include "FollowedCylinder.h"
#include "IniText.h"

namespace qv::tone {

inline constexpr std::string_view kToneSection = "Workshop";
inline constexpr std::string_view kToneKey = "Tone";                  // 0 or 1
inline constexpr std::string_view kToneVolumeKey = "ToneVolume";      // percent, 0..100
inline constexpr std::string_view kToneCylinderKey = "ToneCylinder";  // furthest, 1..4

struct ToneSettings {
  bool on = false;
  int volumePercent = 50;
  int cylinder = kFurthestOff;  // 0..3, or kFurthestOff
  bool operator==(const ToneSettings&) const = default;
};

// Reads the keys that are there into `s`; returns what was wrong ("" when
// nothing), leaving `s` as it was for a value that cannot be understood.
std::string ReadToneSettings(const IniText& ini, ToneSettings& s);
void WriteToneSettings(const ToneSettings& s, IniText& ini);

}  // namespace qv::tone
