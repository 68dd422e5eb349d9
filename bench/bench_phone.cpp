// The phone view's server with phones on the loopback interface. A plain
// program printing its figures:
//  - a maxima frame handed to the server -> its event readable on a phone's
//    socket (median, p99; goal < 5 ms), with 8 phones streaming;
//  - the lateness of a 150 ms redraw tick beside the server, with 8 phones
//    and with 50 connections held open;
//  - the user-interface thread's processor share at the engine's frame rate
//    (--rate, default 25 a second: one per cycle at 3000 rpm) with 8 phones
//    against none.
// The phones are read by a thread of their own, whose time is not counted.
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "PhoneClient.h"
#include "PhoneServer.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double ThreadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Runs the event loop for `ms`, sleeping while there is nothing to do.
void Spin(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// Eight phones' streams, read as they come; the time the first phone saw each frame number.
class Phones {
 public:
  Phones(quint16 port, const std::string& request, int count) {
    for (int i = 0; i < count; ++i) {
      const int fd = qvbench::ConnectLoopback(port);
      if (fd < 0) continue;
      ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
      fds_.push_back(fd);
    }
    reader_ = std::thread([this] { Read(); });
  }
  ~Phones() {
    stop_ = true;
    reader_.join();
    for (int fd : fds_) ::close(fd);
  }
  std::map<long, Clock::time_point> Seen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }

 private:
  void Read() {
    std::vector<std::string> pending(fds_.size());
    char buf[8192];
    while (!stop_) {
      std::vector<pollfd> p;
      for (int fd : fds_) p.push_back({fd, POLLIN, 0});
      if (::poll(p.data(), p.size(), 50) <= 0) continue;
      const auto now = Clock::now();
      for (std::size_t i = 0; i < p.size(); ++i) {
        if (!(p[i].revents & POLLIN)) continue;
        const ssize_t n = ::recv(p[i].fd, buf, sizeof buf, 0);
        if (n <= 0 || i != 0) continue;
        pending[i].append(buf, static_cast<std::size_t>(n));
        for (std::size_t at; (at = pending[i].find("\"n\":")) != std::string::npos;) {
          const long frame = std::strtol(pending[i].c_str() + at + 4, nullptr, 10);
          pending[i].erase(0, at + 4);
          std::lock_guard<std::mutex> lock(mutex_);
          seen_.emplace(frame, now);
        }
      }
    }
  }

  std::vector<int> fds_;
  std::thread reader_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::map<long, Clock::time_point> seen_;
};

struct Run {
  double cpuShare = 0;
  double tickLateMax = 0;
  std::vector<double> latencies;
};

// `frame` counts the frames handed to the server, as the events number them.
Run Stream(qv::phone::PhoneServer& server, int rate, int seconds, Phones* phones, long& frame) {
  Run run;
  std::map<long, Clock::time_point> sent;
  QTimer frames;
  frames.setTimerType(Qt::PreciseTimer);
  QObject::connect(&frames, &QTimer::timeout, [&] {
    qv::session::Frame f;
    f.hasMaxima = true;
    sent.emplace(++frame, Clock::now());
    server.OnFrame(f);
  });
  auto lastTick = Clock::now();
  QTimer tick;
  tick.setTimerType(Qt::PreciseTimer);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const auto now = Clock::now();
    run.tickLateMax = std::max(run.tickLateMax, Ms(now - lastTick) - 150.0);
    lastTick = now;
  });
  const double cpu0 = ThreadCpuSeconds();
  const auto wall0 = Clock::now();
  frames.start(1000 / rate);
  tick.start(150);
  lastTick = Clock::now();
  Spin(seconds * 1000);
  frames.stop();
  tick.stop();
  run.cpuShare = (ThreadCpuSeconds() - cpu0) / std::chrono::duration<double>(Clock::now() - wall0).count();
  if (phones) {
    Spin(200);
    for (const auto& [n, at] : phones->Seen()) {
      const auto s = sent.find(n);
      if (s != sent.end()) run.latencies.push_back(Ms(at - s->second));
    }
  }
  return run;
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5)];
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCommandLineParser cli;
  const QCommandLineOption rateOpt("rate", "maxima frames a second", "n", "25");
  const QCommandLineOption secondsOpt("seconds", "seconds per run", "s", "10");
  cli.addOptions({rateOpt, secondsOpt});
  cli.process(app);
  const int rate = std::max(1, cli.value(rateOpt).toInt());
  const int seconds = std::max(1, cli.value(secondsOpt).toInt());

  qv::phone::PhoneServer server;
  if (!server.Start(QHostAddress(QHostAddress::LocalHost))) {
    std::fprintf(stderr, "not started: %s\n", qPrintable(server.Error()));
    return 1;
  }
  const std::string token = QUrlQuery(QUrl(server.Url())).queryItemValue("t").toStdString();
  const std::string cookie = qvbench::Pair(server.Port(), token);
  if (cookie.size() != 32) {
    std::fprintf(stderr, "the phone did not pair\n");
    return 1;
  }
  const std::string request = "GET /events HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(server.Port()) +
                              "\r\nCookie: qv=" + cookie + "\r\n\r\n";

  long frame = 0;
  const Run idle = Stream(server, rate, seconds, nullptr, frame);
  Run eight;
  {
    Phones phones(server.Port(), request, 8);
    QElapsedTimer wait;
    wait.start();
    while (server.Phones() < 8 && wait.elapsed() < 5000) QCoreApplication::processEvents();
    if (server.Phones() != 8) {
      std::fprintf(stderr, "only %d phones connected\n", server.Phones());
      return 1;
    }
    eight = Stream(server, rate, seconds, &phones, frame);
  }
  Run crowded;
  {
    // Fifty phones that connect and send nothing: eight hold their places
    // until the deadline cuts them, the others are refused.
    std::vector<int> fds;
    for (int i = 0; i < 50; ++i) fds.push_back(qvbench::ConnectLoopback(server.Port()));
    crowded = Stream(server, rate, std::min(seconds, 4), nullptr, frame);
    for (int fd : fds)
      if (fd >= 0) ::close(fd);
  }
  std::printf("phone view, %d maxima frames a second, %d s per run\n", rate, seconds);
  std::printf("  frame -> event readable on a phone's socket (8 phones): median %.3f ms, p99 %.3f ms (%zu frames)\n",
              Percentile(eight.latencies, 0.5), Percentile(eight.latencies, 0.99), eight.latencies.size());
  std::printf(
      "  150 ms redraw tick, latest beyond its time: %.1f ms with none, %.1f ms with 8 phones, %.1f ms with 50 "
      "connections held open\n",
      idle.tickLateMax, eight.tickLateMax, crowded.tickLateMax);
  std::printf("  user-interface thread's processor share: %.2f %% with no phone, %.2f %% with 8 phones\n",
              100 * idle.cpuShare, 100 * eight.cpuShare);
  return 0;
}
