// The workshop view's drawing on QImages: where the numbers and bars go,
// their colours for each band, and the marks and messages of every state.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "GlyphCache.h"
#include "RenderTestSupport.h"
#include "WorkshopRenderer.h"

namespace {

using namespace qv::workshop;
using wstest::At;
using wstest::Count;
using wstest::CountOther;
using wstest::Ink;
using wstest::Live;

struct Target {
  QSize size;  // logical
  double dpr;
};

class Drawing : public ::testing::TestWithParam<Target> {
 protected:
  QImage Draw(const Reading& r, ThemeKind theme = ThemeKind::Day) {
    const Target t = GetParam();
    QImage image((QSizeF(t.size) * t.dpr).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(t.dpr);
    renderer.SetTheme(theme);
    renderer.Paint(image, r);
    return image;
  }
  const WorkshopLayout& L() const { return renderer.Layout(); }
  const Palette& T() const { return renderer.Colours(); }
  WorkshopRenderer renderer;
};

TEST_P(Drawing, EachCylindersBarReachesItsValueInItsBandColour) {
  // +5 inside, -15 near, +18 far (tolerance 10), -30 beyond full scale 20.
  const Reading r = Live(5, -15, 25, -30);
  const QImage image = Draw(r);
  const QColor colours[4] = {T().green, T().amber, T().red, T().red};
  for (int c = 0; c < 4; ++c) {
    const ChannelLayout& l = L().channels[static_cast<std::size_t>(c)];
    const double half = l.bar.height() / 2;
    const double v = std::clamp(r.channels[static_cast<std::size_t>(c)].difference / r.fullScale, -1.0, 1.0);
    const double end = l.zeroY - v * half;
    const double x = l.bar.center().x();
    // Halfway between the zero line and the bar's end: the bar's colour.
    EXPECT_EQ(At(image, {x, (l.zeroY + end) / 2}), colours[c]) << "cylinder " << c + 1;
    // A little past the end (on the other side of zero too): not the bar.
    const double past = end - (v > 0 ? 1 : -1) * half * 0.1;
    if (std::fabs(v) < 1) {
      EXPECT_NE(At(image, {x, past}), colours[c]) << "cylinder " << c + 1;
    }
    const double mirror = l.zeroY + (l.zeroY - end) / 2;
    EXPECT_NE(At(image, {x, mirror}), colours[c]) << "cylinder " << c + 1;
    // The zero line crosses the bar in the text colour.
    EXPECT_EQ(At(image, {l.bar.left() + 1, l.zeroY}), T().text);
  }
}

TEST_P(Drawing, TheLargeNumbersAreASixthOfTheHeightInsideTheirBox) {
  const Reading r = Live(4, -6, 8, -3);
  const QImage image = Draw(r);
  const double dpr = GetParam().dpr;
  const double h = GetParam().size.height();
  for (int c = 0; c < 4; ++c) {
    const ChannelLayout& l = L().channels[static_cast<std::size_t>(c)];
    const QRect ink = Ink(image, l.number, T().green);
    ASSERT_FALSE(ink.isEmpty()) << "cylinder " << c + 1;
    // Digits and sign: about a sixth of the window's height, allowing for the
    // narrowing that a wide number would need.
    EXPECT_GT(ink.height(), h * dpr / 6 * 0.8) << "cylinder " << c + 1;
    EXPECT_LT(ink.height(), h * dpr / 6 * 1.15) << "cylinder " << c + 1;
    // Centred in its column.
    EXPECT_NEAR(ink.center().x(), l.number.center().x() * dpr, l.number.width() * dpr * 0.12);
    // The absolute value sits below in smaller type, in the text colour.
    const QRect absolute = Ink(image, L().channels[static_cast<std::size_t>(c)].absolute, T().text);
    ASSERT_FALSE(absolute.isEmpty());
    EXPECT_LT(absolute.height(), ink.height() / 2);
    EXPECT_GT(absolute.top(), ink.bottom());
  }
}

TEST_P(Drawing, TheBandIsNamedBesideItsColour) {
  // Colour is never the only signal: every header carries the band's shape and word in its colour.
  const Reading r = Live(0, 15, -25, 2);
  const QImage image = Draw(r);
  const QColor colours[4] = {T().green, T().amber, T().red, T().green};
  for (int c = 0; c < 4; ++c) {
    const QRectF header = L().channels[static_cast<std::size_t>(c)].header;
    EXPECT_GT(Count(image, header, colours[c]), 20) << "cylinder " << c + 1;
  }
  // A NEAR mark differs in shape from an OK one: a triangle fills less of its
  // box than a disc, a square more.
  auto markInk = [&](int c) {
    QRectF h = L().channels[static_cast<std::size_t>(c)].header;
    h.setLeft(h.left() + h.width() * 0.52);
    h.setWidth(h.height() * 0.6);
    return Count(image, h, colours[c]);
  };
  EXPECT_LT(markInk(1), markInk(0));
  EXPECT_GT(markInk(2), markInk(0));
}

TEST_P(Drawing, TheVerdictInSyncIsAGreenBoxAndOtherwiseInTheWorstCylindersColour) {
  Reading r = Live(2, -3, 4, -3);
  QImage image = Draw(r);
  const QRectF v = L().verdict;
  EXPECT_GT(Count(image, v, T().green), v.width() * v.height() * 0.6 * GetParam().dpr * GetParam().dpr);
  EXPECT_GT(Count(image, v, T().background), 50);  // the word in the background colour

  r = Live(2, -3, 24, -3);  // cylinder 3 far off
  image = Draw(r);
  EXPECT_EQ(Count(image, v, T().green), 0);
  EXPECT_GT(Count(image, v, T().red), 200);

  r = Live(2, -3, 4, -3);  // inside, but not yet settled: no green verdict
  r.settled = false;
  r.inSync = false;
  image = Draw(r);
  EXPECT_EQ(Count(image, v, T().green), 0);
  EXPECT_GT(Count(image, v, T().text), 100);
}

TEST_P(Drawing, HoldIsAnInvertedMarkShownOnlyWhileHeld) {
  Reading r = Live(1, 2, 3, 4);
  QImage image = Draw(r);
  EXPECT_EQ(CountOther(image, L().hold, T().background), 0);
  r.held = true;
  image = Draw(r);
  const QRectF hold = L().hold;
  EXPECT_GT(Count(image, hold, T().text), hold.width() * hold.height() * 0.5 * GetParam().dpr * GetParam().dpr);
  EXPECT_GT(Count(image, hold, T().background), 20);  // the word "HOLD" in it
}

TEST_P(Drawing, NoDataGreysTheLastValuesUnderTheMessage) {
  Reading r = Live(5, -15, 25, -30);
  r.status = Status::NoData;
  const QImage image = Draw(r);
  const QRectF all(QPointF(0, 0), QSizeF(GetParam().size));
  for (const QColor& c : {T().green, T().amber, T().red}) EXPECT_EQ(Count(image, all, c), 0);
  // The bars are still there, grey.
  const ChannelLayout& l = L().channels[0];
  EXPECT_EQ(At(image, {l.bar.center().x(), l.zeroY - l.bar.height() / 16}), T().grey);
  // The message box lies over the columns, framed in the text colour.
  EXPECT_GT(Count(image, L().message, T().text), 200);
  EXPECT_GT(Count(image, L().message, T().grey), 0);
  // No verdict on stale values.
  EXPECT_EQ(CountOther(image, L().verdict, T().background), 0);
}

TEST_P(Drawing, NoScanAndWaitingDrawNothingAsData) {
  for (Status s : {Status::NoScan, Status::Waiting}) {
    Reading r = Live(5, -15, 25, -30);
    r.status = s;
    const QImage image = Draw(r);
    for (int c = 0; c < 4; ++c) {
      const ChannelLayout& l = L().channels[static_cast<std::size_t>(c)];
      EXPECT_EQ(CountOther(image, l.bar, T().background), 0);
      EXPECT_EQ(CountOther(image, l.absolute, T().background), 0);
      EXPECT_EQ(CountOther(image, l.scatter, T().background), 0);
    }
    EXPECT_EQ(CountOther(image, L().verdict, T().background), 0);
    EXPECT_GT(Count(image, L().message, T().text), 200);  // "Kein Scan" / the waiting line
  }
}

TEST_P(Drawing, NightIsLightOnDark) {
  Reading r = Live(2, -3, 24, -3);
  r.held = true;
  const QImage image = Draw(r, ThemeKind::Night);
  EXPECT_EQ(T().background, QColor(0, 0, 0));
  EXPECT_EQ(At(image, {2, GetParam().size.height() / 2.0}), T().background);
  EXPECT_GT(Count(image, L().hold, T().text), 50);
  EXPECT_GT(Count(image, L().channels[2].number, T().red), 200);
  // High contrast: the text colour and the background far apart in lightness.
  EXPECT_GT(T().text.lightness() - T().background.lightness(), 200);
  EXPECT_GT(Palette::Of(ThemeKind::Day).background.lightness() - Palette::Of(ThemeKind::Day).text.lightness(), 200);
}

TEST_P(Drawing, PairModeDrawsTwoColumns) {
  Reading r = Live(3, -12, 0, 0);
  r.pairMode = true;
  r.channelCount = 2;
  const QImage image = Draw(r);
  ASSERT_EQ(L().channelCount, 2);
  EXPECT_GT(L().channels[0].number.width(), GetParam().size.width() * 0.4);
  EXPECT_GT(Count(image, L().channels[0].number, T().green), 100);
  EXPECT_GT(Count(image, L().channels[1].number, T().amber), 100);
}

TEST_P(Drawing, HostileValuesDrawNoBar) {
  Reading r = Live(0, 0, 0, 0);
  r.channels[0].difference = std::nan("");
  r.channels[1].difference = INFINITY;
  r.channels[2].absolute = -INFINITY;
  r.fullScale = 0;
  r.tolerance = std::nan("");
  const QImage image = Draw(r);
  const ChannelLayout& l = L().channels[0];
  EXPECT_NE(At(image, {l.bar.center().x(), l.zeroY - l.bar.height() / 4}), T().green);
}

INSTANTIATE_TEST_SUITE_P(Sizes, Drawing,
                         ::testing::Values(Target{{1280, 720}, 1}, Target{{3840, 2160}, 1}, Target{{1280, 720}, 2},
                                           Target{{640, 400}, 1}),
                         [](const auto& info) {
                           return std::to_string(info.param.size.width()) + "x" +
                                  std::to_string(info.param.size.height()) + "at" +
                                  std::to_string(static_cast<int>(info.param.dpr));
                         });

TEST(Layout, ColumnsSideBySideWithinTheWindow) {
  for (QSizeF size : {QSizeF(640, 400), QSizeF(1920, 1080), QSizeF(3840, 2160)}) {
    const WorkshopLayout l = ComputeLayout(size, 4);
    const QRectF window(QPointF(0, 0), size);
    for (int c = 0; c < 4; ++c) {
      const ChannelLayout& ch = l.channels[static_cast<std::size_t>(c)];
      EXPECT_TRUE(window.contains(ch.column));
      if (c > 0) {
        EXPECT_GT(ch.column.left(), l.channels[static_cast<std::size_t>(c - 1)].column.right());
      }
      EXPECT_LE(ch.header.bottom(), ch.number.top() + 1e-9);
      EXPECT_LE(ch.number.bottom(), ch.bar.top());
      EXPECT_LE(ch.bar.bottom(), ch.absolute.top());
      EXPECT_LE(ch.absolute.bottom(), ch.scatter.top() + 1e-9);
      EXPECT_LE(ch.scatter.bottom(), l.verdict.top());
      EXPECT_GT(ch.bar.height(), size.height() * 0.3);
    }
    EXPECT_TRUE(window.contains(l.verdict));
    EXPECT_FALSE(l.hold.intersects(l.info));
  }
}

}  // namespace

namespace {

TEST(GlyphCacheUse, LargeTextFromTheCacheDrawsAsBeforeAndTheCacheStopsGrowing) {
  using namespace qv::workshop;
  WorkshopRenderer renderer;
  QImage first(1920, 1080, QImage::Format_RGB32);
  QImage second(1920, 1080, QImage::Format_RGB32);
  const Reading r = wstest::Live(-1.25, 8.75, -11.25, 3.75);
  renderer.Paint(first, r);
  renderer.Paint(second, r);
  EXPECT_EQ(first, second);
  // Large text straight from the painter looks the same within the antialiased edges.
  GlyphCache cache;
  QFont f(QString::fromLatin1(kNumberFamily));
  f.setBold(true);
  f.setPixelSize(200);
  QImage direct(400, 300, QImage::Format_RGB32), viaCache(400, 300, QImage::Format_RGB32);
  direct.fill(Qt::white);
  viaCache.fill(Qt::white);
  {
    QPainter p(&direct);
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(QPointF(20, 220), QStringLiteral("+18"));
  }
  {
    QPainter p(&viaCache);
    cache.Draw(p, f, Qt::black, 1.0, QPointF(20, 220), QStringLiteral("+18"));
  }
  EXPECT_EQ(cache.Size(), 3);
  int black = 0, differ = 0;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x) {
      black += qGray(direct.pixel(x, y)) < 40;
      differ += std::abs(qGray(direct.pixel(x, y)) - qGray(viaCache.pixel(x, y))) > 128;
    }
  EXPECT_GT(black, 5000);
  EXPECT_LT(differ, black / 50);

  // Small text comes from the cache too: about the same ink as the painter's,
  // in the same place, and a picture per size and colour of each character.
  f.setPixelSize(14);
  QImage smallDirect(200, 40, QImage::Format_RGB32), smallCached(200, 40, QImage::Format_RGB32);
  smallDirect.fill(Qt::white);
  smallCached.fill(Qt::white);
  const QString word = QString::fromUtf8("−251 mBar");
  {
    QPainter p(&smallDirect);
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(QPointF(10, 28), word);
  }
  {
    QPainter p(&smallCached);
    cache.Draw(p, f, Qt::black, 1.0, QPointF(10, 28), word);
  }
  auto ink = [](const QImage& image) {
    int n = 0;
    QRect box;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, y)) < 128) {
          ++n;
          box |= QRect(x, y, 1, 1);
        }
    return std::pair(n, box);
  };
  const auto [directInk, directBox] = ink(smallDirect);
  const auto [cachedInk, cachedBox] = ink(smallCached);
  EXPECT_GT(directInk, 50);
  EXPECT_NEAR(cachedInk, directInk, directInk / 4);
  EXPECT_NEAR(cachedBox.left(), directBox.left(), 2);
  EXPECT_NEAR(cachedBox.right(), directBox.right(), 4);
  const qsizetype before = cache.Size();
  {
    QPainter p(&smallCached);
    cache.Draw(p, f, Qt::red, 1.0, QPointF(10, 28), QStringLiteral("2"));
  }
  EXPECT_EQ(cache.Size(), before + 1);  // "2" in red is new; in black it was there
}

}  // namespace
