#include "GuardTexts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "NumberFormat.h"
#include "Units.h"

namespace qv::guard {
namespace {

using enum GuardTextId;

// One line per text: German, then English.
constexpr CatalogueEntry<GuardTextId> kTexts[] = {
    {kRunning, "Motor läuft: %1", "Engine running: %1"},
    {kNotice, "Der Motor läuft seit %1 Minuten im Leerlauf. Temperatur und Lüfter prüfen oder eine Pause einlegen.",
     "The engine has idled for %1 minutes. Check its temperature and fan, or pause."},
    {kNoticeOne, "Der Motor läuft seit 1 Minute im Leerlauf. Temperatur und Lüfter prüfen oder eine Pause einlegen.",
     "The engine has idled for 1 minute. Check its temperature and fan, or pause."},
    {kDismiss, "Ausblenden", "Dismiss"},
    {kDrift, "Leerlauf driftet: %1 in %2 min", "Idle drifting: %1 in %2 min"},
    {kAccRunning, "Motorlaufzeit", "Engine running time"},
    {kAccNotice, "Motorhinweis", "Engine notice"},
    {kAccDrift, "Leerlaufdrift", "Idle drift"},
    {kNoticeAfter, "Motorhinweis nach", "Engine notice after"},
    {kNoticeAfterTip, "Nach wie langem Leerlauf der Hinweis auf Temperatur und Lüfter erscheint",
     "After how long at idle the notice about temperature and fan shows"},
    {kMinutes, "%1 min", "%1 min"},
};
static_assert(InIdOrder(kTexts));

long WholeSeconds(double seconds) {
  return std::isfinite(seconds) && seconds > 0 ? static_cast<long>(std::min(seconds, 1e9)) : 0;
}

}  // namespace

std::string_view Text(GuardTextId id, Language lang) { return CatalogueText(kTexts, id, lang); }

std::string DurationText(double seconds) {
  const long s = WholeSeconds(seconds);
  char buf[32];
  if (s < 3600)
    std::snprintf(buf, sizeof buf, "%ld:%02ld", s / 60, s % 60);
  else
    std::snprintf(buf, sizeof buf, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
  return buf;
}

std::string RunningText(double seconds, Language lang) {
  return FillText(Text(kRunning, lang), {DurationText(seconds)});
}

std::string NoticeText(double seconds, Language lang) {
  const long minutes = WholeSeconds(seconds) / 60;
  if (minutes == 1) return std::string(Text(kNoticeOne, lang));
  return FillText(Text(kNotice, lang), {std::to_string(minutes)});
}

std::string DriftText(const Drift& drift, Language lang, workshop::Unit unit, std::string_view decimalSeparator,
                      std::string_view minus) {
  workshop::NumberStyle style;
  style.decimalSeparator = decimalSeparator;
  style.withSign = true;
  style.withUnit = true;
  style.minus = minus;
  const std::string value = workshop::FormatValue(workshop::FromMilliBar(drift.mbar, unit), unit, style);
  const long minutes = std::max(1L, std::lround(std::isfinite(drift.seconds) ? drift.seconds / 60 : 0));
  return FillText(Text(kDrift, lang), {value, std::to_string(minutes)});
}

}  // namespace qv::guard
