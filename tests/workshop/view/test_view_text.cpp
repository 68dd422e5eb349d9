// The view's numbers and words: units' decimals, the locale's separator,
// signs, and what is shown for values that are no numbers.
#include <gtest/gtest.h>

#include <cmath>

#include "RenderTestSupport.h"
#include "ViewText.h"

namespace {

using namespace qv::workshop;

TEST(ViewText, NumbersCarryTheUnitsDecimalsTheLocalesSeparatorAndARealMinus) {
  const ViewText de = ViewText::For(QLocale(QLocale::German, QLocale::Germany));
  const ViewText en = ViewText::For(QLocale(QLocale::English, QLocale::UnitedKingdom));
  EXPECT_EQ(de.Number(8.75, Unit::MilliBar, true), "+9");
  EXPECT_EQ(de.Number(-1.25, Unit::MilliBar, true), QString::fromUtf8("\u22121"));
  EXPECT_EQ(de.Number(-0.4, Unit::MilliBar, true), "0");  // no "-0" and no "+0"
  EXPECT_EQ(de.Number(1.25, Unit::KiloPascal, true), "+1,3");
  EXPECT_EQ(en.Number(1.25, Unit::KiloPascal, true), "+1.3");
  EXPECT_EQ(en.Number(0.2953, Unit::InchHg, false), "0.30");
  EXPECT_EQ(de.Number(-7.50062, Unit::MillimetreHg, true), QString::fromUtf8("\u22128"));
  EXPECT_EQ(de.Scatter(0.8, Unit::MilliBar), QString::fromUtf8("±0,8"));
  for (double bad : {std::nan(""), double(INFINITY), -double(INFINITY)}) {
    EXPECT_EQ(de.Number(bad, Unit::MilliBar, true), QString::fromUtf8("–"));
    EXPECT_FALSE(de.Scatter(bad, Unit::MilliBar).contains("nan", Qt::CaseInsensitive));
  }
}

TEST(ViewText, GermanByDefaultEnglishUnderAnEnglishLocale) {
  EXPECT_EQ(ViewLanguageOf(QLocale(QLocale::French)), ViewLanguage::German);
  EXPECT_EQ(ViewLanguageOf(QLocale(QLocale::English, QLocale::UnitedStates)), ViewLanguage::English);
  Reading r = wstest::Live(1, 2, 3, 4);
  const ViewText de = ViewText::For(QLocale(QLocale::German));
  const ViewText en = ViewText::For(QLocale(QLocale::English));
  EXPECT_EQ(de.Verdict(r), "SYNCHRON");
  EXPECT_EQ(en.Verdict(r), "IN SYNC");
  EXPECT_EQ(de.NoScan(), "Kein Scan");
  EXPECT_EQ(de.NoData(), "Keine Daten");
  EXPECT_EQ(en.NoData(), "No data");
}

TEST(ViewText, TheVerdictNamesTheWorstCylinderAndItsDirection) {
  const ViewText de = ViewText::For(QLocale(QLocale::German));
  Reading r = wstest::Live(1, 2, 14, -4);
  EXPECT_EQ(de.Verdict(r), "Zyl. 3: +14 mBar");
  r = wstest::Live(1, -22, 4, 5);
  EXPECT_EQ(de.Verdict(r), QString::fromUtf8("Zyl. 2: \u221222 mBar"));
  r.pairMode = true;
  r.channelCount = 2;
  r.worstChannel = 1;
  EXPECT_EQ(de.Verdict(r), QString::fromUtf8("Zyl. 3+4: \u221222 mBar"));
  // All inside but still scattering: no verdict yet, and no cylinder blamed.
  r = wstest::Live(1, 2, 3, 4);
  r.inSync = false;
  r.settled = false;
  EXPECT_FALSE(de.Verdict(r).contains("Zyl."));
  EXPECT_NE(de.Verdict(r), "SYNCHRON");
}

}  // namespace
