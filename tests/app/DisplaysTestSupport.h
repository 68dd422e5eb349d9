#pragma once
// Helpers for the pixel tests of the displays: distinct colours for every
// element, so a pixel's colour tells which element drew it.
#include <QImage>
#include <functional>
#include <stdexcept>

#include "Canvas.h"
#include "Colors.h"
#include "Displays.h"
#include "Fonts.h"

namespace qvtest {

inline constexpr TColor kBack = clGreen, kGrid = clTeal, kDots = clYellow, kAxis = clMaroon, kFont = clNavy;
inline constexpr QRgb kSentinel = 0xFFFF00FFu;  // never drawn by the displays
inline constexpr QRgb kWhite = 0xFFFFFFFFu;

inline QRgb Rgb(TColor c) { return qv::ColorToRgb(c); }
inline QRgb Px(const QImage& image, int x, int y) { return image.pixel(x, y) | 0xFF000000u; }

inline QImage Window(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(kSentinel);
  return image;
}

// Settings with distinct colours; some getters can be made to throw on their n-th call.
struct TestSettings : TGraphSettings {
  TColor back = kBack, grid = kGrid, dots = kDots, graph = kAxis, font = kFont;
  int countY = 10, countX = 10;
  bool pixels = false;
  mutable int gridColorCalls = 0, backColorCalls = 0, showPixelsCalls = 0;
  int throwGridColorAt = 0, throwBackColorAt = 0, throwShowPixelsAt = 0;  // 0: never
  static void Count(int& calls, int at) {
    if (++calls == at) throw std::runtime_error("settings unavailable");
  }
  TColor BackColor() const override {
    Count(backColorCalls, throwBackColorAt);
    return back;
  }
  TColor GridColor() const override {
    Count(gridColorCalls, throwGridColorAt);
    return grid;
  }
  TColor DotsColor() const override { return dots; }
  TColor GraphColor() const override { return graph; }
  TColor FontColor() const override { return font; }
  int GraphSpeed() const override { return 200; }
  int GridCountY() const override { return countY; }
  int GridCountX() const override { return countX; }
  bool ShowPixels() const override {
    Count(showPixelsCalls, throwShowPixelsAt);
    return pixels;
  }
};

// Counts pixels of one colour in a rectangle (clipped to the image).
inline int CountColor(const QImage& image, QRgb color, QRect area = {}) {
  if (area.isNull()) area = image.rect();
  area &= image.rect();
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += Px(image, x, y) == color;
  return n;
}

// The pixels `text` colours when drawn with a clear brush at (x, y) in the given
// font: rendered on its own, for comparison with a complete drawing.
inline QImage TextAlone(int w, int h, int x, int y, const QString& text, int points, TColor color) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(kSentinel);
  TCanvas canvas(image);
  canvas.SetFontName(QStringLiteral("Arial"));
  canvas.SetFontBold(true);
  canvas.SetFontSize(points);
  canvas.SetFontColor(color);
  canvas.SetBrushStyle(TBrushStyle::bsClear);
  canvas.TextOut(x, y, text);
  return image;
}

}  // namespace qvtest
