#include "JobsReportCommand.h"

#include <QGuiApplication>
#include <iostream>

#include "AppPaths.h"
#include "JobReport.h"
#include "JobSettings.h"
#include "JobTexts.h"

namespace qv::jobs {

int WriteReportCommand(const Job& job, const std::string& file, Language lang) {
  // The fonts need a GUI application; a command line tool shows no window.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "quorvel-jobs";
  char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);
  const QByteArray pdf = RenderJobReport(job, LoadJobSettings().workshopName, lang);
  try {
    AtomicWriteFile(file, std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
  } catch (const std::exception& e) {
    std::cerr << "quorvel-jobs: " << JobText(JobTextId::kReportFailed, lang, {e.what()}) << "\n";
    return 1;
  }
  return 0;
}

}  // namespace qv::jobs
