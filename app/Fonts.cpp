#include "Fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>

namespace qv {

void InstallFontSubstitutions() {
  QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
  QString sans = QStringLiteral("Sans Serif");
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    const QString general = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    if (!general.isEmpty() && general != QLatin1String("MS Sans Serif")) sans = general;
  }
  QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), sans);
}

}  // namespace qv
