// The trace panel at the start size of the window, and at the limits of its inputs.
#include <gtest/gtest.h>
#include <set>

#include "DisplaysTestSupport.h"

using namespace qvtest;

namespace {

class TracePanel : public ::testing::Test {
 protected:
  void SetUp() override { qv::InstallFontSubstitutions(); }

  // One panel of the start size: plot area 200 x 85 at (left, 445).
  const QImage& Draw(int channel = 0, int left = 0, int pw = 200) {
    displays.INIT(left, 445, left + pw, 530, channel, Inputs(), window);
    return displays.BackBuffer();
  }
  TDisplayInputs Inputs() {
    return TDisplayInputs{state, settings, false, [this](const QString& s) { captions.push_back(s); }};
  }
  // Height of the title cell (Arial 7 pt bold).
  int TitleCellHeight() {
    QImage scratch(1, 1, QImage::Format_RGB32);
    TCanvas canvas(scratch);
    canvas.SetFontName(QStringLiteral("Arial"));
    canvas.SetFontBold(true);
    canvas.SetFontSize(7);
    return canvas.TextHeight();
  }

  TMeasurement state;
  TestSettings settings;
  TDisplays displays;
  QImage window = Window(800, 600);
  std::vector<QString> captions;
};

}  // namespace

TEST_F(TracePanel, WorkedExampleGridAxesAndTitle) {
  settings.pixels = true;  // dots of the all-zero history lie on row 94 only
  const QImage& bm = Draw(0);
  ASSERT_EQ(bm.size(), QSize(220, 105));
  const int cellH = TitleCellHeight();
  const std::set<int> gridRows = {10, 18, 27, 35, 44, 52, 61, 69, 78, 86};
  std::set<int> gridCols;
  for (int x = 30; x <= 210; x += 20) gridCols.insert(x);
  // Row 50 crosses every vertical grid line and the Y axis.
  for (int x = 0; x < 220; ++x) {
    const QRgb want = gridCols.count(x) ? Rgb(kGrid) : x == 10 ? Rgb(kAxis) : Rgb(kBack);
    EXPECT_EQ(Px(bm, x, 50), want) << "x=" << x;
  }
  // Column 7 (left of the Y axis) crosses every horizontal grid line and the X axis.
  for (int y = 0; y < 105; ++y) {
    const QRgb want = gridRows.count(y) ? Rgb(kGrid) : y == 95 ? Rgb(kAxis) : Rgb(kBack);
    EXPECT_EQ(Px(bm, 7, y), want) << "y=" << y;
  }
  // Grid lines span x = 5..209 and y = 10..99 (below the title cell).
  EXPECT_EQ(Px(bm, 5, 18), Rgb(kGrid));
  EXPECT_EQ(Px(bm, 211, 18), Rgb(kBack));
  EXPECT_EQ(Px(bm, 30, 99), Rgb(kGrid));
  EXPECT_EQ(Px(bm, 30, 100), Rgb(kBack));
  EXPECT_EQ(Px(bm, 10, 99), Rgb(kAxis));
  EXPECT_EQ(Px(bm, 10, 100), Rgb(kBack));
  EXPECT_EQ(Px(bm, 211, 95), Rgb(kAxis));  // X axis reaches x0 + pw + 1
  EXPECT_EQ(Px(bm, 212, 95), Rgb(kBack));
  // The title cell, drawn after axes and grid, hides them near the top-left;
  // below it they show again.
  EXPECT_EQ(Px(bm, 10, 10), Rgb(kBack));
  EXPECT_EQ(Px(bm, 30, 10), Rgb(kBack));
  EXPECT_EQ(Px(bm, 30, 1 + cellH), Rgb(kGrid));
  EXPECT_EQ(Px(bm, 10, 1 + cellH), Rgb(kAxis));
  EXPECT_EQ(Px(bm, 150, 10), Rgb(kGrid));  // beyond the cell the top grid line is whole
  EXPECT_GT(CountColor(bm, Rgb(kFont), QRect(10, 1, 60, cellH)), 10);
  EXPECT_EQ(CountColor(bm, Rgb(kFont)), CountColor(bm, Rgb(kFont), QRect(10, 1, 60, cellH)));
  // The title reads "Channel 1" (with a blank), the same pixels as the text drawn alone.
  const QImage title = TextAlone(220, 105, 10, 1, QStringLiteral("Channel 1"), 7, kFont);
  EXPECT_EQ(CountColor(title, Rgb(kFont)), CountColor(bm, Rgb(kFont)));
  for (int y = 1; y < 1 + cellH; ++y)
    for (int x = 10; x < 70; ++x)
      if (Px(title, x, y) == Rgb(kFont)) {
        ASSERT_EQ(Px(bm, x, y), Rgb(kFont));
      }
  // Frame pixels show the background colour of the resize.
  EXPECT_EQ(Px(bm, 0, 0), Rgb(kBack));
  EXPECT_EQ(Px(bm, 219, 104), Rgb(kBack));
  // Copied opaque to (0, 445).
  EXPECT_EQ(window.copy(0, 445, 220, 105), bm);
  EXPECT_EQ(Px(window, 0, 444), kSentinel);
}

TEST_F(TracePanel, DotsOnePixelPerEntryExceptTheNewest) {
  settings.pixels = true;
  auto& h = state.CHANNEL_DATA[2];
  for (int i = 0; i < 301; ++i) h[i] = (i * 7) % 171;  // largest is 170, so k = 0.5
  const QImage& bm = Draw(2);
  for (int i = 1; i < 200; ++i) {
    const int y = 94 - h[i] / 2;
    EXPECT_EQ(Px(bm, 11 + i, y), Rgb(kDots)) << i;
    EXPECT_EQ(CountColor(bm, Rgb(kDots), QRect(11 + i, 0, 1, 105)), 1) << i;
  }
  EXPECT_EQ(CountColor(bm, Rgb(kDots), QRect(11, 0, 1, 105)), 0);  // entry 0 is not drawn
  EXPECT_EQ(CountColor(bm, Rgb(kDots)), 199);
}

TEST_F(TracePanel, LineStartsOneLowerAndJoinsEveryEntry) {
  auto& h = state.CHANNEL_DATA[1];
  for (int i = 0; i < 200; ++i) h[i] = (i % 20) * 5;  // largest 95: k = 85 / 95
  const double k = 85.0 / 95.0;
  const auto t = [&](int i) { return static_cast<int>(h[i] * k); };
  const QImage& bm = Draw(1);
  EXPECT_EQ(Px(bm, 11, 94 - t(0)), Rgb(kDots));  // start point
  for (int i = 1; i < 199; ++i) EXPECT_EQ(Px(bm, 12 + i, 93 - t(i)), Rgb(kDots)) << i;
  EXPECT_EQ(CountColor(bm, Rgb(kDots), QRect(0, 0, 11, 105)), 0);
  EXPECT_EQ(Px(bm, 211, 93 - t(199)), Rgb(kBack));  // the last end point is excluded
  EXPECT_EQ(CountColor(bm, Rgb(kDots), QRect(212, 0, 8, 105)), 0);
  // Each column from 12 on is reached by a continuous run: no gaps between rows.
  for (int x = 13; x < 211; ++x) {
    int top = 200, bottom = -1;
    for (int y = 0; y < 105; ++y)
      if (Px(bm, x, y) == Rgb(kDots)) top = std::min(top, y), bottom = std::max(bottom, y);
    ASSERT_LE(top, bottom) << x;
    EXPECT_EQ(CountColor(bm, Rgb(kDots), QRect(x, top, 1, bottom - top + 1)), bottom - top + 1) << x;
  }
}

TEST_F(TracePanel, NegativeHistoriesAndWidePanels) {
  settings.pixels = true;
  state.CHANNEL_DATA[0].fill(-5);  // m = 0 from the unwritten entries: k = 1, below the axis
  EXPECT_EQ(CountColor(Draw(0), Rgb(kDots), QRect(12, 99, 199, 1)), 199);
  // 280 columns: the scale sees entries 0..260 only, later ones may rise above the plot area.
  auto& h = state.CHANNEL_DATA[0];
  h.fill(10);
  h[270] = 11;  // Trunc(11 * 8.5) = 93: drawn at row 1
  const QImage& wide = Draw(0, 0, 280);
  EXPECT_EQ(Px(wide, 11 + 270, 1), Rgb(kDots));
  EXPECT_EQ(Px(wide, 11 + 269, 9), Rgb(kDots));  // 10 * 8.5 = 85: the top of the plot area
  // Entries 0..260 all negative: m < 0, k < 0 and the trace is upside down.
  h.fill(-10);
  h[265] = 0;
  const QImage& flipped = Draw(0, 0, 280);
  EXPECT_EQ(CountColor(flipped, Rgb(kDots), QRect(12, 9, 260, 1)), 260);
  EXPECT_EQ(Px(flipped, 11 + 265, 94), Rgb(kDots));
}

TEST_F(TracePanel, GridCountsOfZeroOrLessAndHugeCounts) {
  for (const int count : {0, -3}) {
    settings.countY = count;
    settings.countX = 10;
    EXPECT_EQ(CountColor(Draw(), Rgb(kGrid), QRect(12, 20, 200, 1)), 0);  // no vertical lines
    settings.countY = 10;
    settings.countX = count;
    EXPECT_EQ(CountColor(Draw(), Rgb(kGrid), QRect(7, 0, 1, 105)), 0);  // no horizontal lines
  }
  settings.countY = settings.countX = 2147483647;  // typed into the open dialog: every column and row
  const QImage& bm = Draw();
  EXPECT_EQ(CountColor(bm, Rgb(kGrid), QRect(10, 50, 201, 1)), 201);
  EXPECT_EQ(Px(bm, 211, 50), Rgb(kBack));
  EXPECT_EQ(CountColor(bm, Rgb(kGrid), QRect(7, 20, 1, 75)), 75);  // rows 10..94
}

TEST_F(TracePanel, LabelTakesTheLastDrawnValueAboveOneThousand) {
  auto& h = state.CHANNEL_DATA[3];
  h[5] = 1500;
  h[50] = 1001;
  h[60] = 1000;
  h[250] = 2000;  // beyond the 200 drawn entries
  Draw(3);
  EXPECT_EQ(captions, std::vector<QString>{QStringLiteral("1001")});
  h[50] = 0;
  h[5] = 1000;
  Draw(3);  // nothing above 1000: the caption is left as it is
  EXPECT_EQ(captions.size(), 1u);
}

TEST_F(TracePanel, SampleCountAndPlotBufferAndChannelRange) {
  state.CHANNEL_DATA[0].fill(77);
  Draw(0);
  EXPECT_EQ(state.SAMPLE_COUNT, 260);
  state.SAMPLE_COUNT = 5;
  Draw(0);
  EXPECT_EQ(state.SAMPLE_COUNT, 5);
  for (const int v : displays.PlotBuffer()) ASSERT_EQ(v, 0);
  // An error after the copy still leaves the buffer clear.
  settings.throwShowPixelsAt = settings.showPixelsCalls + 2;
  EXPECT_THROW(Draw(0), std::runtime_error);
  for (const int v : displays.PlotBuffer()) ASSERT_EQ(v, 0);
  EXPECT_THROW(Draw(4), std::out_of_range);
  EXPECT_THROW(Draw(-1), std::out_of_range);
}

TEST_F(TracePanel, PanelsOfNoOrNegativeWidthStayInBounds) {
  state.CHANNEL_DATA[0].fill(1234);
  EXPECT_EQ(Draw(0, 100, -50).size(), QSize(30, 105));  // |pw + 20|
  EXPECT_EQ(Draw(0, 100, -20).size(), QSize(0, 0));
  EXPECT_EQ(Draw(0, 0, 5000).size(), QSize(5020, 105));
  EXPECT_EQ(CountColor(displays.BackBuffer(), Rgb(kDots), QRect(291, 0, 4729, 105)), 0);  // 280 entries at most
  for (const int v : displays.PlotBuffer()) ASSERT_EQ(v, 0);
}
