// The bar chart: one bar per channel from a common base line, up or down by the
// distance of the channel's maximum from the midpoint of the four.
#include <algorithm>
#include <cstdlib>

#include "Displays.h"

namespace {

constexpr TColor kBarColors[TMeasurement::kChannels] = {clRed, clBlue, clLime, clYellow};

}  // namespace

void TDisplays::BALKENDIAGRAMM(int left, int top, int right, int bottom, const TDisplayInputs& in, QImage& window) {
  TMeasurement& state = in.state;
  const TGraphSettings& settings = in.settings;
  if (state.SAMPLE_COUNT == 0) state.SAMPLE_COUNT = 260;

  const std::int64_t bw = std::int64_t{right} - left, bh = std::int64_t{bottom} - top;
  const TColor back = settings.BackColor();
  const QSize size = SizeBackBuffer(std::abs(bw), std::abs(bh));
  constexpr std::int64_t x0 = 10;
  const std::int64_t yb = size.height() - 10;
  const std::int64_t pw = bw - 10;
  const double c2 = bh / 2.0;

  // Background up to the chart's window coordinates taken as bitmap
  // coordinates; what that leaves out gets the same colour.
  canvas_.SetBrushColor(back);
  canvas_.SetPenColor(back);
  const int fillRight = qv::ClampCoord(std::int64_t{right} - 2), fillBottom = qv::ClampCoord(std::int64_t{bottom} - 2);
  canvas_.FillRect(1, 1, fillRight, fillBottom);
  FillAround(1, 1, fillRight, fillBottom, back);

  canvas_.SetPenColor(settings.GraphColor());
  Line(x0, 10, x0, yb + 5);
  Line(x0 - 5, yb, x0 + pw + 2, yb);

  if (settings.GridCountY() > 0) {
    canvas_.SetPenColor(settings.GridColor());
    const std::int64_t yc = qv::Trunc(c2) + 10;
    Line(x0 - 5, yc, x0 + pw, yc);
  }

  // Scale: a spread that fits gives one pixel per unit, a larger one fills bh.
  const auto& maxima = state.MAXIMA;
  const std::int64_t mx = *std::max_element(maxima.begin(), maxima.end());
  const std::int64_t mn = *std::min_element(maxima.begin(), maxima.end());
  const std::int64_t s = mx - mn;
  const std::int64_t mid = qv::Trunc(s / 2.0) + mn;
  // With no spread every bar has no height whatever k is; k = 1 also keeps a
  // chart of no height (bh <= 0) from dividing by zero.
  const double k = (s < bh || s == 0) ? 1.0 : static_cast<double>(bh) / static_cast<double>(s);

  const std::int64_t barW = qv::Trunc((bw - 60) / 4.0);
  canvas_.SetPenColor(clBlack);
  std::int64_t xl = 20;
  const std::int64_t yBase = qv::Trunc(10 + c2);

  for (int c = 0; c < TMeasurement::kChannels; ++c) {
    const std::int64_t xr = xl + barW;
    const std::int64_t rise = qv::Trunc(static_cast<double>(mid - maxima[c]) * k);
    const std::int64_t yEnd = qv::Trunc(static_cast<double>(rise) + 10 + c2);
    canvas_.SetBrushColor(kBarColors[c]);
    canvas_.Rectangle(qv::ClampCoord(xl), qv::ClampCoord(yBase), qv::ClampCoord(xr), qv::ClampCoord(yEnd));

    const std::int64_t centre = qv::Trunc(barW / 2.0) + xl;
    canvas_.SetBrushColor(settings.BackColor());
    canvas_.SetFontName(QStringLiteral("Arial"));
    canvas_.SetFontBold(true);
    canvas_.SetFontSize(12);
    canvas_.SetFontColor(settings.FontColor());
    canvas_.TextOut(qv::ClampCoord(centre - 40), 1, QStringLiteral("Channel-%1").arg(c + 1));
    const std::int64_t shown = 100 - std::int64_t{maxima[c]};  // D = 100 - maximum, in mBar
    canvas_.TextOut(qv::ClampCoord(centre - 40), 18, QStringLiteral("Max: %1 mBar").arg(shown));

    canvas_.SetFontColor(clWhite);
    canvas_.SetFontSize(80);
    canvas_.SetBrushStyle(TBrushStyle::bsClear);
    const std::int64_t digitTop = qv::Trunc(bh / 2.0) - qv::Trunc(canvas_.FontSize() / 2.0) - 10;
    canvas_.TextOut(qv::ClampCoord(centre - 30), qv::ClampCoord(digitTop), QString::number(c + 1));
    xl = xr + 10;
  }

  if (in.connected) {
    int flag = 0;
    for (const std::int32_t maximum : maxima)
      if (maximum < 95) flag = 1;  // the same as D > 5 mBar
    if (flag == 1) {
      canvas_.SetFontColor(clRed);
      canvas_.SetFontSize(40);
      canvas_.SetBrushStyle(TBrushStyle::bsClear);
      canvas_.TextOut(20, 60, QStringLiteral("ACHTUNG \u00DCBERDRUCK!"));
    }
  }

  CopyToWindow(left, top, window);
}
