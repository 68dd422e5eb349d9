#include "ViewLanguage.h"

#include <QStringList>
#include <vector>

#include "NumberFormat.h"
#include "Units.h"

namespace qv::workshop {

namespace {
constexpr std::string_view kMinus = "\u2212";

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
}  // namespace

ViewLanguage ViewLanguage::For(const QLocale& locale) {
  std::vector<std::string> names;
  for (const QString& n : locale.uiLanguages()) names.push_back(n.toStdString());
  return {LanguageForLocales(names), locale.decimalPoint().toStdString()};
}

ViewLanguage ViewLanguage::FromEnvironment() {
  return {LanguageFromEnvironment(), QLocale().decimalPoint().toStdString()};
}

QString ViewLanguage::T(TextId id) const { return Q(Text(id, language)); }

QString ViewLanguage::F(TextId id, std::initializer_list<QString> args) const {
  std::vector<std::string> bytes;
  for (const QString& a : args) bytes.push_back(a.toStdString());
  std::vector<std::string_view> views(bytes.begin(), bytes.end());
  // Format takes at most nine; the catalogue's texts use fewer.
  switch (views.size()) {
    case 0: return T(id);
    case 1: return Q(Format(id, language, {views[0]}));
    case 2: return Q(Format(id, language, {views[0], views[1]}));
    default: return Q(Format(id, language, {views[0], views[1], views[2]}));
  }
}

QString ViewLanguage::UnitName(Unit u) { return Q(UnitLabel(u)); }

QString ViewLanguage::Number(double v, Unit u, bool sign, bool withUnit) const {
  return Q(FormatValue(
      v, u, {.decimalSeparator = decimalSeparator, .withSign = sign, .withUnit = withUnit, .minus = kMinus}));
}

QString ViewLanguage::Scatter(double v, Unit u) const {
  return QStringLiteral("±") +
         Q(FormatValue(v < 0 ? -v : v, u, {.decimalSeparator = decimalSeparator, .extraDecimals = 1}));
}

QString ViewLanguage::ChannelName(const Reading& r, int channel) const { return Q(ChannelLabel(r, channel, language)); }

QString ViewLanguage::ChannelLongName(const Reading& r, int channel) const {
  const QString name =
      r.pairMode ? QStringLiteral("%1+%2").arg(2 * channel + 1).arg(2 * channel + 2) : QString::number(channel + 1);
  return F(TextId::kCylinderLong, {name});
}

QString ViewLanguage::Band(qv::workshop::Band b) const { return Q(BandWord(b, language)); }

QString ViewLanguage::ReferenceName(const Reading& r) const { return Q(qv::workshop::ReferenceName(r, language)); }

QString ViewLanguage::ReferenceLine(const Reading& r) const {
  return Q(qv::workshop::ReferenceLine(r, language, decimalSeparator));
}

QString ViewLanguage::Verdict(const Reading& r) const { return Q(VerdictText(r, language, decimalSeparator, kMinus)); }

}  // namespace qv::workshop
