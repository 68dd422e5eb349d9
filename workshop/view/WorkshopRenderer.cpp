#include "WorkshopRenderer.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace qv::workshop {

namespace {
constexpr double kReferencePixels = 100;

QFont MakeFont(const char* family, bool bold) {
  QFont f(QString::fromLatin1(family));
  f.setPixelSize(static_cast<int>(kReferencePixels));
  f.setBold(bold);
  f.setStyleHint(QFont::SansSerif);
  return f;
}

bool Finite(double v) { return std::isfinite(v); }
}  // namespace

WorkshopRenderer::WorkshopRenderer()
    : number_font_(MakeFont(kNumberFamily, true)),
      text_font_(MakeFont(kTextFamily, false)),
      bold_font_(MakeFont(kTextFamily, true)),
      number_metrics_(number_font_),
      text_metrics_(text_font_),
      bold_metrics_(bold_font_) {}

void WorkshopRenderer::SetTheme(ThemeKind kind) {
  kind_ = kind;
  theme_ = Palette::Of(kind);
}

const QFontMetricsF& WorkshopRenderer::Metrics(Face face) const {
  switch (face) {
    case Face::Number: return number_metrics_;
    case Face::Text: return text_metrics_;
    case Face::TextBold: return bold_metrics_;
  }
  return text_metrics_;
}

double WorkshopRenderer::Advance(Face face, const QString& text) const {
  QHash<QString, double>& memo = advances_[static_cast<std::size_t>(face)];
  if (const auto it = memo.constFind(text); it != memo.constEnd()) return *it;
  if (memo.size() >= 2000) memo.clear();  // numbers come and go; the words stay few
  return *memo.insert(text, Metrics(face).horizontalAdvance(text));
}

QFont WorkshopRenderer::Fit(Face face, const QString& text, const QRectF& box, double capShare) const {
  const QFontMetricsF& m = Metrics(face);
  const double cap = std::max(1.0, m.capHeight());
  double pixels = box.height() * capShare * kReferencePixels / cap;
  const double width = Advance(face, text);
  if (width > 0) pixels = std::min(pixels, box.width() * 0.94 * kReferencePixels / width);
  QFont f = face == Face::Number ? number_font_ : face == Face::Text ? text_font_ : bold_font_;
  f.setPixelSize(std::max(1, static_cast<int>(pixels)));
  return f;
}

double WorkshopRenderer::DrawText(QPainter& p, Face face, const QString& text, const QRectF& box, double capShare,
                                  const QColor& c, Align align) const {
  if (text.isEmpty() || box.isEmpty()) return 0;
  const QFont f = Fit(face, text, box, capShare);
  const QFontMetricsF& m = Metrics(face);
  const double scale = f.pixelSize() / kReferencePixels;
  const double ratio = p.device() ? p.device()->devicePixelRatioF() : 1.0;
  const bool cached = f.pixelSize() * ratio >= GlyphCache::kMinPixels;
  const double width = cached ? glyphs_.Width(f, c, ratio, text) : Advance(face, text) * scale;
  const double capH = m.capHeight() * scale;
  double x = box.left() + (box.width() - width) / 2;
  if (align == Align::Left) x = box.left();
  if (align == Align::Right) x = box.right() - width;
  const double baseline = box.top() + (box.height() + capH) / 2;
  if (cached) return glyphs_.Draw(p, f, c, ratio, QPointF(x, baseline), text);
  p.setFont(f);
  p.setPen(c);
  p.drawText(QPointF(x, baseline), text);
  return width;
}

void WorkshopRenderer::Paint(QImage& image, const Reading& r) {
  QPainter p(&image);
  Paint(p, image.deviceIndependentSize(), r);
}

void WorkshopRenderer::Paint(QPainter& p, QSizeF size, const Reading& r) {
  const int count = r.pairMode || r.channelCount == 2 ? 2 : 4;
  layout_ = ComputeLayout(size, count);
  if (size != cached_for_) {
    glyphs_.Clear();
    cached_for_ = size;
  }
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  p.fillRect(QRectF(QPointF(0, 0), size), theme_.background);

  PaintInfo(p, r);
  const bool notice = !notice_.isEmpty();
  switch (r.status) {
    case Status::NoScan: PaintMessage(p, notice ? notice_ : text_.T(TextId::kNoScan), notice); break;
    case Status::Waiting: PaintMessage(p, notice ? notice_ : text_.T(TextId::kWaiting), notice); break;
    case Status::NoData:
      for (int c = 0; c < count; ++c) PaintChannel(p, r, c, true);
      PaintMessage(p, notice ? notice_ : text_.T(TextId::kNoData), true);
      break;
    case Status::Live:
      for (int c = 0; c < count; ++c) PaintChannel(p, r, c, false);
      PaintVerdict(p, r);
      if (notice) PaintMessage(p, notice_, true);
      break;
  }
}

void WorkshopRenderer::PaintInfo(QPainter& p, const Reading& r) {
  DrawText(p, Face::Text, text_.ReferenceLine(r), layout_.info, 0.42, theme_.text, Align::Left);
  if (r.zeroed) {
    p.setPen(QPen(theme_.text, std::max(1.0, layout_.zeroed.height() * 0.06)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(layout_.zeroed);
    DrawText(p, Face::TextBold, text_.T(TextId::kZeroed), layout_.zeroed, 0.5, theme_.text);
  }
  if (r.held) {
    // Inverted box in the text colour: unmistakable in either theme.
    p.fillRect(layout_.hold, theme_.text);
    DrawText(p, Face::TextBold, text_.T(TextId::kHold), layout_.hold, 0.6, theme_.background);
  }
}

void WorkshopRenderer::PaintChannel(QPainter& p, const Reading& r, int c, bool grey) {
  const ChannelLayout& l = layout_.channels[static_cast<std::size_t>(c)];
  const Channel& ch = r.channels[static_cast<std::size_t>(c)];
  const QColor colour = grey ? theme_.grey : theme_.ForBand(ch.band);
  const QColor plain = grey ? theme_.grey : theme_.text;

  // Header: the name at the left, the band's shape and word at the right.
  QRectF nameBox = l.header;
  nameBox.setWidth(l.header.width() * 0.5);
  DrawText(p, Face::TextBold, text_.ChannelName(r, c), nameBox, 0.55, plain, Align::Left);
  QRectF markBox = l.header;
  markBox.setLeft(l.header.left() + l.header.width() * 0.52);
  const double shape = l.header.height() * 0.5;
  PaintBandMark(p, ch.band, QRectF(markBox.left(), l.header.center().y() - shape / 2, shape, shape), colour);
  markBox.setLeft(markBox.left() + shape * 1.4);
  DrawText(p, Face::TextBold, text_.Band(ch.band), markBox, 0.55, colour, Align::Left);

  DrawText(p, Face::Number, text_.Number(ch.difference, r.unit, true), l.number, 0.83, colour);
  PaintBar(p, r, l, ch, colour, grey);
  DrawText(p, Face::Text, text_.Number(ch.absolute, r.unit, false, true), l.absolute, 0.55, plain);

  QString scatter = text_.Scatter(ch.scatter, r.unit);
  if (ch.unsteady) scatter += QStringLiteral("  ") + text_.T(TextId::kUnsteady);
  DrawText(p, ch.unsteady ? Face::TextBold : Face::Text, scatter, l.scatter, 0.55,
           ch.unsteady && !grey ? theme_.amber : plain);
}

void WorkshopRenderer::PaintBar(QPainter& p, const Reading& r, const ChannelLayout& l, const Channel& ch,
                                const QColor& colour, bool grey) {
  const QRectF& bar = l.bar;
  const double half = bar.height() / 2;
  const double full = Finite(r.fullScale) && r.fullScale > 0 ? r.fullScale : 1.0;
  auto yOf = [&](double v) { return l.zeroY - std::clamp(v / full, -1.0, 1.0) * half; };

  // The tolerance band behind the bar, a little wider than it.
  if (Finite(r.tolerance) && r.tolerance > 0) {
    const QRectF band(bar.left() - bar.width() * 0.15, yOf(r.tolerance), bar.width() * 1.3,
                      yOf(-r.tolerance) - yOf(r.tolerance));
    p.fillRect(band, grey ? theme_.greyFill : theme_.bandFill);
  }
  // Full-scale ticks, then the bar, then the zero line over both.
  p.setPen(QPen(theme_.faint, std::max(1.0, half * 0.01)));
  p.drawLine(QPointF(bar.left(), bar.top()), QPointF(bar.right(), bar.top()));
  p.drawLine(QPointF(bar.left(), bar.bottom()), QPointF(bar.right(), bar.bottom()));

  const double v = Finite(ch.difference) ? ch.difference : 0;
  const double end = yOf(v);
  const QRectF fill(bar.left() + bar.width() * 0.15, std::min(end, l.zeroY), bar.width() * 0.7,
                    std::fabs(end - l.zeroY));
  p.fillRect(fill, colour);
  if (std::fabs(v) > full) {
    // Past full scale: an arrowhead at the end of the bar.
    const double dir = v > 0 ? -1 : 1;
    const double tip = end;
    QPainterPath arrow;
    arrow.moveTo(bar.left(), tip - dir * bar.width() * 0.3);
    arrow.lineTo(bar.center().x(), tip);
    arrow.lineTo(bar.right(), tip - dir * bar.width() * 0.3);
    arrow.closeSubpath();
    p.fillPath(arrow, colour);
  }
  const double zeroLine = std::max(3.0, half * 0.03);
  p.fillRect(QRectF(bar.left() - bar.width() * 0.25, l.zeroY - zeroLine / 2, bar.width() * 1.5, zeroLine), theme_.text);
}

void WorkshopRenderer::PaintBandMark(QPainter& p, Band b, const QRectF& box, const QColor& colour) const {
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  switch (b) {
    case Band::Inside: p.drawEllipse(box); break;  // a disc
    case Band::Near: {                             // a triangle
      QPainterPath t;
      t.moveTo(box.center().x(), box.top());
      t.lineTo(box.right(), box.bottom());
      t.lineTo(box.left(), box.bottom());
      t.closeSubpath();
      p.drawPath(t);
      break;
    }
    case Band::Outside: p.drawRect(box); break;  // a square
  }
  p.setBrush(Qt::NoBrush);
}

void WorkshopRenderer::PaintVerdict(QPainter& p, const Reading& r) {
  const QRectF& box = layout_.verdict;
  const QString text = text_.Verdict(r);
  if (r.inSync) {
    p.fillRect(box, theme_.green);
    DrawText(p, Face::TextBold, text, box, 0.55, theme_.background);
    return;
  }
  QColor c = theme_.text;
  if (r.worstChannel >= 0 && r.worstChannel < r.channelCount)
    c = theme_.ForBand(r.channels[static_cast<std::size_t>(r.worstChannel)].band);
  if (c == theme_.green) c = theme_.text;  // inside but not settled yet
  p.setPen(QPen(c, std::max(2.0, box.height() * 0.04)));
  p.setBrush(Qt::NoBrush);
  p.drawRect(box.adjusted(1, 1, -1, -1));
  DrawText(p, Face::TextBold, text, box, 0.5, c);
}

void WorkshopRenderer::PaintMessage(QPainter& p, const QString& text, bool boxed) {
  const QRectF& box = layout_.message;
  if (boxed) {
    QRectF inner = box.adjusted(box.width() * 0.12, box.height() * 0.15, -box.width() * 0.12, -box.height() * 0.15);
    p.fillRect(inner, theme_.background);
    p.setPen(QPen(theme_.text, std::max(2.0, inner.height() * 0.03)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(inner);
    DrawText(p, Face::TextBold, text, inner, 0.5, theme_.text);
    return;
  }
  DrawText(p, Face::TextBold, text, box, 0.4, theme_.text);
}

}  // namespace qv::workshop
