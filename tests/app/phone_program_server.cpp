// The whole program with its phone view on 127.0.0.1, fed by a pseudo-terminal
// playing the device, for the browser test: it prints the page's address
// ("URL ..."), starts a scan, waits for the first phone, writes --frames
// maxima frames --interval-ms apart into the device's side (each printed with
// the time it was written, "FRAME n ms-since-epoch"), then falls silent
// ("SILENT") and keeps running until it is ended.
#include <QApplication>
#include <QPushButton>
#include <cmath>
#include <cstdio>

#include "CommandLine.h"
#include "MainWindowTestSupport.h"
#include "PhoneServer.h"
#include "PhoneSwitch.h"
#include "Program.h"
#include "ScriptedFeed.h"
#include "UnitMain.h"
#include "WorkshopLauncher.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  qvtest::FakeDevice device;
  TForm1 form;
  form.SetCommandLinePort(device.SlavePath());
  qv::TProgram program(form, qv::ParseCommandLine({"quorvel", "--workshop"}));
  program.Show();
  program.Phone().SetWanted(QStringLiteral("127.0.0.1"));
  QString error;
  if (!program.Phone().On(&error)) {
    std::fprintf(stderr, "not started: %s\n", qPrintable(error));
    return 1;
  }
  form.Button2->click();  // Start Scan
  std::printf("URL %s\n", qPrintable(program.PhoneServer().Url()));
  std::fflush(stdout);

  // Four cylinders, the third drawing more vacuum, a little unsteady.
  qvtest::ScriptedFeed feed(app, [&](int n) {
    const int wobble = static_cast<int>(std::lround(3 * std::sin(n * 0.7)));
    device.Write(qvtest::MaximaFrame(300 + wobble, 304, 340 - wobble, 298));
  });
  QObject::connect(&program.PhoneServer(), &qv::phone::PhoneServer::PhonesChanged,
                   [&](int phones) { feed.PhonesChanged(phones); });
  return QApplication::exec();
}
