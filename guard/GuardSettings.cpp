#include "GuardSettings.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace qv::guard {
namespace {

std::optional<double> ParseNumber(const std::string& text, double low, double high) {
  double v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v) || v < low || v > high)
    return std::nullopt;
  return v;
}

std::string Number(double v) {
  char buf[32];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return ec == std::errc() ? std::string(buf, end) : "0";
}

}  // namespace

std::string ReadGuardSettings(const IniText& ini, GuardSettings& s) {
  GuardSettings next = s;
  struct Key {
    std::string_view name;
    double low, high, scale;
    double* target;
  };
  const Key keys[] = {{kEngineNotice, 1, 120, 60, &next.noticeAfterSeconds},
                      {kDriftWindow, 1, 30, 60, &next.driftWindowSeconds},
                      {kDriftThreshold, 1, 100, 1, &next.driftThresholdMbar}};
  for (const Key& k : keys) {
    const auto v = ini.Get(kGuardSection, k.name);
    if (!v) continue;
    const auto n = ParseNumber(*v, k.low, k.high);
    if (!n) return std::string(k.name) + "=" + v->substr(0, 40);
    *k.target = *n * k.scale;
  }
  // A short window keeps its third as the least span a drift is taken from.
  next.driftMinSeconds = std::min(GuardSettings{}.driftMinSeconds, next.driftWindowSeconds / 3);
  s = next;
  return "";
}

void WriteGuardSettings(const GuardSettings& s, IniText& ini) {
  ini.Set(kGuardSection, kEngineNotice, Number(s.noticeAfterSeconds / 60));
  ini.Set(kGuardSection, kDriftWindow, Number(s.driftWindowSeconds / 60));
  ini.Set(kGuardSection, kDriftThreshold, Number(s.driftThresholdMbar));
}

}  // namespace qv::guard
