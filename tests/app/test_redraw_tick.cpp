// The redraw tick: placement of the five drawings, the guard around the
// panels, settings read anew at every tick, and window sizes of any kind.
#include <gtest/gtest.h>
#include <climits>

#include "DisplaysTestSupport.h"

using namespace qvtest;

namespace {

class RedrawTick : public ::testing::Test {
 protected:
  void SetUp() override {
    qv::InstallFontSubstitutions();
    state.MAXIMA = {350, 340, 360, 345};
    for (int c = 0; c < 4; ++c)
      for (int i = 0; i < 301; ++i) state.CHANNEL_DATA[c][i] = (i * (c + 3)) % 97;
  }
  TDisplayInputs Inputs() {
    return TDisplayInputs{state, settings, true, [this](const QString& s) { caption = s; }};
  }
  void Tick(int W = 800, int H = 600) { displays.Timer2Timer(W, H, Inputs(), window); }

  TMeasurement state;
  TestSettings settings;
  TDisplays displays;
  QImage window = Window(800, 600);
  QString caption = QStringLiteral("RX");
};

}  // namespace

TEST_F(RedrawTick, ChartThenFourPanelsAtTheirPlaces) {
  Tick();
  EXPECT_EQ(displays.BackBuffer().size(), QSize(220, 105));  // the last panel's size
  EXPECT_EQ(state.SAMPLE_COUNT, 260);
  TDisplays single;
  QImage expected = Window(800, 600);
  single.BALKENDIAGRAMM(0, 60, 790, 445, Inputs(), expected);
  for (int c = 0; c < 4; ++c) single.INIT(c * 200, 445, (c + 1) * 200, 530, c, Inputs(), expected);
  EXPECT_EQ(window, expected);
  EXPECT_EQ(Px(window, 0, 59), kSentinel);
  EXPECT_EQ(Px(window, 799, 550), kSentinel);  // below the panels
  EXPECT_NE(Px(window, 799, 549), kSentinel);
  EXPECT_EQ(caption, QStringLiteral("RX"));
  state.CHANNEL_DATA[2][10] = 5000;
  Tick();
  EXPECT_EQ(caption, QStringLiteral("5000"));
}

TEST_F(RedrawTick, AFailingPanelEndsThePanelsOfThatTickOnly) {
  settings.throwGridColorAt = 3;  // chart, panel 0, then panel 1 fails
  Tick();
  EXPECT_NE(Px(window, 100, 500), kSentinel);
  EXPECT_NE(Px(window, 210, 500), kSentinel);  // panel 0 reaches 20 pixels into panel 1's place
  for (const int x : {230, 500, 700}) EXPECT_EQ(Px(window, x, 500), kSentinel) << x;
  for (const int v : displays.PlotBuffer()) ASSERT_EQ(v, 0);
  Tick();  // the next tick draws them all
  for (const int x : {230, 500, 700}) EXPECT_NE(Px(window, x, 500), kSentinel) << x;
}

TEST_F(RedrawTick, AnErrorInTheChartLeavesTheTick) {
  settings.throwBackColorAt = 1;
  EXPECT_THROW(Tick(), std::runtime_error);
  EXPECT_EQ(CountColor(window, kSentinel), 800 * 600);  // nothing copied, no panel drawn
  Tick();
  EXPECT_NE(Px(window, 5, 65), kSentinel);
  EXPECT_NE(Px(window, 700, 500), kSentinel);
}

TEST_F(RedrawTick, SettingsAreReadAtEveryTick) {
  Tick();
  EXPECT_EQ(Px(window, 5, 65), Rgb(kBack));
  EXPECT_EQ(Px(window, 305, 500), Rgb(kBack));
  settings.back = clSilver;
  settings.dots = clFuchsia;
  Tick();
  EXPECT_EQ(Px(window, 5, 65), Rgb(clSilver));
  EXPECT_EQ(Px(window, 305, 500), Rgb(clSilver));
  EXPECT_GT(CountColor(window, Rgb(clFuchsia), QRect(0, 445, 800, 105)), 700);
  EXPECT_EQ(CountColor(window, Rgb(kDots), QRect(0, 445, 800, 105)), 0);
}

TEST_F(RedrawTick, AnyWindowSizeStaysInsideTheArrays) {
  settings.pixels = true;
  Tick(5000, 600);  // panels 1250 wide: the copy and the trace stop at 280 entries
  EXPECT_EQ(displays.BackBuffer().size(), QSize(1270, 105));
  EXPECT_GT(CountColor(displays.BackBuffer(), Rgb(kDots), QRect(12, 0, 279, 105)), 270);
  EXPECT_EQ(CountColor(displays.BackBuffer(), Rgb(kDots), QRect(291, 0, 979, 105)), 0);
  for (const int v : displays.PlotBuffer()) ASSERT_EQ(v, 0);
  const QSize sizes[] = {{640, 480}, {1120, 1024},   {-5000, 600},   {800, 215},    {800, 200},
                         {20, 100},  {INT_MAX, 600}, {INT_MIN, 600}, {800, INT_MIN}};
  for (const QSize& size : sizes) {
    Tick(size.width(), size.height());
    for (const int v : displays.PlotBuffer()) ASSERT_EQ(v, 0);
  }
  state.MAXIMA = {7, 7, 7, 7};
  Tick(800, 215);  // a chart of no height with no spread
  Tick(800, 200);
  EXPECT_EQ(displays.BackBuffer().height(), 105);
}

TEST_F(RedrawTick, WindowImagesOfOtherFormatsGetTheSamePixels) {
  Tick();
  QImage other(800, 600, QImage::Format_RGB888);
  other.fill(Qt::magenta);
  displays.Timer2Timer(800, 600, Inputs(), other);
  EXPECT_EQ(other.convertToFormat(QImage::Format_RGB32), window);
}
