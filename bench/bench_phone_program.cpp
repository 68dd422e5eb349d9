// The phone view through the whole program: the main window's port reading a
// pseudo-terminal device at the engine's frame rate (--rate, default 25 maxima
// frames a second), the workshop view open, the phone view on 127.0.0.1. A
// plain program printing its figures, the runs side by side in one process:
//  - a maxima frame decoded (published by the session) -> its event readable
//    on a phone's socket (median, p99; goal < 5 ms), with 8 phones streaming;
//  - the program's processor share with 8 phones against none (goal: at most
//    1 % of a core more).
// The device and the phones are played by one thread of the benchmark's own,
// whose processor time is taken off the program's.
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
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

#include "BenchApp.h"
#include "CommandLine.h"
#include "PhoneClient.h"
#include "PhoneServer.h"
#include "PhoneSwitch.h"
#include "Program.h"
#include "Session.h"
#include "UnitMain.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double CpuSeconds(clockid_t clock) {
  timespec ts{};
  clock_gettime(clock, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void Spin(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

std::string Frame(int n) {
  std::string f = "MUXA#Maxima";
  for (int m : {300 + n % 3, 304, 330, 298}) {
    f += static_cast<char>(m & 0xFF);
    f += static_cast<char>((m >> 8) & 0xFF);
  }
  return f + "End_Data";
}

// Pairs a phone with the code's address; the cookie, "" for none.
std::string PairWithCode(quint16 port, const QString& url) {
  return qvbench::Pair(port, QUrlQuery(QUrl(url)).queryItemValue("t").toStdString());
}

// When the session published each maxima frame, numbered as the phone server numbers them.
struct Published : qv::session::Subscriber {
  void OnFrame(const qv::session::Frame& f) override {
    if (!f.hasMaxima) return;
    std::lock_guard<std::mutex> lock(mutex);
    at.emplace(++count, Clock::now());
  }
  std::mutex mutex;
  long count = 0;
  std::map<long, Clock::time_point> at;
};

// The device (a frame every `intervalMs` into the pseudo-terminal) and the
// phones' streams (the time the first phone saw each frame), on one thread.
class Outside {
 public:
  Outside(int master, int intervalMs) : master_(master), interval_(intervalMs) {
    thread_ = std::thread([this] { Run(); });
  }
  ~Outside() {
    stop_ = true;
    thread_.join();
    for (int fd : phones_) ::close(fd);
  }
  void AddPhones(quint16 port, const std::string& request, int count) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (int i = 0; i < count; ++i) {
      const int fd = qvbench::ConnectLoopback(port);
      if (fd < 0) continue;
      ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
      phones_.push_back(fd);
    }
    pending_.assign(phones_.size(), std::string());
  }
  void DropPhones() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (int fd : phones_) ::close(fd);
    phones_.clear();
    pending_.clear();
  }
  void Sending(bool on) { sending_ = on; }
  std::map<long, Clock::time_point> Seen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }
  double CpuSeconds() {
    clockid_t c;
    if (pthread_getcpuclockid(thread_.native_handle(), &c) != 0) return 0;
    return ::CpuSeconds(c);
  }

 private:
  void Run() {
    char buf[8192];
    auto next = Clock::now();
    int n = 0;
    while (!stop_) {
      std::vector<pollfd> p;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        for (int fd : phones_) p.push_back({fd, POLLIN, 0});
      }
      p.push_back({master_, POLLIN, 0});
      const int wait = std::max(
          0, static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now()).count()));
      ::poll(p.data(), p.size(), std::min(wait, 20));
      const auto now = Clock::now();
      if (p.back().revents & POLLIN) (void)!::read(master_, buf, sizeof buf);  // the port's commands
      {
        std::lock_guard<std::mutex> lock(mutex_);
        for (std::size_t i = 0; i + 1 < p.size() && i < phones_.size(); ++i) {
          if (!(p[i].revents & POLLIN)) continue;
          const ssize_t got = ::recv(p[i].fd, buf, sizeof buf, MSG_DONTWAIT);
          if (got <= 0 || i != 0) continue;
          pending_[i].append(buf, static_cast<std::size_t>(got));
          for (std::size_t at; (at = pending_[i].find("\"n\":")) != std::string::npos;) {
            seen_.emplace(std::strtol(pending_[i].c_str() + at + 4, nullptr, 10), now);
            pending_[i].erase(0, at + 4);
          }
        }
      }
      if (sending_ && now >= next) {
        const std::string f = Frame(n++);
        (void)!::write(master_, f.data(), f.size());
        next += std::chrono::milliseconds(interval_);
        if (next < now) next = now + std::chrono::milliseconds(interval_);
      } else if (!sending_) {
        next = now;
      }
    }
  }

  int master_;
  int interval_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> sending_{false};
  std::mutex mutex_;
  std::vector<int> phones_;
  std::vector<std::string> pending_;
  std::map<long, Clock::time_point> seen_;
};

// The program's processor share over `seconds` of frames, the outside thread's time taken off.
double ProgramShare(Outside& outside, int seconds) {
  const double proc0 = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID), out0 = outside.CpuSeconds();
  const auto wall0 = Clock::now();
  Spin(seconds * 1000);
  const double proc = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - proc0, out = outside.CpuSeconds() - out0;
  return (proc - out) / std::chrono::duration<double>(Clock::now() - wall0).count();
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5)];
}

}  // namespace

int main(int argc, char** argv) {
  qvbench::EnsureApplication("bench_phone_program");
  int rate = 25, seconds = 10, rounds = 3;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string a = argv[i];
    if (a == "--rate") rate = std::max(1, std::atoi(argv[i + 1]));
    if (a == "--seconds") seconds = std::max(1, std::atoi(argv[i + 1]));
    if (a == "--rounds") rounds = std::max(1, std::atoi(argv[i + 1]));
  }

  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    std::fprintf(stderr, "no pseudo-terminal\n");
    return 1;
  }
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
  const std::string slave = ptsname(master);

  TForm1 form;
  form.SetCommandLinePort(slave);
  qv::TProgram program(form, qv::ParseCommandLine({"quorvel", "--workshop"}));
  program.Show();
  qv::phone::PhoneServer& server = program.PhoneServer();
  // The stamp hears each frame before the phone server does.
  Published published;
  program.Session().Unsubscribe(server);
  program.Session().Subscribe(published);
  program.Session().Subscribe(server);
  program.Phone().SetWanted(QStringLiteral("127.0.0.1"));
  QString error;
  if (!program.Phone().On(&error)) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }
  const quint16 port = server.Port();
  std::vector<std::string> requests;
  for (int i = 0; i < 8; ++i) {
    const std::string cookie = PairWithCode(port, server.Url());
    if (cookie.size() != 32) {
      std::fprintf(stderr, "phone %d did not pair\n", i + 1);
      return 1;
    }
    requests.push_back("GET /events HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\nCookie: qv=" + cookie +
                       "\r\n\r\n");
  }
  form.Button2->click();  // Start Scan
  Outside outside(master, 1000 / rate);
  outside.Sending(true);
  Spin(2000);  // the scan under way, the view settled

  std::vector<double> none, eight;
  for (int r = 0; r < rounds; ++r) {
    none.push_back(ProgramShare(outside, seconds));
    for (const std::string& request : requests) outside.AddPhones(port, request, 1);
    QElapsedTimer wait;
    wait.start();
    while (server.Phones() < 8 && wait.elapsed() < 5000) QCoreApplication::processEvents();
    if (server.Phones() != 8) {
      std::fprintf(stderr, "only %d phones connected\n", server.Phones());
      return 1;
    }
    Spin(500);
    eight.push_back(ProgramShare(outside, seconds));
    outside.DropPhones();
    while (server.Phones() > 0 && wait.elapsed() < 10000) QCoreApplication::processEvents();
  }
  outside.Sending(false);
  Spin(300);

  std::vector<double> lags;
  {
    std::lock_guard<std::mutex> lock(published.mutex);
    for (const auto& [n, seen] : outside.Seen()) {
      const auto p = published.at.find(n);
      if (p != published.at.end()) lags.push_back(Ms(seen - p->second));
    }
  }
  auto mean = [](const std::vector<double>& v) {
    double s = 0;
    for (double x : v) s += x;
    return v.empty() ? 0 : s / static_cast<double>(v.size());
  };
  std::printf("phone view in the program, %d maxima frames a second from a pseudo-terminal, %d rounds of %d s\n", rate,
              rounds, seconds);
  std::printf(
      "  frame decoded -> event readable on a phone's socket (8 phones): median %.3f ms, p99 %.3f ms (%zu frames)\n",
      Percentile(lags, 0.5), Percentile(lags, 0.99), lags.size());
  std::printf("  program's processor share, rounds side by side:");
  for (int r = 0; r < rounds; ++r) std::printf("  %.2f %% none / %.2f %% 8 phones", 100 * none[r], 100 * eight[r]);
  std::printf("\n  mean: %.2f %% with no phone, %.2f %% with 8 phones (%+.2f %% of a core)\n", 100 * mean(none),
              100 * mean(eight), 100 * (mean(eight) - mean(none)));
  program.Phone().Off();
  return 0;
}
