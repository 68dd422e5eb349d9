// The view's numbers and words, as it takes them from the workshop catalogue:
// units' decimals, the locale's separator, signs, what is shown for values
// that are no numbers, and the language chosen for a locale.
#include <gtest/gtest.h>

#include <cmath>

#include "RenderTestSupport.h"
#include "ViewLanguage.h"

namespace {

using namespace qv::workshop;

const QString kMinus = QString::fromUtf8("\u2212");

TEST(ViewLanguage, NumbersCarryTheUnitsDecimalsTheLocalesSeparatorAndARealMinus) {
  const ViewLanguage de = ViewLanguage::For(QLocale(QLocale::German, QLocale::Germany));
  const ViewLanguage en = ViewLanguage::For(QLocale(QLocale::English, QLocale::UnitedKingdom));
  EXPECT_EQ(de.Number(8.75, Unit::MilliBar, true), "+9");
  EXPECT_EQ(de.Number(-1.25, Unit::MilliBar, true), kMinus + "1");
  EXPECT_EQ(de.Number(-0.4, Unit::MilliBar, true), "0");  // no "-0" and no "+0"
  EXPECT_EQ(de.Number(1.25, Unit::KiloPascal, true), "+1,3");
  EXPECT_EQ(en.Number(1.25, Unit::KiloPascal, true), "+1.3");
  EXPECT_EQ(en.Number(0.2953, Unit::InchHg, false), "0.30");
  EXPECT_EQ(de.Number(-7.50062, Unit::MillimetreHg, true, true), kMinus + "8 mmHg");
  EXPECT_EQ(de.Scatter(0.8, Unit::MilliBar), QString::fromUtf8("±0,8"));
  EXPECT_EQ(en.Scatter(0.25, Unit::KiloPascal), QString::fromUtf8("±0.25"));
  for (double bad : {std::nan(""), double(INFINITY), -double(INFINITY)}) {
    EXPECT_EQ(de.Number(bad, Unit::MilliBar, true), "--");
    EXPECT_FALSE(de.Scatter(bad, Unit::MilliBar).contains("nan", Qt::CaseInsensitive));
    EXPECT_FALSE(de.Scatter(bad, Unit::MilliBar).contains("inf", Qt::CaseInsensitive));
  }
}

TEST(ViewLanguage, GermanByDefaultEnglishUnderAnEnglishLocale) {
  EXPECT_EQ(ViewLanguage::For(QLocale(QLocale::French)).language, Language::German);
  EXPECT_EQ(ViewLanguage::For(QLocale(QLocale::English, QLocale::UnitedStates)).language, Language::English);
  EXPECT_EQ(ViewLanguage::For(QLocale(QLocale::German, QLocale::Austria)).language, Language::German);
  const Reading r = wstest::Live(1, 2, 3, 4);
  const ViewLanguage de = ViewLanguage::For(QLocale(QLocale::German));
  const ViewLanguage en = ViewLanguage::For(QLocale(QLocale::English));
  EXPECT_EQ(de.Verdict(r), "SYNCHRON");
  EXPECT_EQ(en.Verdict(r), "IN SYNC");
  EXPECT_EQ(de.T(TextId::kNoScan), "Kein Scan");
  EXPECT_EQ(en.T(TextId::kNoData), "No data");
  EXPECT_EQ(de.Band(Band::Near), "KNAPP");
  EXPECT_EQ(en.Band(Band::Outside), "FAR");
  EXPECT_EQ(de.ReferenceLine(r), QString::fromUtf8("Bezug: Mittelwert  ·  Toleranz ±10 mBar"));
  EXPECT_EQ(en.ReferenceLine(r), QString::fromUtf8("Reference: Mean  ·  tolerance ±10 mBar"));
  EXPECT_EQ(de.F(TextId::kSnapshotCsvFailed, {"a.png", "voll"}),
            "Bild gespeichert (a.png), aber keine Zeile in der CSV-Datei: voll");
}

TEST(ViewLanguage, TheVerdictNamesTheWorstCylinderAndItsDirection) {
  const ViewLanguage de = ViewLanguage::For(QLocale(QLocale::German));
  const ViewLanguage en = ViewLanguage::For(QLocale(QLocale::English));
  Reading r = wstest::Live(1, 2, 14, -4);
  EXPECT_EQ(de.Verdict(r), "Zyl. 3: +14 mBar");
  EXPECT_EQ(en.Verdict(r), "Cyl. 3: +14 mBar");
  r = wstest::Live(1, -22, 4, 5);
  EXPECT_EQ(de.Verdict(r), "Zyl. 2: " + kMinus + "22 mBar");
  r.pairMode = true;
  r.channelCount = 2;
  r.worstChannel = 1;
  EXPECT_EQ(de.Verdict(r), "Zyl. 3+4: " + kMinus + "22 mBar");
  EXPECT_EQ(de.ChannelLongName(r, 0), "Zylinder 1+2");
  // All inside but still scattering: no verdict yet, and no cylinder blamed.
  r = wstest::Live(1, 2, 3, 4);
  r.inSync = false;
  r.settled = false;
  EXPECT_EQ(de.Verdict(r), QString::fromUtf8("Werte beruhigen sich …"));
  // Every status has its line.
  r.status = Status::NoScan;
  EXPECT_EQ(en.Verdict(r), "No scan");
  r.status = Status::Waiting;
  EXPECT_EQ(de.Verdict(r), QString::fromUtf8("Warte auf Messwerte …"));
}

}  // namespace
