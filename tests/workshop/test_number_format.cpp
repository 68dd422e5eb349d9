#include <gtest/gtest.h>

#include <limits>

#include "NumberFormat.h"

namespace qv::workshop {
namespace {

TEST(WorkshopNumberFormat, RoundsToTheUnitsDecimalsWithTheGivenSeparator) {
  EXPECT_EQ(FormatValue(-248.75, Unit::MilliBar), "-249");
  EXPECT_EQ(FormatValue(8.75, Unit::MilliBar, {.withSign = true}), "+9");
  EXPECT_EQ(FormatValue(-24.875, Unit::KiloPascal, {.decimalSeparator = ","}), "-24,9");
  EXPECT_EQ(FormatValue(0.05, Unit::KiloPascal, {.decimalSeparator = ","}), "0,1");
  EXPECT_EQ(FormatValue(-7.382, Unit::InchHg, {.decimalSeparator = "."}), "-7.38");
  EXPECT_EQ(FormatValue(0.0295, Unit::InchHg, {.decimalSeparator = ","}), "0,03");
  EXPECT_EQ(FormatValue(1.0, Unit::InchHg), "1.00");
  EXPECT_EQ(FormatValue(0.8, Unit::MilliBar, {.decimalSeparator = ",", .extraDecimals = 1}), "0,8");
  EXPECT_EQ(FormatValue(14.2, Unit::MilliBar, {.withSign = true, .withUnit = true}), "+14 mBar");
  EXPECT_EQ(FormatValue(-1.06, Unit::CentimetreHg, {.withUnit = true}), "-1.1 cmHg");
}

TEST(WorkshopNumberFormat, ZeroNeverCarriesASign) {
  for (double v : {0.0, -0.0, -0.4, 0.4, -0.0049}) {
    EXPECT_EQ(FormatValue(v, Unit::MilliBar, {.withSign = true}), "0") << v;
    EXPECT_EQ(FormatValue(v, Unit::MilliBar), "0") << v;
  }
  EXPECT_EQ(FormatValue(-0.004, Unit::InchHg, {.withSign = true}), "0.00");
  EXPECT_EQ(FormatValue(-0.04, Unit::KiloPascal, {.decimalSeparator = ","}), "0,0");
  // Halves round away from zero, and the sign follows the rounded value.
  EXPECT_EQ(FormatValue(-0.5, Unit::MilliBar, {.withSign = true}), "-1");
  EXPECT_EQ(FormatValue(0.5, Unit::MilliBar, {.withSign = true}), "+1");
}

TEST(WorkshopNumberFormat, NegativeValuesNeverGetAPlusAsWell) {
  for (double v : {-0.6, -1.0, -14.0, -65435.0}) {
    const std::string s = FormatValue(v, Unit::MilliBar, {.withSign = true});
    EXPECT_EQ(s.find('+'), std::string::npos) << s;
    EXPECT_EQ(s.front(), '-') << s;
  }
}

TEST(WorkshopNumberFormat, TheMinusSignCanBeTheRealOne) {
  const NumberStyle screen{.decimalSeparator = ",", .withSign = true, .minus = "\u2212"};
  EXPECT_EQ(FormatValue(-11.25, Unit::MilliBar, screen), "\u221211");
  EXPECT_EQ(FormatValue(-0.3, Unit::MilliBar, screen), "0");
  EXPECT_EQ(FormatValue(0.375, Unit::KiloPascal, screen), "+0,4");
}

TEST(WorkshopNumberFormat, HostileValuesGiveBoundedTexts) {
  EXPECT_EQ(FormatValue(std::numeric_limits<double>::quiet_NaN(), Unit::MilliBar), "--");
  EXPECT_EQ(FormatValue(std::numeric_limits<double>::infinity(), Unit::MilliBar), "--");
  EXPECT_EQ(FormatValue(1e300, Unit::MilliBar), "1000000000");
  EXPECT_EQ(FormatValue(-1e300, Unit::InchHg), "-1000000000.00");
  EXPECT_EQ(FormatValue(-65435, Unit::MilliBar), "-65435");
  EXPECT_EQ(FormatValue(1.5, Unit::MilliBar, {.extraDecimals = 40}), "1.500000");
}

}  // namespace
}  // namespace qv::workshop
