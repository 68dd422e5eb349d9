#pragma once
// Draws a Reading: per cylinder the signed difference as a large number, a bar
// round the zero line, the absolute value and the scatter; the verdict along
// the bottom; the reference line and the HOLD and "genullt" marks at the top;
// a notice of the lost connection over the columns.
// Colour always comes with a word or a shape. Draws onto any QPainter in the
// window's logical pixels; the target's device pixel ratio keeps it sharp.
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <array>

#include "GlyphCache.h"
#include "ViewLanguage.h"
#include "WorkshopLayout.h"
#include "WorkshopPalette.h"
#include "WorkshopReading.h"

namespace qv::workshop {

// Font families of the view: installed with the program's build dependencies,
// named so that every machine draws the same.
inline constexpr const char* kNumberFamily = "Liberation Sans Narrow";
inline constexpr const char* kTextFamily = "Liberation Sans";

class WorkshopRenderer {
 public:
  WorkshopRenderer();

  void SetTheme(ThemeKind kind);
  [[nodiscard]] ThemeKind Kind() const { return kind_; }
  [[nodiscard]] const Palette& Colours() const { return theme_; }
  void SetLanguage(const ViewLanguage& language) { text_ = language; }
  [[nodiscard]] const ViewLanguage& Words() const { return text_; }
  // A notice drawn large over the columns in place of the status's message
  // (the lost connection while it is waited for); empty: none.
  void SetNotice(const QString& notice) { notice_ = notice; }
  [[nodiscard]] const QString& Notice() const { return notice_; }

  // Draws the whole view into (0, 0, size).
  void Paint(QPainter& p, QSizeF size, const Reading& r);
  // Draws into `image` (its size and device pixel ratio are kept).
  void Paint(QImage& image, const Reading& r);
  // The layout the last Paint used.
  [[nodiscard]] const WorkshopLayout& Layout() const { return layout_; }

 private:
  enum class Face { Number, Text, TextBold };
  // A font of `face` whose text fits `box`: its capital height about `capShare`
  // of the box's height, smaller when the text would be wider than the box.
  QFont Fit(Face face, const QString& text, const QRectF& box, double capShare) const;
  // Draws text centred in box (or at its left / right edge), capitals centred vertically.
  enum class Align { Left, Centre, Right };
  double DrawText(QPainter& p, Face face, const QString& text, const QRectF& box, double capShare, const QColor& c,
                  Align align = Align::Centre) const;
  void PaintInfo(QPainter& p, const Reading& r);
  void PaintChannel(QPainter& p, const Reading& r, int c, bool grey);
  void PaintBar(QPainter& p, const Reading& r, const ChannelLayout& l, const Channel& ch, const QColor& colour,
                bool grey);
  void PaintBandMark(QPainter& p, Band b, const QRectF& box, const QColor& colour) const;
  void PaintVerdict(QPainter& p, const Reading& r);
  void PaintMessage(QPainter& p, const QString& text, bool boxed);
  const QFontMetricsF& Metrics(Face face) const;
  // The text's advance at the reference size, remembered: laying text out
  // anew at every redraw costs more than drawing it.
  double Advance(Face face, const QString& text) const;

  ThemeKind kind_ = ThemeKind::Day;
  Palette theme_ = Palette::Of(ThemeKind::Day);
  ViewLanguage text_;
  QString notice_;
  WorkshopLayout layout_;
  // Fonts at a reference size; the drawing scales from their metrics.
  QFont number_font_;
  QFont text_font_;
  QFont bold_font_;
  QFontMetricsF number_metrics_;
  QFontMetricsF text_metrics_;
  QFontMetricsF bold_metrics_;
  mutable GlyphCache glyphs_;
  mutable std::array<QHash<QString, double>, 3> advances_;
  QSizeF cached_for_;  // the size the glyph pictures were drawn for
};

}  // namespace qv::workshop
