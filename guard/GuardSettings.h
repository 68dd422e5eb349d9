#pragma once
// The engine guard's keys in the workshop view's settings file, beside the
// view's own in its [Workshop] section.
#include <string>
#include <string_view>

#include "EngineGuard.h"
#include "IniText.h"

namespace qv::guard {

inline constexpr std::string_view kGuardSection = "Workshop";
inline constexpr std::string_view kEngineNotice = "EngineNotice";      // minutes, 1..120
inline constexpr std::string_view kDriftWindow = "DriftWindow";        // minutes, 1..30
inline constexpr std::string_view kDriftThreshold = "DriftThreshold";  // mBar, 1..100

// Reads the keys that are there into `s`; returns what was wrong ("" when
// nothing), leaving `s` as it was for a value that cannot be understood.
std::string ReadGuardSettings(const IniText& ini, GuardSettings& s);
void WriteGuardSettings(const GuardSettings& s, IniText& ini);

}  // namespace qv::guard
