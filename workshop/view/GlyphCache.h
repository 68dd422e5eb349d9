#pragma once
// Text drawn from cached pictures of its characters. Qt's painter caches
// glyphs only up to a modest size and fills the outlines of larger ones anew
// on every drawing, which at full screen on a 4K display costs more than
// everything else together; below that it still lays the text out anew at
// every drawing. The view's numbers and words use few characters in few
// colours, so each is drawn once per size and colour and then copied.
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

  // From this size in device pixels characters come from the cache; below
  // it the painter's own hinting reads better.
  static constexpr int kMinPixels = 9;
  static constexpr qsizetype kMaxGlyphs = 1000;

 private:
  struct Key {
    QString family;
    int pixelSize = 0;
    bool bold = false;
    QRgb colour = 0;
    int ratio = 0;  // the device pixel ratio in thousandths
    char16_t c = 0;
    bool operator==(const Key&) const = default;
  };
  friend size_t qHash(const Key& k, size_t seed) {
    return qHashMulti(seed, k.family, k.pixelSize, k.bold, k.colour, k.ratio, k.c);
  }
  struct Glyph {
    QImage image;    // device pixels, premultiplied
    QPointF offset;  // of its top-left corner from the pen position, logical
    double advance = 0;
  };
  const Glyph& Get(const QFont& font, const QColor& colour, double ratio, QChar c);

  QHash<Key, Glyph> glyphs_;
};

}  // namespace qv::workshop
