#include "RenderTestSupport.h"

#include <cmath>

namespace wstest {

Band BandOf(double difference, double tolerance) {
  const double a = std::fabs(difference);
  return a <= tolerance ? Band::Inside : a <= 2 * tolerance ? Band::Near : Band::Outside;
}

Reading Live(double d0, double d1, double d2, double d3) {
  Reading r;
  r.status = qv::workshop::Status::Live;
  r.fullScale = 20;
  r.tolerance = 10;
  const double d[4] = {d0, d1, d2, d3};
  double worst = -1;
  for (int c = 0; c < 4; ++c) {
    auto& ch = r.channels[static_cast<std::size_t>(c)];
    ch.difference = d[c];
    ch.absolute = -250 + d[c];
    ch.scatter = 0.8;
    ch.band = BandOf(d[c], r.tolerance);
    if (std::fabs(d[c]) > worst) {
      worst = std::fabs(d[c]);
      r.worstChannel = c;
    }
  }
  r.reference = -250;
  r.settled = true;
  r.inSync = worst <= r.tolerance;
  r.serial = 1;
  return r;
}

QRect DeviceRect(const QImage& image, const QRectF& logical) {
  const double s = image.devicePixelRatio();
  return QRectF(logical.topLeft() * s, logical.size() * s).toAlignedRect().intersected(image.rect());
}

namespace {
template <typename F>
int CountIf(const QImage& image, const QRectF& logical, F f) {
  const QRect r = DeviceRect(image, logical);
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (f(image.pixel(x, y))) ++n;
  return n;
}
}  // namespace

int Count(const QImage& image, const QRectF& logical, const QColor& colour) {
  const QRgb c = colour.rgb();
  return CountIf(image, logical, [c](QRgb p) { return (p | 0xff000000u) == c; });
}

int CountOther(const QImage& image, const QRectF& logical, const QColor& colour) {
  const QRgb c = colour.rgb();
  return CountIf(image, logical, [c](QRgb p) { return (p | 0xff000000u) != c; });
}

QRect Ink(const QImage& image, const QRectF& logical, const QColor& colour) {
  const QRect r = DeviceRect(image, logical);
  const QRgb c = colour.rgb();
  QRect box;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if ((image.pixel(x, y) | 0xff000000u) == c) box |= QRect(x, y, 1, 1);
  return box;
}

QColor At(const QImage& image, QPointF logical) {
  const QPoint p = (logical * image.devicePixelRatio()).toPoint();
  return image.pixelColor(p);
}

}  // namespace wstest
