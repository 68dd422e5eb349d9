#include "CPortTr.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>
#include <memory>

QString CPortTr(const char* text) { return QCoreApplication::translate(kCPortDomain, text); }

bool InstallCPortTranslations() {
  // The catalogues are compiled into the library (":/i18n/cport_<lang>.qm"), so
  // the build tree and an installed program find the same ones. QLocale()
  // follows the system's locale (LANG, LC_ALL, LC_MESSAGES) unless a default
  // was set. Calling again replaces the catalogue installed before.
  // Qt keeps the installed translators per application, so the one installed
  // here is remembered process-wide too.
  static std::unique_ptr<QTranslator> installed;
  if (installed) {
    QCoreApplication::removeTranslator(installed.get());
    installed.reset();
  }
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QLocale(), QStringLiteral("cport"), QStringLiteral("_"), QStringLiteral(":/i18n")))
    return false;
  if (!QCoreApplication::installTranslator(translator.get())) return false;
  installed = std::move(translator);
  return true;
}
