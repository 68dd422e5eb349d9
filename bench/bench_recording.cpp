// Recording and replay: what recording adds to a receive event on the
// receive handler's thread, seeking to the end of an hour's recording, and
// the CSV export of that hour (in process and as quorvel-decode --csv).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "CsvExport.h"
#include "Decoder.h"
#include "ReadTap.h"
#include "RecordingFormat.h"
#include "RecordingReader.h"
#include "RecordingWriter.h"
#include "ReplayEngine.h"

namespace {

namespace fs = std::filesystem;
constexpr std::size_t kLineRate = 5760;  // bytes per second, 57600 baud 8N1
constexpr std::size_t kEvent = 16;       // bytes per receive event, as the simulator delivers them

std::string Le16(int v) { return {static_cast<char>(v & 0xff), static_cast<char>(v >> 8)}; }

// A tenth of a second of the line: one maxima frame and one channel record of
// 260 samples (589 bytes, the line nearly full).
std::string Tenth(int i) {
  std::string s = "MUXA#Maxima";
  for (int k = 0; k < 4; ++k) s += Le16((i * 7 + 13 * k) % 200);
  s += "End_Data";
  s += "MUXA#Channel";
  s += static_cast<char>(i % 4);
  s += std::string(7, '\0') + "260" + std::string(11, '\0');
  for (int n = 0; n < 260; ++n) s += Le16((n * 3 + i) % 300);
  return s + "End_Data";
}

// An hour of the line in 16-byte receive events, timed at the line rate.
const fs::path& HourFile() {
  static const fs::path path = [] {
    fs::path p = fs::temp_directory_path() / ("quorvel-bench-hour-" + std::to_string(::getpid()) + ".qvrec");
    std::string stream;
    for (int i = 0; i < 36000; ++i) stream += Tenth(i);
    std::string file = qv::rec::EncodeHeader({});
    for (std::size_t at = 0; at < stream.size(); at += kEvent) {
      const std::size_t n = std::min(kEvent, stream.size() - at);
      qv::rec::AppendRecord(file, (at + n) * 1'000'000 / kLineRate, std::string_view(stream).substr(at, n));
    }
    std::ofstream(p, std::ios::binary) << file;
    std::atexit([] { fs::remove(HourFile()); });
    return p;
  }();
  return path;
}

const qv::rec::Recording& Hour() {
  static const qv::rec::Recording r = *qv::rec::ReadRecording(HourFile()).recording;
  return r;
}

// Serves the same bytes on every read, as a port with data waiting does.
class SamePort : public TComPortIO {
 public:
  explicit SamePort(std::string bytes) : bytes_(std::move(bytes)) {}
  int ReadString(std::string& Str, int Count) override {
    Str.assign(bytes_, 0, static_cast<std::size_t>(Count));
    return static_cast<int>(Str.size());
  }
  int WriteString(const std::string& Str) override { return static_cast<int>(Str.size()); }

 private:
  std::string bytes_;
};

// The append alone, per receive event of `range(0)` bytes.
void BM_RecordingAppend(benchmark::State& state) {
  const fs::path folder = fs::temp_directory_path() / ("quorvel-bench-rec-" + std::to_string(::getpid()));
  qv::rec::RecordingWriter writer;
  if (!writer.Start(folder, {})) state.SkipWithError(writer.Status().message.c_str());
  const std::string bytes(static_cast<std::size_t>(state.range(0)), 'x');
  for (auto _ : state) writer.Append(bytes);
  writer.Stop();
  if (writer.Status().failed) state.SkipWithError(writer.Status().message.c_str());
  fs::remove_all(folder);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RecordingAppend)->Arg(16)->Arg(64)->Iterations(1'000'000);

// A whole receive event (read, decode) with the tap, recording or not: the
// difference is what recording costs the receive handler's thread.
void BM_ReceiveEvent(benchmark::State& state) {
  const bool recording = state.range(0) != 0;
  const fs::path folder = fs::temp_directory_path() / ("quorvel-bench-rec-" + std::to_string(::getpid()));
  SamePort port(Tenth(1).substr(0, kEvent));
  qv::rec::RecordingWriter writer;
  if (recording && !writer.Start(folder, {})) state.SkipWithError(writer.Status().message.c_str());
  qv::TReadTap tap(port);
  if (recording) tap.OnRead = [&writer](std::string_view bytes) { writer.Append(bytes); };
  auto measurement = std::make_unique<TMeasurement>();
  TFrameDecoder decoder(*measurement, tap);
  for (auto _ : state) decoder.ComPort1RxChar(static_cast<int>(kEvent));
  writer.Stop();
  fs::remove_all(folder);
  state.SetLabel(recording ? "recording" : "not recording");
}
BENCHMARK(BM_ReceiveEvent)->Arg(0)->Arg(1)->Iterations(1'000'000);

// Seeking from the start to the end of the hour: every record re-decoded.
void BM_SeekToTheEndOfAnHour(benchmark::State& state) {
  const auto& hour = Hour();
  auto measurement = std::make_unique<TMeasurement>();
  for (auto _ : state) {
    qv::rec::ReplayEngine engine(hour, *measurement);
    engine.Seek(hour.DurationUs(), {});
    benchmark::DoNotOptimize(measurement->MAXIMA);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * hour.bytes.size()));
  state.counters["records"] = static_cast<double>(hour.records.size());
  state.counters["MB"] = static_cast<double>(hour.bytes.size()) / 1e6;
}
BENCHMARK(BM_SeekToTheEndOfAnHour)->Unit(benchmark::kMillisecond);

// Reading the hour's file and making its CSV, in process.
void BM_CsvOfAnHour(benchmark::State& state) {
  std::size_t lines = 0;
  for (auto _ : state) {
    const auto read = qv::rec::ReadRecording(HourFile());
    const std::string csv = qv::rec::ExportCsv(*read.recording, {});
    lines = static_cast<std::size_t>(std::count(csv.begin(), csv.end(), '\n'));
    benchmark::DoNotOptimize(csv.data());
  }
  state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_CsvOfAnHour)->Unit(benchmark::kMillisecond);

// The command itself: quorvel-decode --csv HOUR > /dev/null.
void BM_DecodeCsvCommandOnAnHour(benchmark::State& state) {
  const std::string cmd = std::string("'") + QV_DECODE_BIN + "' --csv '" + HourFile().string() + "' >/dev/null";
  for (auto _ : state) {
    if (std::system(cmd.c_str()) != 0) state.SkipWithError("quorvel-decode failed");
  }
}
BENCHMARK(BM_DecodeCsvCommandOnAnHour)->Unit(benchmark::kMillisecond)->Iterations(3);

// The line rate for five seconds, 16-byte events, recording or not: the
// process's CPU time over the wall time, as a share of one core. The
// difference is what the writer's thread costs while a scan is recorded.
void BM_CpuAtTheLineRate(benchmark::State& state) {
  const bool recording = state.range(0) != 0;
  const fs::path folder = fs::temp_directory_path() / ("quorvel-bench-rec-" + std::to_string(::getpid()));
  const std::string bytes = Tenth(2).substr(0, kEvent);
  const auto period = std::chrono::nanoseconds(1'000'000'000 * kEvent / kLineRate);
  double share = 0;
  for (auto _ : state) {
    qv::rec::RecordingWriter writer;
    if (recording && !writer.Start(folder, {})) state.SkipWithError(writer.Status().message.c_str());
    timespec cpu0{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu0);
    const auto start = std::chrono::steady_clock::now();
    auto next = start;
    while (next - start < std::chrono::seconds{5}) {
      next += period;
      std::this_thread::sleep_until(next);
      writer.Append(bytes);
    }
    writer.Stop();
    timespec cpu1{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu1);
    const double cpu = static_cast<double>(cpu1.tv_sec - cpu0.tv_sec) + (cpu1.tv_nsec - cpu0.tv_nsec) / 1e9;
    share = cpu / std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  fs::remove_all(folder);
  state.counters["core_percent"] = 100 * share;
  state.SetLabel(recording ? "recording" : "not recording");
}
BENCHMARK(BM_CpuAtTheLineRate)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
