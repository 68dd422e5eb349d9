#pragma once
// The frames a browser test's server sends: --frames of them, --interval-ms
// apart, from --delay-ms after the first phone is connected. Each is printed
// as "FRAME n ms-since-epoch" once sent, and "SILENT" after the last, for the
// test to time the page against.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <utility>

namespace qvtest {

class ScriptedFeed {
 public:
  // Reads the options from the program's command line; send(n) sends the
  // n-th frame, from 1.
  ScriptedFeed(const QCoreApplication& app, std::function<void(int)> send) : send_(std::move(send)) {
    QCommandLineParser cli;
    const QCommandLineOption framesOpt("frames", "maxima frames to send", "n", "40");
    const QCommandLineOption intervalOpt("interval-ms", "time between frames", "ms", "100");
    const QCommandLineOption delayOpt("delay-ms", "wait after the first phone", "ms", "1500");
    cli.addOptions({framesOpt, intervalOpt, delayOpt});
    cli.process(app);
    frames_ = cli.value(framesOpt).toInt();
    intervalMs_ = cli.value(intervalOpt).toInt();
    delayMs_ = cli.value(delayOpt).toInt();
    tick_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick_, &QTimer::timeout, [this] { Next(); });
  }

  // The server's count of phones: the first phone starts the feed.
  void PhonesChanged(int phones) {
    if (phones < 1 || started_) return;
    started_ = true;
    QTimer::singleShot(delayMs_, &tick_, [this] { tick_.start(intervalMs_); });
  }

 private:
  void Next() {
    ++sent_;
    send_(sent_);
    std::printf("FRAME %d %lld\n", sent_, static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
    std::fflush(stdout);
    if (sent_ == frames_) {
      tick_.stop();
      std::printf("SILENT\n");
      std::fflush(stdout);
    }
  }

  std::function<void(int)> send_;
  QTimer tick_;
  int frames_ = 0;
  int intervalMs_ = 0;
  int delayMs_ = 0;
  int sent_ = 0;
  bool started_ = false;
};

}  // namespace qvtest
