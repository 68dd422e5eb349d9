#pragma once
// Readings to draw and pixel counts over the renderer's layout.
#include <QColor>
#include <QImage>
#include <QRectF>

#include "WorkshopReading.h"

namespace wstest {

using qv::workshop::Band;
using qv::workshop::Reading;

// A live reading in mBar with these differences, full scale 20, tolerance 10.
Reading Live(double d0, double d1, double d2, double d3);
Band BandOf(double difference, double tolerance);

// The device pixels of a logical rectangle in `image`.
QRect DeviceRect(const QImage& image, const QRectF& logical);
// Pixels inside the logical rectangle of exactly `colour`.
int Count(const QImage& image, const QRectF& logical, const QColor& colour);
// Pixels inside the logical rectangle that differ from `colour`.
int CountOther(const QImage& image, const QRectF& logical, const QColor& colour);
// The device-pixel bounding box of the pixels of `colour` inside the rectangle.
QRect Ink(const QImage& image, const QRectF& logical, const QColor& colour);
QColor At(const QImage& image, QPointF logical);

}  // namespace wstest
