#include "WorkshopPalette.h"

namespace qv::workshop {

Palette Palette::Of(ThemeKind kind) {
  if (kind == ThemeKind::Night)
    return {QColor(0, 0, 0),       QColor(245, 245, 245), QColor(150, 150, 150),
            QColor(60, 220, 110),  QColor(255, 180, 0),   QColor(255, 80, 80),
            QColor(120, 120, 120), QColor(20, 60, 35),    QColor(40, 40, 40)};
  return {QColor(255, 255, 255), QColor(15, 15, 15),    QColor(110, 110, 110),
          QColor(0, 125, 50),    QColor(190, 105, 0),   QColor(200, 0, 0),
          QColor(150, 150, 150), QColor(215, 240, 220), QColor(235, 235, 235)};
}

QColor Palette::ForBand(Band b) const {
  switch (b) {
    case Band::Inside: return green;
    case Band::Near: return amber;
    case Band::Outside: return red;
  }
  return text;
}

}  // namespace qv::workshop
