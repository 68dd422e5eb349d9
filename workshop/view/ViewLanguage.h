#pragma once
// The workshop view's language and number style: every word comes from the
// workshop catalogue (WorkshopTexts.h), every number from FormatValue with the
// user's decimal separator and a real minus sign. This is only the bridge to
// QString; no text of its own lives here.
#include <QLocale>
#include <QString>
#include <initializer_list>
#include <string>

#include "WorkshopReading.h"
#include "WorkshopTexts.h"

namespace qv::workshop {

struct ViewLanguage {
  Language language = Language::German;
  std::string decimalSeparator = ",";

  // The catalogue's language for the locale's languages, and its separator.
  [[nodiscard]] static ViewLanguage For(const QLocale& locale);
  // As the catalogue decides from the environment (LANGUAGE, LC_ALL, ...),
  // with the separator of the default locale.
  [[nodiscard]] static ViewLanguage FromEnvironment();

  [[nodiscard]] QString T(TextId id) const;
  [[nodiscard]] QString F(TextId id, std::initializer_list<QString> args) const;

  [[nodiscard]] static QString UnitName(Unit u);
  // The value as shown: the unit's decimals, the separator, U+2212 for minus,
  // "+" when `sign` is set and the value is above zero as shown.
  [[nodiscard]] QString Number(double v, Unit u, bool sign, bool withUnit = false) const;
  [[nodiscard]] QString Scatter(double v, Unit u) const;                       // "±0,8"
  [[nodiscard]] QString ChannelName(const Reading& r, int channel) const;      // "Zyl. 3", "Zyl. 1+2"
  [[nodiscard]] QString ChannelLongName(const Reading& r, int channel) const;  // "Zylinder 3"
  [[nodiscard]] QString Band(qv::workshop::Band b) const;                      // "OK", "KNAPP", "WEIT"
  [[nodiscard]] QString ReferenceName(const Reading& r) const;
  [[nodiscard]] QString ReferenceLine(const Reading& r) const;
  // The verdict line of every status: "Kein Scan", "SYNCHRON", "Zyl. 3: +14 mBar", ...
  [[nodiscard]] QString Verdict(const Reading& r) const;
};

}  // namespace qv::workshop
