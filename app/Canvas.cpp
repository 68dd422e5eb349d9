#include "Canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "Colors.h"

namespace qv {

int PointsToPixels(int points) noexcept {
  // MulDiv(points, 96, 72): rounded half away from zero.
  const long long scaled = std::llabs(static_cast<long long>(points)) * 96;
  const long long px = (scaled + 36) / 72;
  return px < 1 ? 1 : px > 4096 ? 4096 : static_cast<int>(px);
}

}  // namespace qv

namespace {

__extension__ typedef __int128 Int128;  // exact start of a clipped line, whatever its length

// Pixels of the line from (x0, y0) to (x1, y1), end point excluded, clipped to
// the image. Along the major axis there is one pixel per step; the minor
// coordinate at step i is round-half-up(i * minor / major), computed in closed
// form for the first visible step so that clipping does not change which
// pixels are lit, then carried on incrementally.
void PlotLine(QImage& image, int x0, int y0, int x1, int y1, QRgb color) {
  const long long dx = static_cast<long long>(x1) - x0, dy = static_cast<long long>(y1) - y0;
  const long long adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  const bool xMajor = adx >= ady;
  const long long n = xMajor ? adx : ady;
  if (n == 0) return;
  const long long amin = xMajor ? ady : adx;
  const int sMaj = (xMajor ? dx : dy) < 0 ? -1 : 1;
  const int sMin = (xMajor ? dy : dx) < 0 ? -1 : 1;
  const long long maj0 = xMajor ? x0 : y0, min0 = xMajor ? y0 : x0;
  const long long majLimit = xMajor ? image.width() : image.height();
  const long long minLimit = xMajor ? image.height() : image.width();

  long long iLo = 0, iHi = n;  // steps whose major coordinate lies inside the image
  if (sMaj > 0) {
    iLo = std::max(iLo, -maj0);
    iHi = std::min(iHi, majLimit - maj0);
  } else {
    iLo = std::max(iLo, maj0 - (majLimit - 1));
    iHi = std::min(iHi, maj0 + 1);
  }
  if (iLo >= iHi) return;

  const long long twoN = 2 * n;
  const Int128 start = static_cast<Int128>(2) * iLo * amin + n;
  long long q = static_cast<long long>(start / twoN), r = static_cast<long long>(start % twoN);
  const qsizetype bpl = image.bytesPerLine();
  uchar* bits = image.bits();
  for (long long i = iLo; i < iHi; ++i) {
    const long long maj = maj0 + sMaj * i, mnr = min0 + sMin * q;
    if (mnr >= 0 && mnr < minLimit) {
      const long long x = xMajor ? maj : mnr, y = xMajor ? mnr : maj;
      reinterpret_cast<QRgb*>(bits + y * bpl)[x] = color;
    }
    r += 2 * amin;
    if (r >= twoN) {
      r -= twoN;
      ++q;
    }
  }
}

}  // namespace

TCanvas::TCanvas(QImage& target) : image_(target) {}

void TCanvas::SetPenColor(TColor color) {
  pen_color_ = color;
  pen_rgb_ = qv::ColorToRgb(color);
}

void TCanvas::SetBrushColor(TColor color) {
  brush_color_ = color;
  brush_rgb_ = qv::ColorToRgb(color);
  brush_style_ = TBrushStyle::bsSolid;
}

void TCanvas::SetFontName(const QString& name) {
  if (name != font_name_) font_dirty_ = true;
  font_name_ = name;
}

void TCanvas::SetFontSize(int points) {
  if (points != font_size_) font_dirty_ = true;
  font_size_ = points;
}

void TCanvas::SetFontBold(bool bold) {
  if (bold != font_bold_) font_dirty_ = true;
  font_bold_ = bold;
}

void TCanvas::SetFontColor(TColor color) { font_color_ = color; }

const QFont& TCanvas::Font() {
  if (font_dirty_) {
    // The displays switch between a handful of fonts many times a tick; keeping
    // them keeps their glyph caches warm.
    const int pixels = qv::PointsToPixels(font_size_);
    auto found = std::find_if(fonts_.begin(), fonts_.end(), [&](const QFont& f) {
      return f.pixelSize() == pixels && f.bold() == font_bold_ && f.family() == font_name_;
    });
    if (found == fonts_.end()) {
      QFont font(font_name_);
      font.setPixelSize(pixels);
      font.setBold(font_bold_);
      font.setStyleStrategy(QFont::NoAntialias);
      if (fonts_.size() >= kFontCacheSize) fonts_.erase(fonts_.begin());
      fonts_.push_back(font);
      found = fonts_.end() - 1;
    }
    current_ = static_cast<std::size_t>(found - fonts_.begin());
    font_dirty_ = false;
  }
  return fonts_[current_];
}

int TCanvas::TextWidth(const QString& text) { return QFontMetrics(Font()).horizontalAdvance(text); }

int TCanvas::TextHeight() {
  const QFontMetrics metrics(Font());
  return metrics.ascent() + metrics.descent();
}

bool TCanvas::Prepare() {
  if (image_.isNull()) return false;
  const auto format = image_.format();
  if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
      format != QImage::Format_ARGB32_Premultiplied)
    image_ = image_.convertToFormat(QImage::Format_RGB32);
  return !image_.isNull();
}

void TCanvas::LineTo(int x, int y) {
  if (Prepare()) PlotLine(image_, pen_pos_.x(), pen_pos_.y(), x, y, pen_rgb_);
  pen_pos_ = QPoint(x, y);
}

void TCanvas::FillClipped(int x1, int y1, int x2, int y2, QRgb color) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  x1 = std::max(x1, 0);
  y1 = std::max(y1, 0);
  x2 = std::min(x2, image_.width());
  y2 = std::min(y2, image_.height());
  if (x1 >= x2 || y1 >= y2) return;
  uchar* bits = image_.bits();
  const qsizetype bpl = image_.bytesPerLine();
  for (int y = y1; y < y2; ++y) {
    auto* row = reinterpret_cast<QRgb*>(bits + y * bpl);
    std::fill(row + x1, row + x2, color);
  }
}

void TCanvas::FillRect(int x1, int y1, int x2, int y2) {
  if (brush_style_ == TBrushStyle::bsSolid && Prepare()) FillClipped(x1, y1, x2, y2, brush_rgb_);
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  if (!Prepare()) return;
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  if (x1 == x2 || y1 == y2) return;
  if (brush_style_ == TBrushStyle::bsSolid) FillClipped(x1 + 1, y1 + 1, x2 - 1, y2 - 1, brush_rgb_);
  FillClipped(x1, y1, x2, y1 + 1, pen_rgb_);
  FillClipped(x1, y2 - 1, x2, y2, pen_rgb_);
  FillClipped(x1, y1, x1 + 1, y2, pen_rgb_);
  FillClipped(x2 - 1, y1, x2, y2, pen_rgb_);
}

void TCanvas::TextOut(int x, int y, const QString& text) {
  if (!Prepare()) return;
  const QFont& font = Font();
  const QFontMetrics metrics(font);
  const long long right = static_cast<long long>(x) + metrics.horizontalAdvance(text);
  const long long bottom = static_cast<long long>(y) + metrics.ascent() + metrics.descent();
  if (brush_style_ == TBrushStyle::bsSolid)
    FillClipped(x, y, qv::ClampCoord(right), qv::ClampCoord(bottom), brush_rgb_);
  // A cell wholly outside the image draws nothing; skipping it also keeps far-off
  // coordinates away from the text engine's fixed-point arithmetic. Glyphs may
  // overhang their cell a little (italic or bold overhang), hence the margin.
  const long long margin = metrics.height();
  if (x - margin >= image_.width() || y - margin >= image_.height() || right + margin <= 0 || bottom + margin <= 0)
    return;
  QPainter painter(&image_);
  painter.setRenderHint(QPainter::TextAntialiasing, false);
  painter.setFont(font);
  painter.setPen(qv::ColorToQColor(font_color_));
  painter.drawText(QPoint(x, qv::ClampCoord(static_cast<long long>(y) + metrics.ascent())), text);
}
