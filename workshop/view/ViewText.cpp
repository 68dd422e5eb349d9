#include "ViewText.h"

#include <cmath>

namespace qv::workshop {

ViewLanguage ViewLanguageOf(const QLocale& locale) {
  return locale.language() == QLocale::English ? ViewLanguage::English : ViewLanguage::German;
}

ViewText ViewText::For(const QLocale& locale) {
  ViewText t;
  t.language = ViewLanguageOf(locale);
  t.locale = locale;
  return t;
}

QString ViewText::Tr(const char* german, const char* english) const {
  return QString::fromUtf8(language == ViewLanguage::English ? english : german);
}

QString ViewText::UnitName(Unit u) const {
  switch (u) {
    case Unit::MilliBar: return QStringLiteral("mBar");
    case Unit::HectoPascal: return QStringLiteral("hPa");
    case Unit::KiloPascal: return QStringLiteral("kPa");
    case Unit::InchHg: return QStringLiteral("inHg");
    case Unit::CentimetreHg: return QStringLiteral("cmHg");
    case Unit::MillimetreHg: return QStringLiteral("mmHg");
  }
  return {};
}

int ViewText::Decimals(Unit u) {
  switch (u) {
    case Unit::MilliBar:
    case Unit::HectoPascal:
    case Unit::MillimetreHg: return 0;
    case Unit::KiloPascal:
    case Unit::CentimetreHg: return 1;
    case Unit::InchHg: return 2;
  }
  return 0;
}

QString ViewText::Number(double v, Unit u, bool sign) const {
  if (!std::isfinite(v)) return QStringLiteral("–");
  const int decimals = Decimals(u);
  const double scale = std::pow(10.0, decimals);
  double shown = std::round(v * scale) / scale;
  if (shown == 0) shown = 0;  // no "-0"
  QString text = locale.toString(std::fabs(shown), 'f', decimals);
  if (shown < 0) return QStringLiteral("\u2212") + text;
  if (sign && shown > 0) return QStringLiteral("+") + text;
  return text;
}

QString ViewText::Scatter(double v, Unit u) const {
  if (!std::isfinite(v)) return QStringLiteral("±–");
  return QStringLiteral("±") + locale.toString(std::fabs(v), 'f', Decimals(u) + 1);
}

QString ViewText::ChannelName(const Reading& r, int channel) const {
  const QString prefix = Tr("Zyl. ", "Cyl. ");
  if (r.pairMode) return prefix + (channel == 0 ? QStringLiteral("1+2") : QStringLiteral("3+4"));
  return prefix + QString::number(channel + 1);
}

QString ViewText::ChannelLongName(const Reading& r, int channel) const {
  const QString prefix = Tr("Zylinder ", "Cylinder ");
  if (r.pairMode) return prefix + (channel == 0 ? QStringLiteral("1+2") : QStringLiteral("3+4"));
  return prefix + QString::number(channel + 1);
}

QString ViewText::BandWord(Band b) const {
  switch (b) {
    case Band::Inside: return QStringLiteral("OK");
    case Band::Near: return Tr("KNAPP", "NEAR");
    case Band::Outside: return Tr("WEIT", "FAR");
  }
  return {};
}

QString ViewText::Unsteady() const { return Tr("unruhig", "unsteady"); }

QString ViewText::ReferenceName(const Reading& r) const {
  if (r.pairMode) return Tr("Paare 1+2 / 3+4", "pairs 1+2 / 3+4");
  switch (r.referenceKind) {
    case ReferenceKind::Mean: return Tr("Mittelwert", "mean");
    case ReferenceKind::Midpoint: return Tr("Mitte", "midpoint");
    case ReferenceKind::Cylinder: return Tr("Zylinder ", "cylinder ") + QString::number(r.referenceCylinder + 1);
  }
  return {};
}

QString ViewText::ReferenceLine(const Reading& r) const {
  return Tr("Bezug: ", "Reference: ") + ReferenceName(r) + QStringLiteral("  ·  ") + Tr("Toleranz ", "tolerance ") +
         QStringLiteral("±") + Number(r.tolerance, r.unit, false) + QStringLiteral(" ") + UnitName(r.unit);
}

QString ViewText::Verdict(const Reading& r) const {
  if (r.inSync) return Tr("SYNCHRON", "IN SYNC");
  if (r.worstChannel >= 0 && r.worstChannel < r.channelCount) {
    const Channel& c = r.channels[static_cast<std::size_t>(r.worstChannel)];
    if (c.band != Band::Inside)
      return ChannelName(r, r.worstChannel) + QStringLiteral(": ") + Number(c.difference, r.unit, true) +
             QStringLiteral(" ") + UnitName(r.unit);
  }
  return Tr("Werte beruhigen sich …", "settling …");
}

QString ViewText::NoScan() const { return Tr("Kein Scan", "No scan"); }
QString ViewText::Waiting() const { return Tr("Warte auf Messwerte …", "Waiting for readings …"); }
QString ViewText::NoData() const { return Tr("Keine Daten", "No data"); }
QString ViewText::Zeroed() const { return Tr("genullt", "zeroed"); }

}  // namespace qv::workshop
