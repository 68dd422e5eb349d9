#include "WorkshopLayout.h"

#include <algorithm>

namespace qv::workshop {

namespace {
// Shares of the window's height, from the top.
constexpr double kTop = 0.08;       // info line and marks
constexpr double kHeader = 0.06;    // cylinder name
constexpr double kNumber = 0.20;    // the large number (digits a sixth high)
constexpr double kAbsolute = 0.06;  // absolute value
constexpr double kScatter = 0.05;   // scatter and "unruhig"
constexpr double kVerdict = 0.15;   // verdict along the bottom
constexpr double kMargin = 0.015;   // of the width, round the edges and between columns
}  // namespace

WorkshopLayout ComputeLayout(QSizeF size, int channelCount) {
  WorkshopLayout l;
  l.size = size;
  l.channelCount = channelCount == 2 ? 2 : 4;
  const double w = size.width();
  const double h = size.height();
  const double m = std::max(2.0, w * kMargin);

  const double topH = h * kTop;
  l.info = QRectF(m, 0, w * 0.62 - m, topH);
  l.marks = QRectF(w * 0.62, 0, w * 0.38 - m, topH);
  const double markH = topH * 0.76;
  const double markY = (topH - markH) / 2;
  l.hold = QRectF(l.marks.right() - l.marks.width() * 0.42, markY, l.marks.width() * 0.42, markH);
  l.zeroed = QRectF(l.marks.left(), markY, l.marks.width() * 0.54, markH);

  const double verdictH = h * kVerdict;
  l.verdict = QRectF(m, h - verdictH, w - 2 * m, verdictH - m * 0.5);

  const double colTop = topH;
  const double colBottom = l.verdict.top() - m * 0.5;
  const double colW = (w - m * (l.channelCount + 1)) / l.channelCount;
  for (int c = 0; c < l.channelCount; ++c) {
    ChannelLayout& ch = l.channels[static_cast<std::size_t>(c)];
    const double x = m + c * (colW + m);
    ch.column = QRectF(x, colTop, colW, colBottom - colTop);
    double y = colTop;
    ch.header = QRectF(x, y, colW, h * kHeader);
    y += ch.header.height();
    ch.number = QRectF(x, y, colW, h * kNumber);
    y += ch.number.height();
    const double barBottom = colBottom - h * (kAbsolute + kScatter);
    const double barW = colW * 0.5;
    ch.bar = QRectF(x + (colW - barW) / 2, y + h * 0.01, barW, std::max(1.0, barBottom - y - h * 0.02));
    ch.zeroY = ch.bar.center().y();
    ch.absolute = QRectF(x, barBottom, colW, h * kAbsolute);
    ch.scatter = QRectF(x, ch.absolute.bottom(), colW, h * kScatter);
  }
  l.message = QRectF(m, colTop + h * kHeader, w - 2 * m, h * kNumber);
  return l;
}

}  // namespace qv::workshop
