#pragma once
// The two themes of the workshop view, both high contrast: day (dark on
// light) and night (light on dark, for a dim garage).
#include <QColor>

#include "WorkshopReading.h"

namespace qv::workshop {

enum class ThemeKind { Day, Night };

struct Palette {
  QColor background;
  QColor text;
  QColor faint;  // grid, zero line's neighbours, secondary text
  QColor green;
  QColor amber;
  QColor red;
  QColor grey;      // last values while no data arrive
  QColor bandFill;  // the tolerance band behind the bars
  QColor greyFill;  // the band while no data arrive

  [[nodiscard]] static Palette Of(ThemeKind kind);
  [[nodiscard]] QColor ForBand(Band b) const;
};

}  // namespace qv::workshop
