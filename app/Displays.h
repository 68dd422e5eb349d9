#pragma once
// The main window's two displays, drawn on every tick of Timer2: the bar chart
// of the four maxima and the four trace panels. Each drawing is composed in
// the one off-screen bitmap BACKBUFFER and then copied, opaque and clipped, onto
// the window image, where it stays until the next tick copies over it.
//
// BACKBUFFER is resized by every drawing to that drawing's own size (sides
// capped at kMaxBitmapSide pixels); the bitmaps of the last two sizes are kept,
// so the alternation of chart and panels allocates nothing. The pixels a
// drawing's background fill leaves out (the outer frame of a panel; the first
// row, first column and last two columns of the chart) are given the same
// BackColor, so the drawings join without seams.
//
// Widget-free: the caller passes what a drawing needs and paints the window
// image in its paint event.
#include <QImage>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

#include "Canvas.h"
#include "GraphSettings.h"
#include "Measurement.h"

// What one drawing reads besides its own state.
struct TDisplayInputs {
  TMeasurement& state;                                   // SAMPLE_COUNT may be set here; the rest is read
  const TGraphSettings& settings;                        // read at every drawing
  bool connected = false;                                // Connected of ComPort1: gates the overpressure warning
  std::function<void(const QString&)> setLabel1Caption;  // may be empty
};

class TDisplays {
 public:
  static constexpr int kPlotBufferSize = 280;
  static constexpr int kMaxBitmapSide = 8192;
  static constexpr int kMaxWindowSide = 1 << 20;  // W and H are clamped to +-this

  TDisplays();

  // The redraw tick. W and H are the main window's outer size; `window` is its
  // client area. The chart first (an error there propagates to the caller),
  // then the four panels inside one guard: an error in a panel ends the panels
  // of this tick silently.
  void Timer2Timer(int W, int H, const TDisplayInputs& in, QImage& window);

  // The bar chart: a (right - left) x (bottom - top) bitmap copied to (left, top).
  void BALKENDIAGRAMM(int left, int top, int right, int bottom, const TDisplayInputs& in, QImage& window);

  // One trace panel of `channel` (0..3, anything else throws std::out_of_range):
  // plot area (right - left) x (bottom - top), bitmap 20 pixels larger each way,
  // copied to (left, top).
  void INIT(int left, int top, int right, int bottom, int channel, const TDisplayInputs& in, QImage& window);

  const QImage& BackBuffer() const { return BACKBUFFER; }
  const std::array<std::int32_t, kPlotBufferSize>& PlotBuffer() const { return PLOTBUFFER; }

 private:
  // Sizes BACKBUFFER (each side capped); returns the size. The content is left over.
  QSize SizeBackBuffer(std::int64_t width, std::int64_t height);
  // Paints the bitmap's pixels outside the rectangle (x1, y1)-(x2, y2), corners
  // in either order, with `color`: what a background fill leaves out.
  void FillAround(int x1, int y1, int x2, int y2, TColor color);
  void CopyToWindow(int left, int top, QImage& window) const;
  void Line(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2);

  QImage BACKBUFFER;
  QImage spare_;  // the bitmap of the size before, for the next resize back to it
  TCanvas canvas_{BACKBUFFER};
  std::array<std::int32_t, kPlotBufferSize> PLOTBUFFER{};
};
