// One trace panel: the newest entries of a channel's history, one per pixel
// column with the newest at the left, as dots or a connected line over a grid.
#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "Displays.h"

namespace {

constexpr int kScaleEntries = 261;  // the scale always looks at PLOTBUFFER[0..260]

// Clears the drawn part of PLOTBUFFER when the panel ends, normally or by an
// error, so the buffer is all zero between drawings and a failed panel cannot
// leave stale entries in the next panel's scale.
class PlotBufferReset {
 public:
  PlotBufferReset(std::int32_t* first, int count) : first_(first), count_(count) {}
  ~PlotBufferReset() { std::fill(first_, first_ + count_, 0); }
  PlotBufferReset(const PlotBufferReset&) = delete;
  PlotBufferReset& operator=(const PlotBufferReset&) = delete;

 private:
  std::int32_t* first_;
  int count_;
};

}  // namespace

void TDisplays::INIT(int left, int top, int right, int bottom, int channel, const TDisplayInputs& in, QImage& window) {
  if (channel < 0 || channel >= TMeasurement::kChannels) throw std::out_of_range("INIT: no such channel");
  TMeasurement& state = in.state;
  const TGraphSettings& settings = in.settings;
  if (state.SAMPLE_COUNT == 0) state.SAMPLE_COUNT = 260;

  const std::int64_t pw = std::int64_t{right} - left, ph = std::int64_t{bottom} - top;
  const TColor back = settings.BackColor();
  const QSize size = SizeBackBuffer(std::abs(pw + 20), std::abs(ph + 20));
  constexpr std::int64_t x0 = 10;
  const std::int64_t yb = size.height() - 10;

  // Background; the outermost one-pixel frame gets the same colour.
  canvas_.SetFontName(QStringLiteral("Arial"));
  canvas_.SetFontSize(7);
  canvas_.SetFontBold(true);
  canvas_.SetBrushColor(back);
  canvas_.SetPenColor(back);
  canvas_.FillRect(1, 1, size.width() - 1, size.height() - 1);
  FillAround(1, 1, size.width() - 1, size.height() - 1, back);

  // Axes, overhanging by 5 pixels to the left and below where they cross.
  canvas_.SetPenColor(settings.GraphColor());
  Line(x0, 10, x0, yb + 5);
  Line(x0 - 5, yb, x0 + pw + 2, yb);

  // Grid. Counts come from a field that may hold anything while it is edited;
  // 0 or less draws no lines, and a huge count draws each distinct line once.
  canvas_.SetPenColor(settings.GridColor());
  const int countY = settings.GridCountY();
  if (countY > 0) {
    const double sx = static_cast<double>(pw) / countY;
    qv::ForEachDistinctTrunc(sx, 1, countY, [&](std::int64_t d) { Line(d + x0, 10, d + x0, yb + 5); });
  }
  const int countX = settings.GridCountX();
  if (countX > 0) {
    const double sy = static_cast<double>(ph) / countX;
    qv::ForEachDistinctTrunc(sy, 0, std::int64_t{countX} - 1,
                             [&](std::int64_t d) { Line(x0 - 5, d + 10, x0 + pw, d + 10); });
  }

  // Title on a BackColor cell (the brush is still the background brush).
  canvas_.SetFontColor(settings.FontColor());
  canvas_.TextOut(static_cast<int>(x0), 1, QStringLiteral("Channel %1").arg(channel + 1));

  // Copy of the drawn entries; never past either array, however wide the panel.
  const int count = static_cast<int>(std::clamp<std::int64_t>(pw, 0, kPlotBufferSize));
  const PlotBufferReset reset(PLOTBUFFER.data(), count);
  const auto& history = state.CHANNEL_DATA[static_cast<std::size_t>(channel)];
  bool overLimit = false;
  std::int32_t lastOverLimit = 0;
  for (int i = 0; i < count; ++i) {
    PLOTBUFFER[i] = history[i];
    if (PLOTBUFFER[i] > 1000) {
      overLimit = true;
      lastOverLimit = PLOTBUFFER[i];
    }
  }
  // The label shows the last value above 1000 met; it is never set back.
  if (overLimit && in.setLabel1Caption) in.setLabel1Caption(QString::number(lastOverLimit));

  // Scale: the largest of the first 261 entries reaches the top of the plot area.
  const TColor dots = settings.DotsColor();
  canvas_.SetPenColor(dots);
  canvas_.SetBrushColor(dots);
  const std::int32_t m = *std::max_element(PLOTBUFFER.begin(), PLOTBUFFER.begin() + kScaleEntries);
  const double k = m != 0 ? static_cast<double>(ph) / m : 1.0;
  auto t = [k](std::int32_t v) { return qv::Trunc(v * k); };

  // Trace. The dots/line choice is read before the start point and again for
  // every entry, so a change takes effect wherever it is met.
  if (!settings.ShowPixels()) canvas_.MoveTo(static_cast<int>(x0 + 1), qv::ClampCoord(yb - t(PLOTBUFFER[0]) - 1));
  for (int i = 1; i < count; ++i) {
    const std::int64_t ti = t(PLOTBUFFER[i]);
    if (settings.ShowPixels()) {
      Line(x0 + i + 1, yb - ti - 1, x0 + i + 2, yb - ti - 2);  // exactly the one pixel at the start
    } else {
      canvas_.LineTo(static_cast<int>(x0 + i + 2), qv::ClampCoord(yb - ti - 2));
    }
  }

  CopyToWindow(left, top, window);
}
