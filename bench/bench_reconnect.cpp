// Reconnecting after a pulled cable. Reported:
//   BM_WaitingForTheDevice      the controller waiting for a device that does
//                               not come back, the owner's thread asleep:
//                               cpu_ms_per_second of the whole process, and
//                               looks (how often the watcher looked; it looks
//                               only when dev changes)
//   BM_ReconnectToFirstFrame    the main window scanning quorvel-sim through a
//                               by-id link; the simulator is ended (the line
//                               hangs up) and a new one started, and the link
//                               is re-pointed at it: reappear_to_frame_ms from
//                               re-pointing the link to the first frame decoded
//                               on the reopened port (median and max over the
//                               reconnects), and cpu_percent_waiting of the
//                               window while it waited (its redraw tick included)
#include <benchmark/benchmark.h>
#include <signal.h>
#include <time.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchApp.h"
#include "ReconnectController.h"
#include "ReconnectLink.h"
#include "SimProcess.h"
#include "UnitMain.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kLinkName = "usb-Quorvel_Synchrontester_SIM0001-if00";

std::int64_t Ns(clockid_t clock) {
  timespec ts{};
  clock_gettime(clock, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

void RunEventLoopUntil(const std::function<bool()>& done, int limitMs) {
  const std::int64_t end = Ns(CLOCK_MONOTONIC) + std::int64_t(limitMs) * 1'000'000;
  while (!done() && Ns(CLOCK_MONOTONIC) < end) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void RunEventLoop(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// udev's way of making a link: a new one renamed over the old.
void PointLink(const fs::path& link, const std::string& target) {
  fs::create_directories(link.parent_path());
  const fs::path tmp = link.parent_path() / ".new-link";
  fs::remove(tmp);
  fs::create_symlink(target, tmp);
  fs::rename(tmp, link);
}

void BM_WaitingForTheDevice(benchmark::State& state) {
  const fs::path root = qvbench::EnsureApplication("bench_reconnect") / "waiting";
  const qv::usb::TUsbRoots roots{root / "sys", root / "dev"};
  fs::create_directories(roots.dev / "serial" / "by-id");
  std::mutex m;
  std::condition_variable cv;
  qv::usb::TReconnectController::THooks hooks;
  hooks.post = [&](std::function<void()>) { cv.notify_all(); };
  qv::usb::TReconnectController controller(hooks, roots);
  PointLink(roots.dev / "serial" / "by-id" / kLinkName, "/dev/null");
  controller.ScanStarted((roots.dev / "serial" / "by-id" / kLinkName).string());
  fs::remove(roots.dev / "serial" / "by-id" / kLinkName);
  controller.DeviceLost();
  for (auto _ : state) {
    const std::int64_t cpu0 = Ns(CLOCK_PROCESS_CPUTIME_ID);
    const std::int64_t t0 = Ns(CLOCK_MONOTONIC);
    {
      std::unique_lock lock(m);
      cv.wait_for(lock, std::chrono::seconds(5));
    }
    const double wall = double(Ns(CLOCK_MONOTONIC) - t0) / 1e9;
    state.SetIterationTime(wall);
    state.counters["cpu_ms_per_second"] = double(Ns(CLOCK_PROCESS_CPUTIME_ID) - cpu0) / 1e6 / wall;
    state.counters["looks"] = controller.WatcherLooks();
  }
  controller.ScanStopped();
}

void BM_ReconnectToFirstFrame(benchmark::State& state) {
  const fs::path root = qvbench::EnsureApplication("bench_reconnect") / "window";
  const qv::usb::TUsbRoots roots{root / "sys", root / "dev"};
  const fs::path link = roots.dev / "serial" / "by-id" / kLinkName;
  auto sim = std::make_unique<simtest::SimProcess>(std::vector<std::string>{"--seed", "1"});
  std::string device = sim->ReadStdoutLine();
  if (device.empty()) throw std::runtime_error("the simulator did not start");
  PointLink(link, device);

  TForm1 form;
  form.SetReconnectEnabled(true, roots);
  form.SetCommandLinePort(link.string());
  form.show();
  form.Button2Click();
  RunEventLoop(1000);
  if (form.Decoder().Frames() == 0) throw std::runtime_error("no frames before the first reconnect");

  std::vector<double> ms;
  double waitCpu = 0, waitWall = 0;
  for (auto _ : state) {
    for (int i = 0; i < 5; ++i) {
      // The cable is pulled: udev removes the link, the line hangs up.
      fs::remove(link);
      sim->Signal(SIGTERM);
      sim->Finish();
      RunEventLoopUntil([&] { return form.Reconnect()->State() == qv::usb::TLinkState::kWaiting; }, 10000);
      if (form.Reconnect()->State() != qv::usb::TLinkState::kWaiting) throw std::runtime_error("the loss went unseen");
      const std::int64_t cpu0 = Ns(CLOCK_PROCESS_CPUTIME_ID), w0 = Ns(CLOCK_MONOTONIC);
      RunEventLoop(1000);
      waitCpu += double(Ns(CLOCK_PROCESS_CPUTIME_ID) - cpu0);
      waitWall += double(Ns(CLOCK_MONOTONIC) - w0);

      sim = std::make_unique<simtest::SimProcess>(std::vector<std::string>{"--seed", std::to_string(i + 2)});
      device = sim->ReadStdoutLine();
      const std::uint64_t frames = form.Decoder().Frames();
      const std::int64_t t0 = Ns(CLOCK_MONOTONIC);
      PointLink(link, device);
      RunEventLoopUntil([&] { return form.Decoder().Frames() > frames; }, 10000);
      if (form.Decoder().Frames() == frames) throw std::runtime_error("no frame after the reconnect");
      ms.push_back(double(Ns(CLOCK_MONOTONIC) - t0) / 1e6);
    }
    state.SetIterationTime(1);
  }
  std::sort(ms.begin(), ms.end());
  state.counters["reconnects"] = double(ms.size());
  state.counters["reappear_to_frame_median_ms"] = ms[ms.size() / 2];
  state.counters["reappear_to_frame_max_ms"] = ms.back();
  state.counters["cpu_percent_waiting"] = 100.0 * waitCpu / waitWall;
  form.Button3Click();
  form.close();
}

}  // namespace

BENCHMARK(BM_WaitingForTheDevice)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_ReconnectToFirstFrame)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
