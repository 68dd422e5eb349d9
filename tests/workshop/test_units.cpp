#include <gtest/gtest.h>

#include <cmath>

#include "Units.h"

namespace qv::workshop {
namespace {

TEST(WorkshopUnits, ConvertWithTheExactFactors) {
  EXPECT_DOUBLE_EQ(FromMilliBar(100, Unit::MilliBar), 100);
  EXPECT_DOUBLE_EQ(FromMilliBar(100, Unit::HectoPascal), 100);
  EXPECT_DOUBLE_EQ(FromMilliBar(100, Unit::KiloPascal), 10);
  EXPECT_DOUBLE_EQ(FromMilliBar(100, Unit::InchHg), 2.953);
  EXPECT_DOUBLE_EQ(FromMilliBar(100, Unit::CentimetreHg), 7.50062);
  EXPECT_DOUBLE_EQ(FromMilliBar(100, Unit::MillimetreHg), 75.0062);
  EXPECT_DOUBLE_EQ(FromMilliBar(-250, Unit::KiloPascal), -25);
  for (Unit u : kAllUnits) EXPECT_NEAR(ToMilliBar(FromMilliBar(-37.5, u), u), -37.5, 1e-12);
}

TEST(WorkshopUnits, ShowAboutOneStepPerMilliBar) {
  for (Unit u : kAllUnits) {
    const double step = std::pow(10.0, -Decimals(u));
    // One displayed step is between a third of an mBar and a few mBar.
    EXPECT_GE(ToMilliBar(step, u), 0.3) << UnitLabel(u);
    EXPECT_LE(ToMilliBar(step, u), 1.5) << UnitLabel(u);
  }
  EXPECT_EQ(Decimals(Unit::MilliBar), 0);
  EXPECT_EQ(Decimals(Unit::InchHg), 2);
}

TEST(WorkshopUnits, RoundToDisplayHalvesAwayFromZeroAndNeverGivesNegativeZero) {
  EXPECT_DOUBLE_EQ(RoundToDisplay(10.5, Unit::MilliBar), 11);
  EXPECT_DOUBLE_EQ(RoundToDisplay(-10.5, Unit::MilliBar), -11);
  EXPECT_DOUBLE_EQ(RoundToDisplay(0.29530, Unit::InchHg), 0.30);
  EXPECT_DOUBLE_EQ(RoundToDisplay(-1.25, Unit::KiloPascal), -1.3);
  const double z = RoundToDisplay(-0.4, Unit::MilliBar);
  EXPECT_EQ(z, 0.0);
  EXPECT_FALSE(std::signbit(z));
}

TEST(WorkshopUnits, KeysRoundTripAndUnknownKeysAreRefused) {
  for (Unit u : kAllUnits) {
    EXPECT_EQ(UnitFromKey(UnitKey(u)), u);
    EXPECT_FALSE(UnitLabel(u).empty());
  }
  EXPECT_FALSE(UnitFromKey("MBAR").has_value());
  EXPECT_FALSE(UnitFromKey("").has_value());
  EXPECT_FALSE(UnitFromKey("psi").has_value());
}

}  // namespace
}  // namespace qv::workshop
