// Throughput of the receive handler and decoder, in bytes per second of
// received data, for several event sizes. The serial line brings 5,760 bytes/s.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>

#include "Decoder.h"

namespace {

// Allocations made while the handler runs (counted only inside its calls).
std::atomic<std::uint64_t> g_allocations{0};
thread_local bool g_counting = false;

constexpr double kLineRate = 5760.0;  // 57600 baud, 10 bits per byte

// Serves an endless repetition of one stream.
class LoopPort : public TComPortIO {
 public:
  explicit LoopPort(std::string stream) : stream_(std::move(stream)) {}
  int ReadString(std::string& Str, int Count) override {
    Str.clear();
    for (std::size_t left = static_cast<std::size_t>(Count); left > 0;) {
      const std::size_t n = std::min(left, stream_.size() - pos_);
      Str.append(stream_, pos_, n);
      pos_ = (pos_ + n) % stream_.size();
      left -= n;
    }
    return static_cast<int>(Str.size());
  }
  int WriteString(const std::string& Str) override { return static_cast<int>(Str.size()); }

 private:
  std::string stream_;
  std::size_t pos_ = 0;
};

std::string Le16(int v) { return {static_cast<char>(v & 0xff), static_cast<char>(v >> 8)}; }

std::string Maxima(int base) {
  std::string f = "MUXA#Maxima";
  for (int k = 0; k < 4; ++k) f += Le16(base + 13 * k);
  return f + "End_Data";
}

std::string Channel(int ch) {
  std::string f =
      "MUXA#Channel" + std::string(1, static_cast<char>(ch)) + std::string(7, '\0') + "260" + std::string(11, '\0');
  for (int i = 0; i < 260; ++i) f += Le16(9000 + (i * 37 + ch * 101) % 2000);
  return f + "End_Data";
}

// What the device sends while scanning: maxima frames between channel runs.
std::string Realistic() {
  std::string s;
  for (int n = 0; n < 16; ++n) s += Maxima(9900 + n) + Channel(n % 4);
  return s;
}

// Never a frame, with the tag always present so that every event searches the
// whole accumulator for "End_Data" and every position starts a partial match.
std::string TagAndPartialEnds() {
  std::string s;
  while (s.size() < 4096) s += "MUXA" + std::string(60, 'E');
  return s;
}
std::string TagAndNearMisses() {
  std::string s = "MUXA";
  while (s.size() < 4096) s += "End_Dat";
  return s;
}
// Never a tag: every event searches the whole accumulator for "MUXA".
std::string NearMissTags() {
  std::string s;
  while (s.size() < 4096) s += "MUX";
  return s;
}

// Many short frames waiting at once, none with a whole maxima tag: every cut
// searches a long rest for "MUXA#Maxima" in vain.
std::string BacklogOfNearMisses() {
  std::string s;
  while (s.size() < 4096) s += "MUXA#MaximXEnd_Data";
  return s;
}

void Decode(benchmark::State& state, const std::string& stream) {
  const int event = static_cast<int>(state.range(0));
  LoopPort port(stream);
  auto m = std::make_unique<TMeasurement>();
  TFrameDecoder decoder(*m, port);
  for (int i = 0; i < 10000; ++i) decoder.ComPort1RxChar(event);  // warm the string capacities
  const std::uint64_t allocsBefore = g_allocations.load();
  for (auto _ : state) {
    g_counting = true;
    decoder.ComPort1RxChar(event);
    g_counting = false;
    benchmark::DoNotOptimize(m->INSTRING.data());
  }
  const double bytes = static_cast<double>(state.iterations()) * event;
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
  state.counters["x_line_rate"] = benchmark::Counter(bytes / kLineRate, benchmark::Counter::kIsRate);
  state.counters["allocs_per_event"] =
      static_cast<double>(g_allocations.load() - allocsBefore) / static_cast<double>(state.iterations());
}

}  // namespace

void* operator new(std::size_t n) {
  if (g_counting) g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

BENCHMARK_CAPTURE(Decode, realistic, Realistic())->Arg(1)->Arg(16)->Arg(64)->Arg(560);
BENCHMARK_CAPTURE(Decode, worst_tag_and_E, TagAndPartialEnds())->Arg(1)->Arg(16)->Arg(64)->Arg(560);
BENCHMARK_CAPTURE(Decode, worst_tag_and_End_Dat, TagAndNearMisses())->Arg(1)->Arg(16)->Arg(64)->Arg(560);
BENCHMARK_CAPTURE(Decode, worst_no_tag_MUX, NearMissTags())->Arg(1)->Arg(16)->Arg(64)->Arg(560);

BENCHMARK_CAPTURE(Decode, backlog_near_miss_frames, BacklogOfNearMisses())->Arg(1)->Arg(16)->Arg(64)->Arg(560);

BENCHMARK_MAIN();
