// The canvas rules the displays rely on, checked pixel by pixel.
#include <gtest/gtest.h>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPalette>
#include <random>
#include <set>
#include <vector>

#include "DisplaysTestSupport.h"

using namespace qvtest;

namespace {

QImage Blank(int w = 40, int h = 40) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(kWhite);
  return image;
}

std::set<std::pair<int, int>> Lit(const QImage& image, QRgb color) {
  std::set<std::pair<int, int>> out;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (Px(image, x, y) == color) out.insert({x, y});
  return out;
}

}  // namespace

TEST(DrawMath, TruncTowardZeroAndSaturates) {
  EXPECT_EQ(qv::Trunc(2.9), 2);
  EXPECT_EQ(qv::Trunc(-2.9), -2);
  EXPECT_EQ(qv::Trunc(-0.5), 0);
  EXPECT_EQ(qv::Trunc(std::nan("")), 0);
  EXPECT_EQ(qv::Trunc(1e300), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(qv::Trunc(-1e300), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(qv::ClampCoord(std::int64_t{1} << 40), 1 << 30);
  EXPECT_EQ(qv::ClampCoord(-(std::int64_t{1} << 40)), -(1 << 30));
}

TEST(DrawMath, DistinctTruncMatchesThePlainLoop) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> step(-40.0, 40.0);
  for (int round = 0; round < 300; ++round) {
    const double s = round % 3 == 0 ? step(rng) / 1000.0 : step(rng);
    const std::int64_t first = round % 2, last = first + static_cast<std::int64_t>(rng() % 3000);
    std::vector<std::int64_t> plain, fast;
    for (std::int64_t i = first; i <= last; ++i) {
      const auto v = qv::Trunc(static_cast<double>(i) * s);
      if (plain.empty() || plain.back() != v) plain.push_back(v);
    }
    qv::ForEachDistinctTrunc(s, first, last, [&](std::int64_t v) { fast.push_back(v); });
    ASSERT_EQ(fast, plain) << "s=" << s << " last=" << last;
  }
  // A count far beyond the values: one call per distinct value only.
  int calls = 0;
  std::int64_t lastValue = -1;
  qv::ForEachDistinctTrunc(200.0 / 2147483647.0, 1, 2147483647, [&](std::int64_t v) { ++calls, lastValue = v; });
  EXPECT_EQ(calls, 201);
  EXPECT_EQ(lastValue, 200);
}

TEST(Canvas, PointsConvertAsAt96Dpi) {
  EXPECT_EQ(qv::PointsToPixels(7), 9);
  EXPECT_EQ(qv::PointsToPixels(8), 11);
  EXPECT_EQ(qv::PointsToPixels(12), 16);
  EXPECT_EQ(qv::PointsToPixels(40), 53);
  EXPECT_EQ(qv::PointsToPixels(80), 107);
}

TEST(Canvas, ColoursAreBgrWithSystemColoursFromThePalette) {
  EXPECT_EQ(qv::ColorToRgb(clRed), qRgb(255, 0, 0));
  EXPECT_EQ(qv::ColorToRgb(clBlue), qRgb(0, 0, 255));
  EXPECT_EQ(qv::ColorToRgb(0x00123456), qRgb(0x56, 0x34, 0x12));
  EXPECT_EQ(qv::ColorToRgb(clNone), qRgb(255, 255, 255));
  const QPalette saved = QGuiApplication::palette();
  QPalette palette = saved;
  palette.setColor(QPalette::Active, QPalette::Button, QColor(1, 2, 3));
  palette.setColor(QPalette::Active, QPalette::Highlight, QColor(4, 5, 6));
  QGuiApplication::setPalette(palette);
  EXPECT_EQ(qv::ColorToRgb(clBtnFace), qRgb(1, 2, 3));
  EXPECT_EQ(qv::ColorToRgb(clHighlight), qRgb(4, 5, 6));
  QGuiApplication::setPalette(saved);
  EXPECT_EQ(qv::ColorToRgb(static_cast<TColor>(0x800000FF)), qRgb(0, 0, 0));  // no such system colour
}

TEST(Canvas, LineExcludesItsEndPointInEveryDirection) {
  for (int dx = -1; dx <= 1; ++dx)
    for (int dy = -1; dy <= 1; ++dy) {
      QImage image = Blank();
      TCanvas canvas(image);
      canvas.MoveTo(20, 20);
      canvas.LineTo(20 + 6 * dx, 20 + 6 * dy);
      EXPECT_EQ(canvas.PenPos(), QPoint(20 + 6 * dx, 20 + 6 * dy));
      std::set<std::pair<int, int>> expected;
      if (dx != 0 || dy != 0)
        for (int i = 0; i < 6; ++i) expected.insert({20 + i * dx, 20 + i * dy});
      EXPECT_EQ(Lit(image, qRgb(0, 0, 0)), expected) << dx << "," << dy;
    }
}

TEST(Canvas, SlopedLinesHaveOnePixelPerStepAndClipExactly) {
  QImage image = Blank();
  TCanvas canvas(image);
  canvas.MoveTo(2, 30);
  canvas.LineTo(12, 33);  // shallow: one pixel per column 2..11, moving down by at most one
  const auto lit = Lit(image, qRgb(0, 0, 0));
  ASSERT_EQ(lit.size(), 10u);
  int x = 2, y = 30;
  for (const auto& [px, py] : lit) {
    EXPECT_EQ(px, x++);
    EXPECT_TRUE(py == y || py == y + 1);
    y = py;
  }
  EXPECT_EQ(lit.begin()->second, 30);
  // The visible part of a line reaching far outside equals the same line drawn
  // on a larger image, cropped.
  for (const QPoint to : {QPoint(900, -700), QPoint(-333, 1000), QPoint(61, -900000), QPoint(-1000000, 7)}) {
    QImage big = Blank(4000, 4000), small = Blank(40, 40);
    TCanvas a(big), b(small);
    a.MoveTo(2000 + 15, 2000 + 25);
    a.LineTo(2000 + to.x(), 2000 + to.y());
    b.MoveTo(15, 25);
    b.LineTo(to.x(), to.y());
    EXPECT_EQ(big.copy(2000, 2000, 40, 40), small) << to.x() << "," << to.y();
  }
}

TEST(Canvas, FillRectCoversHalfOpenRangeWithCornersInEitherOrder) {
  const QRect corners[] = {QRect(QPoint(5, 7), QPoint(12, 10)), QRect(QPoint(12, 7), QPoint(5, 10)),
                           QRect(QPoint(5, 10), QPoint(12, 7)), QRect(QPoint(12, 10), QPoint(5, 7))};
  for (const QRect& r : corners) {
    QImage image = Blank();
    TCanvas canvas(image);
    canvas.SetBrushColor(clRed);
    canvas.FillRect(r.left(), r.top(), r.right(), r.bottom());
    EXPECT_EQ(CountColor(image, qRgb(255, 0, 0)), 7 * 3);
    EXPECT_EQ(CountColor(image, qRgb(255, 0, 0), QRect(5, 7, 7, 3)), 7 * 3);
  }
  QImage image = Blank();
  TCanvas canvas(image);
  canvas.SetBrushColor(clRed);
  canvas.FillRect(-100, -100, 3, 2);  // clipped
  EXPECT_EQ(CountColor(image, qRgb(255, 0, 0)), 6);
  canvas.SetBrushStyle(TBrushStyle::bsClear);
  canvas.FillRect(10, 10, 20, 20);  // a clear brush fills nothing
  EXPECT_EQ(CountColor(image, qRgb(255, 0, 0)), 6);
}

TEST(Canvas, RectangleHasPenOutlineAndBrushInside) {
  for (const bool reversed : {false, true}) {
    QImage image = Blank();
    TCanvas canvas(image);
    canvas.SetPenColor(clBlack);
    canvas.SetBrushColor(clBlue);
    if (reversed)
      canvas.Rectangle(15, 12, 5, 4);
    else
      canvas.Rectangle(5, 4, 15, 12);
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) {
        const bool inside = x >= 5 && x < 15 && y >= 4 && y < 12;
        const bool border = inside && (x == 5 || x == 14 || y == 4 || y == 11);
        const QRgb want = border ? qRgb(0, 0, 0) : inside ? qRgb(0, 0, 255) : kWhite;
        ASSERT_EQ(Px(image, x, y), want) << x << "," << y;
      }
  }
  QImage image = Blank();
  TCanvas canvas(image);
  canvas.SetBrushColor(clBlue);
  canvas.Rectangle(5, 20, 30, 20);  // no height: nothing
  canvas.SetBrushStyle(TBrushStyle::bsClear);
  canvas.Rectangle(5, 4, 15, 12);  // clear brush: outline only
  EXPECT_EQ(CountColor(image, qRgb(0, 0, 0)), 2 * 10 + 2 * 6);
  EXPECT_EQ(CountColor(image, qRgb(0, 0, 255)), 0);
}

TEST(Canvas, TextCellIsFilledOnlyWhileTheBrushIsSolid) {
  qv::InstallFontSubstitutions();
  for (const bool solid : {true, false}) {
    QImage image = Blank(120, 40);
    TCanvas canvas(image);
    canvas.SetFontName(QStringLiteral("Arial"));
    canvas.SetFontSize(12);
    canvas.SetFontBold(true);
    canvas.SetFontColor(clNavy);
    canvas.SetBrushColor(clRed);
    if (!solid) canvas.SetBrushStyle(TBrushStyle::bsClear);
    const QString text = QStringLiteral("Max: 100");
    const int w = canvas.TextWidth(text), h = canvas.TextHeight();
    EXPECT_EQ(canvas.Font().pixelSize(), 16);
    canvas.TextOut(7, 5, text);
    const QRect cell(7, 5, w, h);
    EXPECT_GT(CountColor(image, Rgb(clNavy), cell), 20);
    EXPECT_EQ(CountColor(image, Rgb(clNavy)), CountColor(image, Rgb(clNavy), cell));  // glyphs stay in the cell
    const int cellPixels = w * h, glyphPixels = CountColor(image, Rgb(clNavy));
    EXPECT_EQ(CountColor(image, qRgb(255, 0, 0)), solid ? cellPixels - glyphPixels : 0);
    EXPECT_EQ(Px(image, 7, 5 + h - 1), solid ? qRgb(255, 0, 0) : kWhite);  // descent row of a text without descenders
  }
}

TEST(Canvas, StateSurvivesAnImageReplacementAndColourMakesBrushSolid) {
  QImage image = Blank();
  TCanvas canvas(image);
  canvas.SetPenColor(clRed);
  canvas.SetBrushColor(clBlue);
  canvas.SetBrushStyle(TBrushStyle::bsClear);
  canvas.SetFontName(QStringLiteral("Arial"));
  canvas.SetFontSize(40);
  canvas.MoveTo(3, 3);
  image = Blank(10, 10);  // as a resize does
  canvas.LineTo(3, 8);
  EXPECT_EQ(CountColor(image, qRgb(255, 0, 0)), 5);
  canvas.FillRect(0, 0, 2, 2);
  EXPECT_EQ(Px(image, 0, 0), kWhite);  // still clear
  EXPECT_EQ(canvas.FontSize(), 40);
  EXPECT_EQ(canvas.Font().pixelSize(), 53);
  canvas.SetBrushColor(clBlue);
  EXPECT_EQ(canvas.BrushStyle(), TBrushStyle::bsSolid);
  canvas.FillRect(0, 0, 2, 2);
  EXPECT_EQ(Px(image, 0, 0), qRgb(0, 0, 255));
}

TEST(Canvas, FontNamesMapToDesktopFonts) {
  qv::InstallFontSubstitutions();
  EXPECT_EQ(QFontInfo(QFont(QStringLiteral("Arial"))).family(), QStringLiteral("Liberation Sans"));
  const QString sans = QFont::substitute(QStringLiteral("MS Sans Serif"));
  EXPECT_NE(sans, QStringLiteral("MS Sans Serif"));
  EXPECT_FALSE(sans.isEmpty());
}
