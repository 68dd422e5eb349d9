// Start of the program: the command line, the application object, the main
// window, and the message loop until the main window closes.
#include <QApplication>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "AppErrors.h"
#include "Artwork.h"
#include "CPort.h"
#include "CPortSetup.h"
#include "CPortTr.h"
#include "CommandLine.h"
#include "Fonts.h"
#include "PortErrorReport.h"
#include "RecordingControl.h"
#include "RecordingWorkshop.h"
#include "Startup.h"
#include "UnitMain.h"
#include "WorkshopBackend.h"
#include "WorkshopJob.h"
#include "WorkshopLauncher.h"
#include "setup.h"

// QUORVEL_VERSION comes from the build (the CMake project version).
#ifndef QUORVEL_VERSION
#error "QUORVEL_VERSION is not defined"
#endif

int main(int argc, char** argv) {
  // Read before any window exists, so that --help and --version need no display.
  const std::vector<std::string> args(argv, argv + argc);
  const qv::CommandLine cl = qv::ParseCommandLine(args);
  switch (cl.action) {
    case qv::CommandLine::Action::Help: std::fputs(qv::UsageText("quorvel").c_str(), stdout); return 0;
    case qv::CommandLine::Action::Version: std::printf("quorvel %s\n", QUORVEL_VERSION); return 0;
    case qv::CommandLine::Action::Error: std::fprintf(stderr, "quorvel: %s (try --help)\n", cl.error.c_str()); return 2;
    case qv::CommandLine::Action::Run: break;
  }

  // Only Qt's own options go on to the application object.
  std::vector<std::string> qtArgs = cl.toolkitArgs;
  std::vector<char*> qtArgv;
  for (std::string& a : qtArgs) qtArgv.push_back(a.data());
  qtArgv.push_back(nullptr);
  int qtArgc = static_cast<int>(qtArgs.size());

  QApplication app(qtArgc, qtArgv.data());
  QApplication::setApplicationName(QStringLiteral("Quorvel"));
  QApplication::setApplicationVersion(QStringLiteral(QUORVEL_VERSION));
  // Ties the window to the installed desktop entry (its icon and name in docks and task bars).
  QApplication::setDesktopFileName(QStringLiteral("io.quorvel.Synchrontester"));
  QApplication::setWindowIcon(qv::AppIcon());
  qv::InstallFontSubstitutions();
  InstallCPortTranslations();
  // The settings dialog is made hidden right after the main window and kept
  // until after it is gone: the window reads its display settings from it.
  std::unique_ptr<TForm2> form2;
  TForm1 form;
  form2 = std::make_unique<TForm2>();
  qv::AttachSettingsDialog(form, *form2);
  // The port's own errors (failing handlers, a failed apply) get the program's
  // error report; Setup|Port opens the port's setup dialog.
  form.ComPort1->SetErrorReporter([](const std::exception& e) { qv::ReportError(e); });
  qv::InstallPortSetupDialog(*form.ComPort1);
  // A port error's message box also says what the system means and what to do.
  qv::InstallPortErrorDetail(*form.ComPort1);
  form.SetCommandLinePort(cl.port);
  // The workshop view's menu stands right of the window's three, the recording
  // menu right of it: menus are added in this order.
  auto* workshop = qv::AttachWorkshopView(form, qv::CommandLine{}, [&form] { return qv::MakeWorkshopBackend(form); });
  // Recording and replay: a menu of their own, and the --record / --replay options.
  const auto recording = std::make_unique<qv::TRecordingControl>(form);
  if (cl.record) recording->RecordEveryScan(*cl.record);
  qv::JoinRecordingToWorkshop(*recording, *workshop);
  // The view's own scan, recording and replay controls, once it is made.
  workshop->OnViewMade = [joinRecording = workshop->OnViewMade, &form,
                          control = recording.get()](qv::workshop::TWorkshopView& view) {
    if (joinRecording) joinRecording(view);
    qv::JoinJobControls(view, form, *control);
  };
  form.show();
  // --workshop opens the view once the main window is shown, beside it.
  if (cl.workshop) workshop->Open();
  if (cl.replay) recording->OpenReplay(QString::fromStdString(*cl.replay));
  return QApplication::exec();
}
