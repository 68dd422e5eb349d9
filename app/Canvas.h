#pragma once
// A drawing canvas over a QImage with the pixel rules the displays rely on:
//  - MoveTo/LineTo: a line from P to Q colours the pixels from P up to, but not
//    including, Q, with a one-pixel solid pen (a zero-length line colours nothing);
//  - FillRect(x1, y1, x2, y2): x1 <= x < x2, y1 <= y < y2, corners in either order;
//  - Rectangle: outline with the pen on the border pixels of x1..x2-1 x y1..y2-1,
//    inside filled with the brush (nothing when the rectangle is empty);
//  - TextOut(x, y): the text cell (text width x ascent + descent) has its top-left
//    at (x, y) and is filled with the brush colour while the brush is solid.
// Pen, brush and font are state that survives from one drawing to the next,
// also when the image is replaced by one of another size. No antialiasing.
// Pixels are written directly for lines and rectangles (fast, exact); text
// goes through QPainter. The image is used in Format_RGB32 (converted on the
// first drawing if it has another format).
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QString>
#include <cstddef>
#include <vector>

#include "DrawMath.h"
#include "GraphSettings.h"

namespace qv {
// 96 dots per inch, in dots per metre: the displays convert points to pixels
// at 96 dpi whatever the screen, so their layout never depends on it.
inline constexpr int kDotsPerMeter96 = 3780;

// Font height in pixels for a size in points at 96 dpi, rounded half away
// from zero (7 -> 9, 12 -> 16, 40 -> 53, 80 -> 107); at least 1.
[[nodiscard]] int PointsToPixels(int points) noexcept;
}  // namespace qv

enum class TBrushStyle { bsSolid, bsClear };

class TCanvas {
 public:
  // The canvas draws into `target` and follows it when it is reassigned.
  explicit TCanvas(QImage& target);

  TColor PenColor() const { return pen_color_; }
  void SetPenColor(TColor color);

  TColor BrushColor() const { return brush_color_; }
  void SetBrushColor(TColor color);  // also makes a clear brush solid again
  TBrushStyle BrushStyle() const { return brush_style_; }
  void SetBrushStyle(TBrushStyle style) { brush_style_ = style; }

  QString FontName() const { return font_name_; }
  void SetFontName(const QString& name);
  int FontSize() const { return font_size_; }  // points, as set
  void SetFontSize(int points);
  bool FontBold() const { return font_bold_; }
  void SetFontBold(bool bold);
  TColor FontColor() const { return font_color_; }
  void SetFontColor(TColor color);

  QPoint PenPos() const { return pen_pos_; }
  void MoveTo(int x, int y) { pen_pos_ = QPoint(x, y); }
  void LineTo(int x, int y);
  void FillRect(int x1, int y1, int x2, int y2);
  void Rectangle(int x1, int y1, int x2, int y2);
  void TextOut(int x, int y, const QString& text);

  // Size of the cell TextOut would fill for `text` with the current font.
  [[nodiscard]] int TextWidth(const QString& text);
  [[nodiscard]] int TextHeight();

  // The QFont TextOut uses (pixel size from the point size, no antialiasing).
  [[nodiscard]] const QFont& Font();

 private:
  bool Prepare();  // false when there is nothing to draw on
  void FillClipped(int x1, int y1, int x2, int y2, QRgb color);

  QImage& image_;
  TColor pen_color_ = clBlack;
  QRgb pen_rgb_ = 0xFF000000u;
  TColor brush_color_ = clWhite;
  QRgb brush_rgb_ = 0xFFFFFFFFu;
  TBrushStyle brush_style_ = TBrushStyle::bsSolid;
  QString font_name_ = QStringLiteral("MS Sans Serif");
  int font_size_ = 8;
  bool font_bold_ = false;
  TColor font_color_ = clWindowText;
  QPoint pen_pos_{0, 0};
  static constexpr std::size_t kFontCacheSize = 8;
  std::vector<QFont> fonts_;  // recently used fonts, the current one at current_
  std::size_t current_ = 0;
  bool font_dirty_ = true;
};
