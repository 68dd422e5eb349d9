#pragma once
// Sections and keys of the settings file "Quorvel.ini", and the ranges and
// starting values of the settings dialog's controls. The defaults that
// loading gives a missing value are in GraphSettings.h (GraphDefaults).
#include <string_view>

namespace qv::setup {

inline constexpr std::string_view kSectionColor = "COLOR";
inline constexpr std::string_view kSectionSpeed = "SPEED";
inline constexpr std::string_view kSectionEinstellungen = "Einstellungen";

// "COLOR": the five display colours.
inline constexpr std::string_view kKeyBackColor = "1";
inline constexpr std::string_view kKeyGridColor = "2";
inline constexpr std::string_view kKeyDotsColor = "3";
inline constexpr std::string_view kKeyGraphColor = "4";
inline constexpr std::string_view kKeyFontColor = "5";
// "SPEED": the receive-lamp interval and the two grid counts.
inline constexpr std::string_view kKeyGraphSpeed = "1";
inline constexpr std::string_view kKeyGridCountY = "2";
inline constexpr std::string_view kKeyGridCountX = "3";
// "Einstellungen": the dots/line choice (the check box's number in the dialog).
inline constexpr std::string_view kKeyShowPixels = "3";

// Ranges of the numeric fields.
inline constexpr int kGraphSpeedMin = 100;
inline constexpr int kGraphSpeedMax = 2000;
inline constexpr int kGridCountMin = 3;
inline constexpr int kGridCountMax = 20;

}  // namespace qv::setup
