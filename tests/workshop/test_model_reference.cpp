// References, pair mode, units, bands and the automatic zoom on fixed values.
#include <gtest/gtest.h>

#include <cmath>

#include "ModelFeeder.h"

namespace qv::workshop {
namespace {

using test::kExample;
using test::ModelFeeder;

struct Expected {
  ModelSettings settings;
  std::array<double, 4> difference;
  double reference;
  int worst;
};

Reading ExampleReading(ModelSettings s) {
  s.dampingSeconds = 0;
  WorkshopModel model(s);
  ModelFeeder f{model};
  f.Open();
  f.Frame(kExample);
  return model.Current();
}

TEST(WorkshopModelReference, EachReferenceOnTheWorkedExample) {
  const Expected cases[] = {
      {{.reference = ReferenceKind::Mean}, {-1.25, 8.75, -11.25, 3.75}, -248.75, 2},
      {{.reference = ReferenceKind::Midpoint}, {0, 10, -10, 5}, -250, 1},
      {{.reference = ReferenceKind::Cylinder, .referenceCylinder = 1}, {-10, 0, -20, -5}, -240, 2},
      {{.reference = ReferenceKind::Cylinder, .referenceCylinder = 3}, {-5, 5, -15, 0}, -245, 2},
  };
  for (const Expected& e : cases) {
    const Reading r = ExampleReading(e.settings);
    SCOPED_TRACE(static_cast<int>(e.settings.reference));
    ASSERT_EQ(r.status, Status::Live);
    EXPECT_EQ(r.channelCount, 4);
    EXPECT_DOUBLE_EQ(r.reference, e.reference);
    EXPECT_EQ(r.worstChannel, e.worst);
    const double absolute[] = {-250, -240, -260, -245};
    for (int c = 0; c < 4; ++c) {
      EXPECT_DOUBLE_EQ(r.channels[c].absolute, absolute[c]) << c;
      EXPECT_DOUBLE_EQ(r.channels[c].difference, e.difference[c]) << c;
    }
  }
}

TEST(WorkshopModelReference, PairModeComparesTheMeansOfOneAndTwoWithThreeAndFour) {
  // Pairs: (-250 - 240) / 2 = -245 and (-260 - 245) / 2 = -252.5.
  const Expected cases[] = {
      {{.reference = ReferenceKind::Mean, .pairMode = true}, {3.75, -3.75}, -248.75, 0},
      {{.reference = ReferenceKind::Midpoint, .pairMode = true}, {3.75, -3.75}, -248.75, 0},
      {{.reference = ReferenceKind::Cylinder, .referenceCylinder = 0, .pairMode = true}, {0, -7.5}, -245, 1},
      {{.reference = ReferenceKind::Cylinder, .referenceCylinder = 3, .pairMode = true}, {7.5, 0}, -252.5, 0},
  };
  for (const Expected& e : cases) {
    const Reading r = ExampleReading(e.settings);
    ASSERT_EQ(r.channelCount, 2);
    EXPECT_TRUE(r.pairMode);
    EXPECT_DOUBLE_EQ(r.channels[0].absolute, -245);
    EXPECT_DOUBLE_EQ(r.channels[1].absolute, -252.5);
    EXPECT_DOUBLE_EQ(r.channels[0].difference, e.difference[0]);
    EXPECT_DOUBLE_EQ(r.channels[1].difference, e.difference[1]);
    EXPECT_DOUBLE_EQ(r.reference, e.reference);
    EXPECT_EQ(r.worstChannel, e.worst);
    // The places beyond the two pairs stay empty.
    EXPECT_EQ(r.channels[2].absolute, 0);
    EXPECT_EQ(r.channels[3].difference, 0);
  }
}

TEST(WorkshopModelReference, ValuesAreConvertedToTheChosenUnit) {
  const Reading kpa = ExampleReading({.unit = Unit::KiloPascal});
  EXPECT_EQ(kpa.unit, Unit::KiloPascal);
  EXPECT_DOUBLE_EQ(kpa.channels[0].absolute, -25.0);
  EXPECT_DOUBLE_EQ(kpa.channels[1].difference, 0.875);
  EXPECT_DOUBLE_EQ(kpa.reference, -24.875);
  EXPECT_DOUBLE_EQ(kpa.tolerance, 1.0);
  const Reading inhg = ExampleReading({.unit = Unit::InchHg, .toleranceMbar = 20});
  EXPECT_NEAR(inhg.channels[2].absolute, -260 * 0.02953, 1e-12);
  EXPECT_NEAR(inhg.tolerance, 0.5906, 1e-12);
  const Reading mmhg = ExampleReading({.unit = Unit::MillimetreHg});
  EXPECT_NEAR(mmhg.channels[2].difference, -11.25 * 0.750062, 1e-12);
}

TEST(WorkshopModelReference, BandEdgesExactlyTheToleranceIsInside) {
  // Against cylinder 1 (D = -250): differences 0, +10, +20, -20.000... and +21.
  const Reading r = ExampleReading({.reference = ReferenceKind::Cylinder, .referenceCylinder = 0});
  EXPECT_EQ(r.channels[0].band, Band::Inside);  // 0
  EXPECT_EQ(r.channels[1].band, Band::Inside);  // +10: exactly the tolerance
  EXPECT_EQ(r.channels[2].band, Band::Inside);  // -10
  EXPECT_EQ(r.channels[3].band, Band::Inside);  // +5

  auto bands = [](const test::Maxima& m, ModelSettings s) {
    s.dampingSeconds = 0;
    s.reference = ReferenceKind::Cylinder;
    WorkshopModel model(s);
    ModelFeeder f{model};
    f.Open();
    f.Frame(m);
    std::array<Band, 4> b{};
    for (int c = 0; c < 4; ++c) b[c] = model.Current().channels[c].band;
    return b;
  };
  using enum Band;
  // Differences 0, -11, +20, -21 against tolerance 10.
  EXPECT_EQ(bands({350, 361, 330, 371}, {}), (std::array{Inside, Near, Near, Outside}));
  // The same in kPa: 1.0 is the tolerance, 1.1 beyond it, 2.0 the band's double.
  EXPECT_EQ(bands({350, 360, 330, 371}, {.unit = Unit::KiloPascal}), (std::array{Inside, Inside, Near, Outside}));
  // Tolerance 1 mBar: 1 inside, 2 near, 3 outside.
  EXPECT_EQ(bands({350, 349, 352, 347}, {.toleranceMbar = 1}), (std::array{Inside, Inside, Near, Outside}));
}

TEST(WorkshopModelReference, BandFollowsTheShownRounding) {
  // D = -240, -240, -240, -251 against their mean -242.75: the last is -8.25
  // off, shown as -8; inside a tolerance of 8, near for 7.
  auto last = [](double tolerance) {
    WorkshopModel model({.toleranceMbar = tolerance, .dampingSeconds = 0});
    ModelFeeder f{model};
    f.Open();
    f.Frame({340, 340, 340, 351});
    return model.Current().channels[3];
  };
  EXPECT_DOUBLE_EQ(last(11).difference, -8.25);
  EXPECT_EQ(last(11).band, Band::Inside);
  EXPECT_EQ(last(8).band, Band::Inside);
  EXPECT_EQ(last(7).band, Band::Near);
  EXPECT_EQ(last(4).band, Band::Near);  // 8 is exactly twice the band
  EXPECT_EQ(last(3).band, Band::Outside);
}

TEST(WorkshopModelReference, WorstChannelIsTheFurthestOffAndTheFirstOnATie) {
  const Reading mid = ExampleReading({.reference = ReferenceKind::Midpoint});
  EXPECT_EQ(mid.worstChannel, 1);  // +10 and -10: the first of the two
  const Reading ref = ExampleReading({.reference = ReferenceKind::Cylinder, .referenceCylinder = 2});
  EXPECT_EQ(ref.worstChannel, 1);  // +20
}

TEST(WorkshopModelReference, SettingsOutOfRangeAreBroughtIntoRange) {
  const ModelSettings s = Sanitised({.referenceCylinder = 7, .toleranceMbar = 500, .dampingSeconds = -1, .zoom = 7});
  EXPECT_EQ(s.referenceCylinder, 3);
  EXPECT_EQ(s.toleranceMbar, kMaxToleranceMbar);
  EXPECT_EQ(s.dampingSeconds, 0);
  EXPECT_EQ(s.zoom, 0);
  EXPECT_EQ(Sanitised({.toleranceMbar = 0.2}).toleranceMbar, kMinToleranceMbar);
  EXPECT_EQ(Sanitised({.toleranceMbar = std::nan("")}).toleranceMbar, 10);
  EXPECT_EQ(Sanitised({.zoom = 20}).zoom, 20);
}

TEST(WorkshopModelZoom, AutomaticPicksTheSmallestStepThatHoldsTheLargestDifference) {
  EXPECT_EQ(AutoFullScale(0, 5), 5);
  EXPECT_EQ(AutoFullScale(5, 5), 5);
  EXPECT_EQ(AutoFullScale(5.01, 5), 10);
  EXPECT_EQ(AutoFullScale(-11.25, 5), 20);
  EXPECT_EQ(AutoFullScale(99, 5), 100);
  EXPECT_EQ(AutoFullScale(65435, 5), 100);
  EXPECT_EQ(AutoFullScale(std::nan(""), 20), 5);
  // Going back to a finer step needs a fifth to spare.
  EXPECT_EQ(AutoFullScale(9, 20), 20);
  EXPECT_EQ(AutoFullScale(8, 20), 10);
  EXPECT_EQ(AutoFullScale(9, 100), 20);
  EXPECT_EQ(AutoFullScale(1, 100), 5);

  const Reading autoZoom = ExampleReading({});
  EXPECT_EQ(autoZoom.fullScale, 20);  // -11.25 is the largest
  const Reading fixed = ExampleReading({.zoom = 50});
  EXPECT_EQ(fixed.fullScale, 50);
  const Reading inches = ExampleReading({.unit = Unit::InchHg});
  EXPECT_EQ(inches.fullScale, 5);  // 0.33 inHg
}

}  // namespace
}  // namespace qv::workshop
