#include "Displays.h"

#include <QPainter>
#include <algorithm>
#include <cstring>
#include <utility>

#include "Colors.h"

namespace {

QImage MakeBitmap(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.setDotsPerMeterX(qv::kDotsPerMeter96);
  image.setDotsPerMeterY(qv::kDotsPerMeter96);
  return image;
}

bool IsXrgb32(QImage::Format format) {
  return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
         format == QImage::Format_ARGB32_Premultiplied;
}

}  // namespace

TDisplays::TDisplays() : BACKBUFFER(MakeBitmap(1280, 1024)) { BACKBUFFER.fill(qv::ColorToRgb(clWhite)); }

QSize TDisplays::SizeBackBuffer(std::int64_t width, std::int64_t height) {
  const int w = static_cast<int>(std::clamp<std::int64_t>(width, 0, kMaxBitmapSide));
  const int h = static_cast<int>(std::clamp<std::int64_t>(height, 0, kMaxBitmapSide));
  if (w == 0 || h == 0) {
    if (!BACKBUFFER.isNull()) spare_ = std::exchange(BACKBUFFER, QImage());
  } else if (BACKBUFFER.width() != w || BACKBUFFER.height() != h) {
    if (spare_.width() != w || spare_.height() != h) spare_ = MakeBitmap(w, h);
    BACKBUFFER.swap(spare_);
  }
  return QSize(w, h);
}

void TDisplays::FillAround(int x1, int y1, int x2, int y2, TColor color) {
  if (BACKBUFFER.isNull()) return;
  const int w = BACKBUFFER.width(), h = BACKBUFFER.height();
  const int left = std::clamp(std::min(x1, x2), 0, w), right = std::clamp(std::max(x1, x2), left, w);
  const int top = std::clamp(std::min(y1, y2), 0, h), bottom = std::clamp(std::max(y1, y2), top, h);
  const QRgb rgb = qv::ColorToRgb(color);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<QRgb*>(BACKBUFFER.scanLine(y));
    if (y < top || y >= bottom || left == right) {
      std::fill(row, row + w, rgb);
    } else {
      std::fill(row, row + left, rgb);
      std::fill(row + right, row + w, rgb);
    }
  }
}

void TDisplays::Line(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
  canvas_.MoveTo(qv::ClampCoord(x1), qv::ClampCoord(y1));
  canvas_.LineTo(qv::ClampCoord(x2), qv::ClampCoord(y2));
}

void TDisplays::CopyToWindow(int left, int top, QImage& window) const {
  if (BACKBUFFER.isNull() || window.isNull()) return;
  const QRect target = QRect(left, top, BACKBUFFER.width(), BACKBUFFER.height()) & window.rect();
  if (target.isEmpty()) return;
  if (IsXrgb32(window.format())) {
    // Every pixel of the bitmap is opaque, so rows copy as they are.
    const int sx = target.x() - left, sy = target.y() - top;
    const std::size_t bytes = static_cast<std::size_t>(target.width()) * sizeof(QRgb);
    for (int row = 0; row < target.height(); ++row) {
      const auto* from = reinterpret_cast<const QRgb*>(BACKBUFFER.constScanLine(sy + row)) + sx;
      auto* to = reinterpret_cast<QRgb*>(window.scanLine(target.y() + row)) + target.x();
      std::memcpy(to, from, bytes);
    }
    return;
  }
  QPainter painter(&window);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(QPoint(left, top), BACKBUFFER);
}

void TDisplays::Timer2Timer(int W, int H, const TDisplayInputs& in, QImage& window) {
  W = std::clamp(W, -kMaxWindowSide, kMaxWindowSide);
  H = std::clamp(H, -kMaxWindowSide, kMaxWindowSide);
  BALKENDIAGRAMM(0, 60, W - 10, H - 155, in, window);
  const int w = static_cast<int>(qv::Trunc(W / 4.0));
  try {
    for (int c = 0; c < TMeasurement::kChannels; ++c) INIT(c * w, H - 155, (c + 1) * w, H - 70, c, in, window);
  } catch (...) {
    // A failing panel ends the panels of this tick; the next tick starts afresh.
  }
}
