#include "Shape.h"

#include <QPainter>

#include "Colors.h"

namespace qv {

TShape::TShape(QWidget* parent) : QWidget(parent) {}

void TShape::SetBrushColor(TColor colour) {
  if (colour == brush_) return;
  brush_ = colour;
  update();
}

void TShape::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(Qt::black);
  p.setBrush(ColorToQColor(brush_));
  // The outline lies on the widget's outermost pixels.
  p.drawRect(0, 0, width() - 1, height() - 1);
}

}  // namespace qv
