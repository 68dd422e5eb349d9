// The whole program (main window and workshop view) while the simulator
// streams at its full line rate, with the guidance tone on and off in
// one-second steps in the order off, on, on, off, ..., so that a drift of the
// machine's load falls on both alike; QUORVEL_BENCH_SECONDS of each (default
// 10). The sound goes to a private PulseAudio server with a null sink; its
// own share is counted apart. Switching (connecting to the server) happens
// between steps.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "BenchApp.h"
#include "CommandLine.h"
#include "Program.h"
#include "SimProcess.h"
#include "TWorkshopView.h"
#include "ToneControls.h"
#include "UnitMain.h"
#include "WorkshopLauncher.h"
#include "WorkshopSettings.h"
#include "support/PulseServer.h"

namespace {

int RunSeconds() {
  const char* s = std::getenv("QUORVEL_BENCH_SECONDS");
  const int n = s ? std::atoi(s) : 0;
  return n > 0 ? n : 10;
}

double ProcessCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// User and system time of another process, from /proc.
double OtherCpuSeconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(text.substr(close + 2));
  std::string f;
  double utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> f; ++i) {
    if (i == 14) utime = std::stod(f);
    if (i == 15) stime = std::stod(f);
  }
  return (utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void RunEventLoop(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

void BM_ToneOnVersusOff(benchmark::State& state) {
  const std::filesystem::path root = qvbench::EnsureApplication("bench_tone_program");
  qvtest::PulseServer server(root / "pulse");
  if (!server.Failure().empty()) {
    state.SkipWithError(("no private sound server: " + server.Failure()).c_str());
    return;
  }
  simtest::SimProcess sim({"--seed", "1"});
  const std::string device = sim.ReadStdoutLine();
  if (device.empty()) throw std::runtime_error("the simulator did not start");
  std::filesystem::remove(qv::workshop::DefaultSettingsPath());
  TForm1 form;
  form.SetCommandLinePort(device);
  form.show();
  auto program = std::make_unique<qv::TProgram>(form, qv::ParseCommandLine({"quorvel", "--workshop"}));
  program->Show();
  qv::workshop::ToneControls& tone = program->Workshop().View()->Tone();
  form.Button2Click();
  RunEventLoop(2000);
  for (auto _ : state) {
    double cpu[2] = {0, 0}, wall[2] = {0, 0}, sound[2] = {0, 0};
    const auto t0 = std::chrono::steady_clock::now();
    for (int step = 0; step < 2 * RunSeconds(); ++step) {
      const bool on = (step % 4 == 1) || (step % 4 == 2);
      if (tone.Settings().on != on) {
        tone.SetOn(on);
        RunEventLoop(300);  // connected and streaming before the step is measured
      }
      const double process0 = ProcessCpuSeconds();
      const double server0 = OtherCpuSeconds(server.Pid());
      const auto w0 = std::chrono::steady_clock::now();
      RunEventLoop(1000);
      cpu[on] += ProcessCpuSeconds() - process0;
      sound[on] += OtherCpuSeconds(server.Pid()) - server0;
      wall[on] += std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count();
    }
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    const double off = 100 * cpu[0] / wall[0], onShare = 100 * cpu[1] / wall[1];
    state.counters["tone_off_cpu_percent"] = off;
    state.counters["tone_on_cpu_percent"] = onShare;
    state.counters["difference_cpu_percent"] = onShare - off;
    state.counters["server_off_cpu_percent"] = 100 * sound[0] / wall[0];
    state.counters["server_on_cpu_percent"] = 100 * sound[1] / wall[1];
    std::printf(
        "program: tone off %.2f %% of a core, on %.2f %%, difference %+.2f %% (goal <= 1); "
        "sound server: off %.2f %%, on %.2f %%\n",
        off, onShare, onShare - off, 100 * sound[0] / wall[0], 100 * sound[1] / wall[1]);
  }
  if (tone.Settings().on) tone.SetOn(false);
  form.Button3Click();
  program.reset();  // the assembly goes before its window
  form.close();
}

}  // namespace

BENCHMARK(BM_ToneOnVersusOff)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
