#include "NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "Units.h"

namespace qv::workshop {
namespace {

constexpr double kLargest = 1e9;
constexpr int kMaxDecimals = 6;

}  // namespace

std::string FormatValue(double value, Unit unit, const NumberStyle& style) {
  if (!std::isfinite(value)) return "--";
  const int decimals = std::clamp(Decimals(unit) + style.extraDecimals, 0, kMaxDecimals);
  std::int64_t scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  const double bounded = std::clamp(value, -kLargest, kLargest);
  const std::int64_t steps = std::llround(bounded * static_cast<double>(scale));
  const std::uint64_t magnitude = static_cast<std::uint64_t>(steps < 0 ? -steps : steps);

  std::string out;
  if (steps < 0) out += style.minus;
  if (steps > 0 && style.withSign) out += '+';
  out += std::to_string(magnitude / static_cast<std::uint64_t>(scale));
  if (decimals > 0) {
    std::string frac = std::to_string(magnitude % static_cast<std::uint64_t>(scale));
    out += style.decimalSeparator;
    out += std::string(static_cast<std::size_t>(decimals) - frac.size(), '0') + frac;
  }
  if (style.withUnit) {
    out += ' ';
    out += UnitLabel(unit);
  }
  return out;
}

}  // namespace qv::workshop
