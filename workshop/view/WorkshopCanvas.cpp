#include "WorkshopCanvas.h"

#include <QPainter>

#include "TWorkshopView.h"

namespace qv::workshop {

WorkshopCanvas::WorkshopCanvas(TWorkshopView& view) : QWidget(&view), view_(view) {
  setObjectName(QStringLiteral("WorkshopCanvas"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
}

void WorkshopCanvas::paintEvent(QPaintEvent*) {
  const QImage& picture = view_.Picture();
  if (picture.deviceIndependentSize().toSize() != size() || picture.devicePixelRatio() != devicePixelRatioF()) {
    view_.Redraw();
  }
  QPainter p(this);
  p.drawImage(QPointF(0, 0), view_.Picture());
  p.end();
  if (view_.OnPainted) view_.OnPainted(view_.drawn_frames_);
}

void WorkshopCanvas::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  view_.Redraw();
}

}  // namespace qv::workshop
