#pragma once
// The nine values that shape the displays. They live in one place (the
// settings dialog's controls); the displays ask for them at every drawing
// through this interface, so a change shows at the next tick.
#include <cstdint>

// A colour in the layout 0x00BBGGRR (red in the low byte); negative values
// name the platform's system colours.
using TColor = std::int32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;
// System colours (negative): the face of buttons and dialogs, and the window text.
inline constexpr TColor clBtnFace = static_cast<TColor>(0x8000000F);
inline constexpr TColor clWindowText = static_cast<TColor>(0x80000008);
inline constexpr TColor clHighlight = static_cast<TColor>(0x8000000D);
inline constexpr TColor clHighlightText = static_cast<TColor>(0x8000000E);

// Defaults in force when no settings file exists.
namespace GraphDefaults {
inline constexpr TColor BackColor = clGreen;
inline constexpr TColor GridColor = clLime;
inline constexpr TColor DotsColor = clYellow;
inline constexpr TColor GraphColor = clBlack;
inline constexpr TColor FontColor = clBlack;
inline constexpr int GraphSpeed = 200;
inline constexpr int GridCountY = 10;
inline constexpr int GridCountX = 10;
inline constexpr bool ShowPixels = false;
}  // namespace GraphDefaults

class TGraphSettings {
 public:
  virtual ~TGraphSettings() = default;
  virtual TColor BackColor() const = 0;
  virtual TColor GridColor() const = 0;
  virtual TColor DotsColor() const = 0;
  virtual TColor GraphColor() const = 0;
  virtual TColor FontColor() const = 0;
  // Any integer may come back while a field is being edited (0 and negatives too).
  virtual int GraphSpeed() const = 0;
  virtual int GridCountY() const = 0;
  virtual int GridCountX() const = 0;
  virtual bool ShowPixels() const = 0;
};

// The values as plain data: for tests, benchmarks and tools without the dialog.
struct TGraphSettingsValues final : TGraphSettings {
  TColor back = GraphDefaults::BackColor, grid = GraphDefaults::GridColor, dots = GraphDefaults::DotsColor,
         graph = GraphDefaults::GraphColor, font = GraphDefaults::FontColor;
  int speed = GraphDefaults::GraphSpeed, countY = GraphDefaults::GridCountY, countX = GraphDefaults::GridCountX;
  bool pixels = GraphDefaults::ShowPixels;

  TColor BackColor() const override { return back; }
  TColor GridColor() const override { return grid; }
  TColor DotsColor() const override { return dots; }
  TColor GraphColor() const override { return graph; }
  TColor FontColor() const override { return font; }
  int GraphSpeed() const override { return speed; }
  int GridCountY() const override { return countY; }
  int GridCountX() const override { return countX; }
  bool ShowPixels() const override { return pixels; }
};
