#pragma once
// The workshop view's pressure units: conversion from mBar, the resolution each
// unit is shown with, and the names used in files and on screen.
#include <optional>
#include <string_view>

#include "WorkshopReading.h"

namespace qv::workshop {

inline constexpr Unit kAllUnits[] = {Unit::MilliBar, Unit::HectoPascal,  Unit::KiloPascal,
                                     Unit::InchHg,   Unit::CentimetreHg, Unit::MillimetreHg};

// How many of the unit one mBar is.
[[nodiscard]] double PerMilliBar(Unit u);
[[nodiscard]] double FromMilliBar(double mbar, Unit u);
[[nodiscard]] double ToMilliBar(double value, Unit u);

// Decimals a value is shown with: about one step per mBar, the device's resolution.
[[nodiscard]] int Decimals(Unit u);

// The value rounded to the resolution it is shown with, so that decisions on
// it (the band) agree with what the mechanic reads.
[[nodiscard]] double RoundToDisplay(double value, Unit u);

// The unit's label on screen: "mBar", "hPa", "kPa", "inHg", "cmHg", "mmHg".
[[nodiscard]] std::string_view UnitLabel(Unit u);

// The unit's name in the settings file ("mbar", "hpa", ...), and back.
[[nodiscard]] std::string_view UnitKey(Unit u);
[[nodiscard]] std::optional<Unit> UnitFromKey(std::string_view key);

}  // namespace qv::workshop
