// The phone view's server on 127.0.0.1 with scripted frames, for the browser
// test: it prints the page's address, waits for the first phone, sends
// --frames maxima frames --interval-ms apart (each with the time it was sent,
// "FRAME n ms-since-epoch"), then falls silent and keeps serving until it is
// ended.
#include <QCoreApplication>
#include <QHostAddress>
#include <cmath>
#include <cstdio>

#include "PhoneServer.h"
#include "ScriptedFeed.h"

using qv::workshop::Band;

namespace {

// A plausible reading: four cylinders settling, the third one off.
qv::phone::PhoneReading ReadingAt(int n) {
  qv::phone::PhoneReading r;
  r.status = qv::workshop::Status::Live;
  const double wobble = std::sin(n * 0.7);
  r.difference = {-2 + wobble, 6 - wobble, -14 + 0.5 * wobble, 9};
  for (std::size_t i = 0; i < 4; ++i) {
    const double a = std::fabs(std::round(r.difference[i]));
    r.band[i] = a <= 10 ? Band::Inside : a <= 20 ? Band::Near : Band::Outside;
  }
  r.worstChannel = 2;
  r.settled = true;
  r.reference = -248.75;
  r.tolerance = 10;
  r.toneCylinder = 2;
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  qv::phone::PhoneServer server;
  if (!server.Start(QHostAddress(QHostAddress::LocalHost))) {
    std::fprintf(stderr, "not started: %s\n", qPrintable(server.Error()));
    return 1;
  }
  qv::session::SessionState scanning;
  scanning.state = qv::session::State::kScanning;
  server.OnState(scanning);
  server.SetReading(ReadingAt(0));
  std::printf("URL %s\n", qPrintable(server.Url()));
  std::fflush(stdout);

  qvtest::ScriptedFeed feed(app, [&](int n) {
    server.SetReading(ReadingAt(n));
    qv::session::Frame f;
    f.hasMaxima = true;
    server.OnFrame(f);
  });
  QObject::connect(&server, &qv::phone::PhoneServer::PhonesChanged, [&](int phones) { feed.PhonesChanged(phones); });
  return app.exec();
}
