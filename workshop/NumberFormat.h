#pragma once
// Numbers of the workshop view as text: rounded to the unit's resolution, with
// the decimal separator the caller gives (the view passes its locale's, the CSV
// file "."), independent of the C library's locale.
#include <string>
#include <string_view>

#include "WorkshopReading.h"

namespace qv::workshop {

struct NumberStyle {
  std::string_view decimalSeparator = ".";
  bool withSign = false;         // "+" before positive values ("-" is always written)
  bool withUnit = false;         // " mBar" after the number
  int extraDecimals = 0;         // more decimals than the unit's (the scatter shows one more)
  std::string_view minus = "-";  // the screen may prefer the real minus sign, U+2212
};

// The value in the unit (already converted) as text. A value that rounds to
// zero is "0" without a sign; a value that is not finite gives "--"; values
// beyond a billion are written as that bound, so no text can grow without end.
[[nodiscard]] std::string FormatValue(double value, Unit unit, const NumberStyle& style = {});

}  // namespace qv::workshop
