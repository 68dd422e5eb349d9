#include "Shape.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>

namespace qv {

QColor ToQColor(TColor colour) {
  if (colour == clBtnFace) return QApplication::palette().color(QPalette::Button);
  if (colour == clWindowText) return QApplication::palette().color(QPalette::WindowText);
  if (colour == clHighlight) return QApplication::palette().color(QPalette::Highlight);
  if (colour == clHighlightText) return QApplication::palette().color(QPalette::HighlightedText);
  const auto v = static_cast<std::uint32_t>(colour);
  return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

TShape::TShape(QWidget* parent) : QWidget(parent) {}

void TShape::SetBrushColor(TColor colour) {
  if (colour == brush_) return;
  brush_ = colour;
  update();
}

void TShape::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(Qt::black);
  p.setBrush(ToQColor(brush_));
  // The outline lies on the widget's outermost pixels.
  p.drawRect(0, 0, width() - 1, height() - 1);
}

}  // namespace qv
