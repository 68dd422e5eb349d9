#pragma once
// Colour values of the displays (TColor, 0x00BBGGRR) as Qt colours.
#include <QColor>
#include <QRgb>

#include "GraphSettings.h"

namespace qv {

// Opaque pixel value (0xFFRRGGBB) of a colour. Negative values name system
// colours (low byte = the system colour index): they are taken from the
// application's palette when a GUI application exists, else from fixed
// classic values; an unknown index gives black. Bits above the 24 colour bits
// of a positive value (clNone, clDefault) are ignored.
[[nodiscard]] QRgb ColorToRgb(TColor color);

[[nodiscard]] inline QColor ColorToQColor(TColor color) { return QColor::fromRgb(ColorToRgb(color)); }

// The same colour as a TColor (for tests and pickers).
[[nodiscard]] constexpr TColor RgbToColor(int r, int g, int b) { return (b << 16) | (g << 8) | r; }

}  // namespace qv
