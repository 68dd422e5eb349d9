#pragma once
// Where the workshop view puts its parts, in proportions of the window, so
// that 640 × 400 and full screen on a 4K display both work. Coordinates are
// the window's logical pixels (device-independent).
#include <QRectF>
#include <QSizeF>
#include <array>

namespace qv::workshop {

struct ChannelLayout {
  QRectF column;     // the whole column of this cylinder
  QRectF header;     // "Zyl. 1" and the band mark
  QRectF number;     // the signed difference, about a sixth of the window's height
  QRectF bar;        // the bar around the zero line
  double zeroY = 0;  // the zero line inside bar
  QRectF absolute;   // the absolute value, smaller
  QRectF scatter;    // "±0,8" and "unruhig"
};

struct WorkshopLayout {
  QSizeF size;
  QRectF info;    // reference, tolerance and unit, top left
  QRectF marks;   // "genullt" and "HOLD", top right
  QRectF hold;    // the HOLD mark inside marks
  QRectF zeroed;  // the "genullt" mark inside marks
  int channelCount = 4;
  std::array<ChannelLayout, 4> channels{};
  QRectF verdict;  // "SYNCHRON" or the worst cylinder, along the bottom
  QRectF message;  // "Kein Scan", "Keine Daten", over the columns
};

// The layout for a window of `size` with 4 (or, in pair mode, 2) columns.
[[nodiscard]] WorkshopLayout ComputeLayout(QSizeF size, int channelCount);

}  // namespace qv::workshop
