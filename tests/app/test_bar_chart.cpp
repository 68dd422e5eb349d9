// The bar chart at the start size of the window, and at the limits of its inputs.
#include <gtest/gtest.h>

#include "DisplaysTestSupport.h"

using namespace qvtest;

namespace {

constexpr QRgb kBlack = 0xFF000000u, kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu, kLime = 0xFF00FF00u,
               kYellow = 0xFFFFFF00u;
const QString kWarning = QStringLiteral("ACHTUNG \u00DCBERDRUCK!");

class BarChart : public ::testing::Test {
 protected:
  void SetUp() override {
    qv::InstallFontSubstitutions();
    state.MAXIMA = {350, 340, 360, 345};
  }
  // The chart of the start size: BALKENDIAGRAMM(0, 60, W - 10, H - 155).
  const QImage& Draw(int bottom = 445) {
    displays.BALKENDIAGRAMM(0, 60, 790, bottom, TDisplayInputs{state, settings, connected, {}}, window);
    return displays.BackBuffer();
  }
  int WarningPixels(const QImage& bm) { return CountColor(bm, kRed, QRect(20, 60, 700, 70)); }

  TMeasurement state;
  TestSettings settings;
  bool connected = false;
  TDisplays displays;
  QImage window = Window(800, 600);
};

}  // namespace

TEST_F(BarChart, WorkedExampleAxesBarsAndCopy) {
  const QImage& bm = Draw();
  ASSERT_EQ(bm.size(), QSize(790, 385));
  EXPECT_EQ(Px(bm, 10, 300), Rgb(kAxis));
  EXPECT_EQ(Px(bm, 10, 379), Rgb(kAxis));
  EXPECT_EQ(Px(bm, 10, 380), Rgb(kBack));
  EXPECT_EQ(Px(bm, 4, 375), Rgb(kBack));
  EXPECT_EQ(Px(bm, 5, 375), Rgb(kAxis));
  EXPECT_EQ(Px(bm, 789, 375), Rgb(kAxis));
  // Row 202 holds the centre line and the base line: grid colour where a bar
  // has no height or no bar stands, the black outline of the bars falling from it.
  for (int x = 5; x < 790; ++x) {
    const bool outline = (x >= 212 && x < 394) || (x >= 596 && x < 778);
    const QRgb got = Px(bm, x, 202);
    if (got != kWhite) {  // white: a digit
      EXPECT_EQ(got, outline ? kBlack : Rgb(kGrid)) << "x=" << x;
    }
  }
  // Blue falls 10 rows, lime rises 10, yellow falls 5; red has no height.
  EXPECT_EQ(Px(bm, 360, 207), kBlue);
  EXPECT_EQ(Px(bm, 212, 207), kBlack);
  EXPECT_EQ(Px(bm, 393, 207), kBlack);
  EXPECT_EQ(Px(bm, 394, 207), Rgb(kBack));
  EXPECT_EQ(Px(bm, 350, 211), kBlack);
  EXPECT_EQ(Px(bm, 350, 212), Rgb(kBack));
  EXPECT_EQ(Px(bm, 560, 195), kLime);
  EXPECT_EQ(Px(bm, 560, 192), kBlack);
  EXPECT_EQ(Px(bm, 560, 191), Rgb(kBack));
  EXPECT_EQ(Px(bm, 404, 195), kBlack);
  EXPECT_EQ(Px(bm, 585, 195), kBlack);
  EXPECT_EQ(Px(bm, 740, 204), kYellow);
  EXPECT_EQ(Px(bm, 740, 206), kBlack);
  EXPECT_EQ(Px(bm, 740, 207), Rgb(kBack));
  EXPECT_EQ(CountColor(bm, kRed), 0);
  // Unpainted first row, first column and last two columns show the resize fill.
  EXPECT_EQ(Px(bm, 0, 0), Rgb(kBack));
  EXPECT_EQ(Px(bm, 788, 100), Rgb(kBack));
  EXPECT_EQ(Px(bm, 789, 100), Rgb(kBack));
  EXPECT_EQ(window.copy(0, 60, 790, 385), bm);
  EXPECT_EQ(Px(window, 0, 59), kSentinel);
  EXPECT_EQ(Px(window, 790, 100), kSentinel);
}

TEST_F(BarChart, LabelsAndDigitsStandWhereTheyShould) {
  const QImage& bm = Draw();
  // The label lines, drawn alone on BackColor cells at their places.
  QImage labels(790, 385, QImage::Format_RGB32);
  labels.fill(Rgb(kBack));
  TCanvas canvas(labels);
  canvas.SetFontName(QStringLiteral("Arial"));
  canvas.SetFontBold(true);
  canvas.SetFontSize(12);
  canvas.SetFontColor(kFont);
  canvas.SetBrushColor(kBack);
  const char* values[] = {"-250", "-240", "-260", "-245"};
  for (int c = 0; c < 4; ++c) {
    canvas.TextOut(71 + 192 * c, 1, QStringLiteral("Channel-%1").arg(c + 1));
    canvas.TextOut(71 + 192 * c, 18, QStringLiteral("Max: %1 mBar").arg(QLatin1String(values[c])));
  }
  EXPECT_EQ(bm.copy(11, 0, 779, 40), labels.copy(11, 0, 779, 40));
  // The white digits: all their pixels, nothing else white, nothing above y = 142.
  int white = 0;
  for (int c = 0; c < 4; ++c) {
    const QImage digit = TextAlone(790, 385, 81 + 192 * c, 142, QString::number(c + 1), 80, clWhite);
    white += CountColor(digit, kWhite);
    for (int y = 0; y < 385; ++y)
      for (int x = 81 + 192 * c; x < 81 + 192 * c + 80; ++x)
        if (Px(digit, x, y) == kWhite) {
          ASSERT_EQ(Px(bm, x, y), kWhite) << x << "," << y;
        }
  }
  EXPECT_GT(white, 4 * 300);
  EXPECT_EQ(CountColor(bm, kWhite), white);
  EXPECT_EQ(CountColor(bm, kWhite, QRect(0, 0, 790, 142)), 0);
}

TEST_F(BarChart, OverpressureWarningOnlyWhileConnectedAndBelow95) {
  state.MAXIMA = {95, 95, 95, 95};
  connected = true;
  EXPECT_EQ(WarningPixels(Draw()), 0);
  const QImage text = TextAlone(790, 385, 20, 60, kWarning, 40, clRed);
  for (int c = 0; c < 4; ++c) {
    state.MAXIMA = {95, 95, 95, 95};
    state.MAXIMA[c] = 94;
    connected = true;
    const QImage& bm = Draw();
    EXPECT_EQ(WarningPixels(bm), CountColor(text, kRed)) << c;
    for (int y = 60; y < 130; ++y)
      for (int x = 20; x < 720; ++x)
        if (Px(text, x, y) == kRed) {
          ASSERT_EQ(Px(bm, x, y), kRed);
        }
    connected = false;
    EXPECT_EQ(WarningPixels(Draw()), 0) << c;
  }
  // Before the first maxima record: all zero, D = 100, the warning once connected.
  state.MAXIMA = {0, 0, 0, 0};
  connected = true;
  const QImage& bm = Draw();
  EXPECT_GT(WarningPixels(bm), 0);
  QImage label(790, 60, QImage::Format_RGB32);
  label.fill(Rgb(kBack));
  TCanvas canvas(label);
  canvas.SetFontName(QStringLiteral("Arial"));
  canvas.SetFontBold(true);
  canvas.SetFontSize(12);
  canvas.SetFontColor(kFont);
  canvas.SetBrushColor(kBack);
  canvas.TextOut(71, 18, QStringLiteral("Max: 100 mBar"));
  EXPECT_EQ(bm.copy(30, 18, 170, 20), label.copy(30, 18, 170, 20));
}

TEST_F(BarChart, ScaleKeepsOnePixelPerUnitUntilTheSpreadExceedsTheHeight) {
  state.MAXIMA = {0, 385, 0, 0};  // s = bh: k = 1, the blue bar rises to row 9
  const QImage& fits = Draw();
  EXPECT_EQ(Px(fits, 215, 9), kBlack);
  EXPECT_EQ(Px(fits, 215, 8), Rgb(kBack));
  EXPECT_EQ(Px(fits, 300, 50), kBlue);
  EXPECT_NE(Px(fits, 300, 20), kBlue);  // hidden by its own label lines
  state.MAXIMA = {0, 386, 0, 0};        // s = bh + 1: scaled down by 385 / 386
  const QImage& scaled = Draw();
  EXPECT_EQ(Px(scaled, 215, 10), kBlack);
  EXPECT_EQ(Px(scaled, 215, 9), Rgb(kBack));
  EXPECT_EQ(Px(scaled, 150, 384), kRed);  // the red bar runs out at the bottom edge
  state.MAXIMA = {300, 300, 300, 300};    // no spread: four bars of no height
  const QImage& flat = Draw();
  for (const QRgb c : {kBlack, kRed, kBlue, kLime, kYellow}) EXPECT_EQ(CountColor(flat, c), 0);
}

TEST_F(BarChart, BaseLineRowForOddAndEvenHeightsAndWithoutCentreLine) {
  for (const int bottom : {444, 445}) {  // bh = 384 and 385
    const QImage& bm = Draw(bottom);
    EXPECT_EQ(Px(bm, 15, 202), Rgb(kGrid)) << bottom;
    EXPECT_EQ(Px(bm, 560, 201), kBlack) << bottom;
    EXPECT_EQ(Px(bm, 560, 202), Rgb(kGrid)) << bottom;
  }
  for (const int count : {0, -1}) {
    settings.countY = count;
    const QImage& bm = Draw();
    EXPECT_EQ(CountColor(bm, Rgb(kGrid)), 0);
    EXPECT_EQ(Px(bm, 560, 201), kBlack);
    EXPECT_EQ(Px(bm, 560, 202), Rgb(kBack));
    EXPECT_EQ(Px(bm, 740, 202), kBlack);
  }
  EXPECT_EQ(state.SAMPLE_COUNT, 260);
}
