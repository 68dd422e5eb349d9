#include "GlyphCache.h"

#include <QFontMetricsF>
#include <cmath>

namespace qv::workshop {

const GlyphCache::Glyph& GlyphCache::Get(const QFont& font, const QColor& colour, double ratio, QChar c) {
  const Key key{
      font.family(), font.pixelSize(), font.bold(), colour.rgba(), static_cast<int>(std::lround(ratio * 1000)),
      c.unicode()};
  auto it = glyphs_.constFind(key);
  if (it != glyphs_.constEnd()) return *it;
  if (glyphs_.size() >= kMaxGlyphs) glyphs_.clear();

  const QFontMetricsF m(font);
  Glyph g;
  g.advance = m.horizontalAdvance(c);
  const QRectF ink = m.boundingRect(c).adjusted(-2, -2, 2, 2);
  const QSize pixels(std::max(1, static_cast<int>(std::ceil(ink.width() * ratio))),
                     std::max(1, static_cast<int>(std::ceil(ink.height() * ratio))));
  g.image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
  g.image.setDevicePixelRatio(ratio);
  g.image.fill(Qt::transparent);
  const QPointF corner(std::floor(ink.left()), std::floor(ink.top()));
  g.offset = corner;
  {
    QPainter gp(&g.image);
    gp.setRenderHint(QPainter::TextAntialiasing, true);
    gp.setFont(font);
    gp.setPen(colour);
    gp.drawText(-corner, QString(c));
  }
  return *glyphs_.insert(key, std::move(g));
}

double GlyphCache::Width(const QFont& font, const QColor& colour, double ratio, const QString& text) {
  double w = 0;
  for (QChar c : text) w += Get(font, colour, ratio, c).advance;
  return w;
}

double GlyphCache::Draw(QPainter& p, const QFont& font, const QColor& colour, double ratio, QPointF origin,
                        const QString& text) {
  double x = origin.x();
  for (QChar c : text) {
    const Glyph& g = Get(font, colour, ratio, c);
    // Whole device pixels, so the copy is a plain blend without resampling.
    const QPointF at(std::round((x + g.offset.x()) * ratio) / ratio,
                     std::round((origin.y() + g.offset.y()) * ratio) / ratio);
    p.drawImage(at, g.image);
    x += g.advance;
  }
  return x - origin.x();
}

}  // namespace qv::workshop
