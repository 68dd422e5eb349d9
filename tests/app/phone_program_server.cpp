// The whole program with its phone view on 127.0.0.1, fed by a pseudo-terminal
// playing the device, for the browser test: it prints the page's address
// ("URL ..."), starts a scan, waits for the first phone, writes --frames
// maxima frames --interval-ms apart into the device's side (each printed with
// the time it was written, "FRAME n ms-since-epoch"), then falls silent
// ("SILENT") and keeps running until it is ended.
#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QPushButton>
#include <QTimer>
#include <cmath>
#include <cstdio>

#include "CommandLine.h"
#include "MainWindowTestSupport.h"
#include "PhoneServer.h"
#include "PhoneSwitch.h"
#include "Program.h"
#include "UnitMain.h"
#include "WorkshopLauncher.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCommandLineParser cli;
  const QCommandLineOption framesOpt("frames", "maxima frames to send", "n", "40");
  const QCommandLineOption intervalOpt("interval-ms", "time between frames", "ms", "100");
  const QCommandLineOption delayOpt("delay-ms", "wait after the first phone", "ms", "1500");
  cli.addOptions({framesOpt, intervalOpt, delayOpt});
  cli.process(app);
  const int frames = cli.value(framesOpt).toInt();

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

  int sent = 0;
  QTimer tick;
  tick.setTimerType(Qt::PreciseTimer);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    ++sent;
    // Four cylinders, the third drawing more vacuum, a little unsteady.
    const int wobble = static_cast<int>(std::lround(3 * std::sin(sent * 0.7)));
    device.Write(qvtest::MaximaFrame(300 + wobble, 304, 340 - wobble, 298));
    std::printf("FRAME %d %lld\n", sent, static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
    std::fflush(stdout);
    if (sent == frames) {
      tick.stop();
      std::printf("SILENT\n");
      std::fflush(stdout);
    }
  });
  bool started = false;
  QObject::connect(&program.PhoneServer(), &qv::phone::PhoneServer::PhonesChanged, [&](int phones) {
    if (phones < 1 || started) return;
    started = true;
    QTimer::singleShot(cli.value(delayOpt).toInt(), [&] { tick.start(cli.value(intervalOpt).toInt()); });
  });
  return QApplication::exec();
}
