#pragma once
// Large text drawn from cached pictures of its characters. Qt's painter
// caches glyphs only up to a modest size and fills the outlines of larger
// ones anew on every drawing, which at full screen on a 4K display costs more
// than everything else together. The view's large numbers and words use few
// characters in few colours, so each is drawn once per size and colour and
// then copied.
#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QString>

namespace qv::workshop {

class GlyphCache {
 public:
  // Draws `text` with its baseline starting at `origin`, each character
  // advanced by `advance` (the font's own advances for that size); returns the
  // width drawn. `ratio` is the target's device pixel ratio.
  double Draw(QPainter& p, const QFont& font, const QColor& colour, double ratio, QPointF origin, const QString& text);
  // The width Draw would give.
  double Width(const QFont& font, const QColor& colour, double ratio, const QString& text);
  // Forgets every picture (the window's size changed, so the sizes did).
  void Clear() { glyphs_.clear(); }
  [[nodiscard]] qsizetype Size() const { return glyphs_.size(); }

  // Above this size in device pixels characters come from the cache.
  static constexpr int kMinPixels = 48;
  static constexpr qsizetype kMaxGlyphs = 600;

 private:
  struct Glyph {
    QImage image;    // device pixels, premultiplied
    QPointF offset;  // of its top-left corner from the pen position, logical
    double advance = 0;
  };
  const Glyph& Get(const QFont& font, const QColor& colour, double ratio, QChar c);

  QHash<QString, Glyph> glyphs_;
};

}  // namespace qv::workshop
