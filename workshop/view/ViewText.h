#pragma once
// The workshop view's words and number formats in German and English. Kept
// small on purpose: the drawing asks for every text through this one place,
// so that the workshop model's catalogue can replace it.
#include <QLocale>
#include <QString>

#include "WorkshopReading.h"

namespace qv::workshop {

enum class ViewLanguage { German, English };

// English under an English locale, German otherwise.
[[nodiscard]] ViewLanguage ViewLanguageOf(const QLocale& locale);

struct ViewText {
  ViewLanguage language = ViewLanguage::German;
  QLocale locale{QLocale::German};

  [[nodiscard]] static ViewText For(const QLocale& locale);

  [[nodiscard]] QString UnitName(Unit u) const;
  // Decimals shown for a value in that unit (about one mBar's resolution).
  [[nodiscard]] static int Decimals(Unit u);
  // The value with the unit's decimals and the locale's separator; never NaN
  // or infinity (shown as a dash), a minus sign that is a real minus, and a
  // plus sign when `sign` is set and the value is above zero as shown.
  [[nodiscard]] QString Number(double v, Unit u, bool sign) const;
  [[nodiscard]] QString Scatter(double v, Unit u) const;                       // "±0,8"
  [[nodiscard]] QString ChannelName(const Reading& r, int channel) const;      // "Zyl. 3", "Zyl. 1+2"
  [[nodiscard]] QString ChannelLongName(const Reading& r, int channel) const;  // "Zylinder 3"
  [[nodiscard]] QString BandWord(Band b) const;                                // "OK", "KNAPP", "WEIT"
  [[nodiscard]] QString Unsteady() const;
  [[nodiscard]] QString ReferenceName(const Reading& r) const;
  [[nodiscard]] QString ReferenceLine(const Reading& r) const;  // "Bezug: Mittelwert · Toleranz ±10 mBar"
  [[nodiscard]] QString Verdict(const Reading& r) const;        // "SYNCHRON", "Zyl. 3: +14 mBar", ...
  [[nodiscard]] QString NoScan() const;
  [[nodiscard]] QString Waiting() const;
  [[nodiscard]] QString NoData() const;
  [[nodiscard]] QString Hold() const { return QStringLiteral("HOLD"); }
  [[nodiscard]] QString Zeroed() const;
  [[nodiscard]] QString Tr(const char* german, const char* english) const;
};

}  // namespace qv::workshop
