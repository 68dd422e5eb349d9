#pragma once
// The one-page report for the customer: an A4 PDF written with Qt's own PDF
// writer. Everything a user typed is drawn as plain text.
#include <QByteArray>
#include <string>

#include "JobRecord.h"
#include "TextCatalogue.h"

namespace qv::jobs {

// The PDF's bytes. Needs a QGuiApplication (for the fonts); `workshopName`
// empty gives a plain "Werkstatt".
[[nodiscard]] QByteArray RenderJobReport(const Job& job, const std::string& workshopName, Language lang);

}  // namespace qv::jobs
