#include "CPortTr.h"

#include <QCoreApplication>

QString CPortTr(const char* text) { return QCoreApplication::translate(kCPortDomain, text); }

bool InstallCPortTranslations() {
  // Catalogues are added with the translations of the program; until then the
  // lookup returns every text unchanged.
  return false;
}
