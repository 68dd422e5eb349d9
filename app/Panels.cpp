#include "Panels.h"

#include <QPaintEvent>
#include <QPainter>

namespace qv {

TPanel::TPanel(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(1);
  setAutoFillBackground(true);
}

void TPanel::AnchorRight(QWidget* child, int rightGap) {
  anchors_.push_back({child, rightGap});
  child->move(width() - rightGap, child->y());
}

void TPanel::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  for (const Anchor& a : anchors_) a.child->move(width() - a.rightGap, a.child->y());
}

TClientArea::TClientArea(QWidget* parent) : QWidget(parent) {
  // The picture covers every pixel; Qt need not clear the widget first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TClientArea::SetTopPanel(QWidget* panel, int height) {
  top_panel_ = panel;
  top_height_ = height;
  top_panel_->setGeometry(0, 0, width(), top_height_);
}

QImage& TClientArea::Picture() {
  FitPicture();
  return picture_;
}

void TClientArea::FitPicture() {
  if (picture_.size() == size()) return;
  QImage next(size(), QImage::Format_RGB32);
  next.fill(palette().color(QPalette::Window));
  if (!picture_.isNull()) {
    QPainter p(&next);
    p.drawImage(0, 0, picture_);
  }
  picture_ = std::move(next);
}

void TClientArea::paintEvent(QPaintEvent* event) {
  FitPicture();
  QPainter p(this);
  p.drawImage(event->rect(), picture_, event->rect());
}

void TClientArea::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (top_panel_) top_panel_->setGeometry(0, 0, width(), top_height_);
}

}  // namespace qv
