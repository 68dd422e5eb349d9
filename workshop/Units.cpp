#include "Units.h"

#include <cmath>

namespace qv::workshop {
namespace {

struct UnitInfo {
  Unit unit;
  double per_mbar;
  int decimals;
  std::string_view label;
  std::string_view key;
};

// 1 mbar = 1 hPa = 0.1 kPa = 0.0295300 inHg = 0.0750062 cmHg = 0.750062 mmHg.
constexpr UnitInfo kUnits[] = {
    {Unit::MilliBar, 1.0, 0, "mBar", "mbar"},           {Unit::HectoPascal, 1.0, 0, "hPa", "hpa"},
    {Unit::KiloPascal, 0.1, 1, "kPa", "kpa"},           {Unit::InchHg, 0.0295300, 2, "inHg", "inhg"},
    {Unit::CentimetreHg, 0.0750062, 1, "cmHg", "cmhg"}, {Unit::MillimetreHg, 0.750062, 0, "mmHg", "mmhg"},
};

const UnitInfo& Info(Unit u) {
  for (const UnitInfo& i : kUnits)
    if (i.unit == u) return i;
  return kUnits[0];
}

}  // namespace

double PerMilliBar(Unit u) { return Info(u).per_mbar; }
double FromMilliBar(double mbar, Unit u) { return mbar * Info(u).per_mbar; }
double ToMilliBar(double value, Unit u) { return value / Info(u).per_mbar; }
int Decimals(Unit u) { return Info(u).decimals; }

double RoundToDisplay(double value, Unit u) {
  const double scale = std::pow(10.0, Info(u).decimals);
  const double r = std::round(value * scale) / scale;
  return r == 0.0 ? 0.0 : r;  // no negative zero
}

std::string_view UnitLabel(Unit u) { return Info(u).label; }
std::string_view UnitKey(Unit u) { return Info(u).key; }

std::optional<Unit> UnitFromKey(std::string_view key) {
  for (const UnitInfo& i : kUnits)
    if (i.key == key) return i.unit;
  return std::nullopt;
}

}  // namespace qv::workshop
