#include <gtest/gtest.h>

#include <set>
#include <string>

#include "WorkshopTexts.h"

namespace qv::workshop {
namespace {

constexpr Language kBoth[] = {Language::German, Language::English};

TEST(WorkshopTexts, EveryTextExistsInBothLanguages) {
  for (int i = 0; i < static_cast<int>(TextId::kCount); ++i) {
    const auto id = static_cast<TextId>(i);
    EXPECT_FALSE(Text(id, Language::German).empty()) << i;
    EXPECT_FALSE(Text(id, Language::English).empty()) << i;
    // Both languages take the same arguments.
    for (char n = '1'; n <= '9'; ++n) {
      const std::string p = std::string("%") + n;
      EXPECT_EQ(Text(id, Language::German).find(p) == std::string_view::npos,
                Text(id, Language::English).find(p) == std::string_view::npos)
          << i << " " << p;
    }
  }
  EXPECT_TRUE(Text(TextId::kCount, Language::German).empty());
}

TEST(WorkshopTexts, TheViewsKeyWords) {
  using enum TextId;
  const std::pair<TextId, std::pair<const char*, const char*>> cases[] = {
      {kInSync, {"SYNCHRON", "IN SYNC"}},
      {kNoScan, {"Kein Scan", "No scan"}},
      {kNoData, {"Keine Daten", "No data"}},
      {kZeroed, {"genullt", "zeroed"}},
      {kUnsteady, {"unruhig", "unsteady"}},
      {kHold, {"HOLD", "HOLD"}},
      {kZero, {"Nullabgleich", "Zero adjustment"}},
      {kZeroClear, {"Nullabgleich löschen", "Clear zero adjustment"}},
      {kConnectionLost, {"Verbindung verloren — warte auf das Gerät", "Connection lost — waiting for the device"}},
      {kWindowTitle, {"Werkstattansicht", "Workshop view"}},
      {kMean, {"Mittelwert", "Mean"}},
      {kMidpoint, {"Mitte", "Midpoint"}},
      {kDamping, {"Dämpfung", "Damping"}},
      {kZoomAuto, {"automatisch", "automatic"}},
      {kTheme, {"Tag/Nacht", "Day/Night"}},
      {kSnapshot, {"Schnappschuss", "Snapshot"}},
      {kHoldButton, {"Halten", "Hold"}},
  };
  for (const auto& [id, words] : cases) {
    EXPECT_EQ(Text(id, Language::German), words.first);
    EXPECT_EQ(Text(id, Language::English), words.second);
  }
  EXPECT_EQ(Format(TextId::kCylinderLong, Language::German, {"3"}), "Zylinder 3");
  EXPECT_EQ(Format(TextId::kSnapshotSaved, Language::English, {"/tmp/a.png"}), "Saved: /tmp/a.png");
  // A missing argument stays visible rather than vanishing.
  EXPECT_EQ(Format(TextId::kWorstCylinder, Language::German, {"3"}), "Zyl. 3: %2");
}

Reading Live() {
  Reading r;
  r.status = Status::Live;
  r.channels[0].difference = -1.25;
  r.channels[1].difference = 8.75;
  r.channels[2].difference = 14.2;
  r.channels[3].difference = 3.75;
  r.channels[2].band = Band::Outside;
  r.worstChannel = 2;
  return r;
}

TEST(WorkshopTexts, VerdictNamesTheCylinderFurthestOffWithItsSign) {
  Reading r = Live();
  EXPECT_EQ(VerdictText(r, Language::German, ","), "Zyl. 3: +14 mBar");
  EXPECT_EQ(VerdictText(r, Language::English, "."), "Cyl. 3: +14 mBar");
  r.channels[2].difference = -0.2;  // rounds to zero: no sign
  EXPECT_EQ(WorstChannelText(r, Language::German, ","), "Zyl. 3: 0 mBar");
  r.unit = Unit::KiloPascal;
  r.channels[2].difference = -1.26;
  EXPECT_EQ(VerdictText(r, Language::German, ","), "Zyl. 3: -1,3 kPa");
  r.inSync = true;
  EXPECT_EQ(VerdictText(r, Language::German, ","), "SYNCHRON");
  EXPECT_EQ(VerdictText(r, Language::English, ","), "IN SYNC");
  for (Language l : kBoth) {
    r.status = Status::NoScan;
    EXPECT_EQ(VerdictText(r, l, ","), Text(TextId::kNoScan, l));
    r.status = Status::NoData;
    EXPECT_EQ(VerdictText(r, l, ","), Text(TextId::kNoData, l));
    r.status = Status::Waiting;
    EXPECT_EQ(VerdictText(r, l, ","), Text(TextId::kWaiting, l));
  }
  Reading none = Live();
  none.worstChannel = -1;
  EXPECT_EQ(WorstChannelText(none, Language::German, ","), "");
  // All inside, not yet settled: no cylinder is blamed.
  Reading settling = Live();
  settling.channels[2].band = Band::Inside;
  EXPECT_EQ(VerdictText(settling, Language::German, ","), "Werte beruhigen sich …");
  EXPECT_EQ(VerdictText(settling, Language::English, ","), "Settling …");
  settling.channels[2].band = Band::Near;
  EXPECT_EQ(VerdictText(settling, Language::German, ","), "Zyl. 3: +14 mBar");
}

TEST(WorkshopTexts, ReferenceAndBandWords) {
  Reading r = Live();
  EXPECT_EQ(ReferenceLine(r, Language::German, ","), "Bezug: Mittelwert  ·  Toleranz ±10 mBar");
  r.unit = Unit::KiloPascal;
  r.tolerance = 0.75;
  r.referenceKind = ReferenceKind::Cylinder;
  r.referenceCylinder = 1;
  EXPECT_EQ(ReferenceLine(r, Language::English, "."), "Reference: Cylinder 2  ·  tolerance ±0.8 kPa");
  r.referenceKind = ReferenceKind::Midpoint;
  EXPECT_EQ(ReferenceName(r, Language::German), "Mitte");
  r.pairMode = true;
  EXPECT_EQ(ReferenceName(r, Language::German), "Paare 1+2 / 3+4");
  EXPECT_EQ(BandWord(Band::Inside, Language::German), "OK");
  EXPECT_EQ(BandWord(Band::Near, Language::German), "KNAPP");
  EXPECT_EQ(BandWord(Band::Outside, Language::English), "FAR");
}

TEST(WorkshopTexts, PairModeNamesThePair) {
  Reading r = Live();
  r.pairMode = true;
  r.channelCount = 2;
  r.worstChannel = 1;
  r.channels[1].difference = -7.5;
  r.channels[1].band = Band::Near;
  EXPECT_EQ(ChannelLabel(r, 0, Language::German), "Zyl. 1+2");
  EXPECT_EQ(VerdictText(r, Language::German, ","), "Zyl. 3+4: -8 mBar");
  r.worstChannel = 2;  // beyond the two pairs
  EXPECT_EQ(WorstChannelText(r, Language::German, ","), "");
}

TEST(WorkshopTexts, ZeroRefusalGivesTheSpreadInTheUnit) {
  const ZeroOutcome spread{ZeroOutcome::Refusal::kSpread, 63};
  EXPECT_EQ(ZeroOutcomeText(spread, Unit::MilliBar, Language::German, ","),
            "Nullabgleich abgelehnt: die vier Kanäle liegen 63 mBar auseinander, mehr als 50 mBar. Motor aus und "
            "alle Schläuche offen zur Luft?");
  const std::string kpa = ZeroOutcomeText(spread, Unit::KiloPascal, Language::English, ".");
  EXPECT_NE(kpa.find("6.3 kPa apart, more than 5.0 kPa"), std::string::npos) << kpa;
  EXPECT_EQ(ZeroOutcomeText({ZeroOutcome::Refusal::kNoData}, Unit::MilliBar, Language::English, "."),
            "Zero adjustment not possible: no current readings");
  EXPECT_EQ(ZeroOutcomeText({}, Unit::MilliBar, Language::English, "."), "");
}

}  // namespace
}  // namespace qv::workshop
