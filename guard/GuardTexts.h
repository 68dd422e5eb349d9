#pragma once
// The engine guard's texts, in German (the default) and English.
#include <string>
#include <string_view>

#include "EngineGuard.h"
#include "TextCatalogue.h"
#include "WorkshopReading.h"

namespace qv::guard {

enum class GuardTextId {
  kRunning,     // "Motor läuft: %1"
  kNotice,      // the engine notice, %1 minutes
  kNoticeOne,   // the same for one minute
  kDismiss,     // the button that hides the notice
  kDrift,       // "Leerlauf driftet: %1 in %2 min"
  kAccRunning,  // accessible names
  kAccNotice,
  kAccDrift,
  kNoticeAfter,  // the menu of the notice's time
  kNoticeAfterTip,
  kMinutes,  // "%1 min"
};

[[nodiscard]] std::string_view Text(GuardTextId id, Language lang);

// "12:34" below an hour, "1:02:03" from then on.
[[nodiscard]] std::string DurationText(double seconds);
// "Motor läuft: 12:34".
[[nodiscard]] std::string RunningText(double seconds, Language lang);
// The notice for a run of `seconds` (whole minutes).
[[nodiscard]] std::string NoticeText(double seconds, Language lang);
// "Leerlauf driftet: −8 mBar in 3 min", in the view's unit; the screen passes
// its decimal separator and the real minus sign, U+2212.
[[nodiscard]] std::string DriftText(const Drift& drift, Language lang, workshop::Unit unit = workshop::Unit::MilliBar,
                                    std::string_view decimalSeparator = ",", std::string_view minus = "\u2212");

}  // namespace qv::guard
