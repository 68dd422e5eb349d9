#include "QrCodeWidget.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace qv::phone {

QrCodeWidget::QrCodeWidget(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void QrCodeWidget::SetText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  matrix_ = text.isEmpty() ? std::nullopt : MakeQr(text.toStdString());
  update();
}

int QrCodeWidget::SidePixels() const {
  const double dpr = devicePixelRatioF();
  return static_cast<int>(std::floor(std::min(width(), height()) * dpr));
}

int QrCodeWidget::ModulePixels() const { return matrix_ ? SidePixels() / matrix_->size : 0; }

QImage QrCodeWidget::Render(int side) const {
  if (!matrix_ || matrix_->size <= 0) return {};
  const int module = side / matrix_->size;
  if (module < 1) return {};
  const int px = module * matrix_->size;
  QImage image(px, px, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  for (int y = 0; y < matrix_->size; ++y)
    for (int x = 0; x < matrix_->size; ++x)
      if (matrix_->At(x, y)) p.fillRect(x * module, y * module, module, module, Qt::black);
  return image;
}

void QrCodeWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const double dpr = devicePixelRatioF();
  QImage image = Render(SidePixels());
  if (image.isNull()) return;
  image.setDevicePixelRatio(dpr);
  // Centred on a whole device pixel, so no module is smeared across two.
  const int left = static_cast<int>((width() * dpr - image.width()) / 2);
  const int top = static_cast<int>((height() * dpr - image.height()) / 2);
  p.drawImage(QPointF(left / dpr, top / dpr), image);
}

}  // namespace qv::phone
