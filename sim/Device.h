#pragma once
// The device's behaviour on the line, without any descriptor: commands in,
// frames out at the engine's pace and the line's rate. The main loop feeds it
// received bytes and the time, and writes what it hands back; tests do the
// same with a clock of their own.
//
// Commands: "b" switches the maxima frames on, one per engine cycle. "1".."4"
// add that channel to the channels whose records are sent; the records go out
// in turn, one whenever the line has caught up at the end of an engine cycle.
// "a" switches everything off: the frame already on the line is finished,
// frames not yet begun are dropped. Other bytes are ignored.
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

#include "EngineModel.h"
#include "FaultInjector.h"
#include "FrameLog.h"
#include "LinePacer.h"
#include "ReplaySource.h"

namespace qv::sim {

struct DeviceStats {
  std::uint64_t commands = 0;       // recognised command bytes received
  std::uint64_t maxima_frames = 0;  // frames that started on the line, by kind
  std::uint64_t channel_frames = 0;
  std::uint64_t replay_segments = 0;
  std::uint64_t junk_runs = 0;
  std::uint64_t junk_bytes = 0;
  std::uint64_t dropped_ends = 0;  // faults injected into frames that went out
  std::uint64_t bad_channels = 0;
  std::uint64_t bad_counts = 0;
  std::uint64_t bytes_sent = 0;
  std::uint64_t bytes_lost = 0;        // sent while nobody read and the pty was full
  std::uint64_t frames_discarded = 0;  // dropped by "a" or a full queue before they began
};

inline constexpr Nanos kNever = std::numeric_limits<Nanos>::max();
// More than this waiting to go out means the line cannot keep up: new frames are dropped.
inline constexpr std::size_t kMaxBacklog = 8192;
// Engine cycles worth catching up after the process was held up; beyond that the model skips.
inline constexpr std::uint64_t kMaxCatchUpCycles = 50;

class Device {
 public:
  Device(EngineModel& engine, FaultInjector& faults, Nanos start);

  // Plays the capture instead of the engine's frames (the engine keeps running).
  // A recording's segments go on the line at their recorded times, counted
  // from when the device is switched on; switched off and on again, it goes
  // on from where it stopped.
  void SetReplay(ReplaySource* replay) { replay_ = replay; }
  // Told about every frame as its first byte leaves (a FrameLog, or a test's list).
  void SetLog(std::function<void(const LoggedFrame&)> log) { log_ = std::move(log); }

  void Receive(std::string_view bytes, Nanos now);

  // Runs the engine through every cycle that has ended by `now`, queueing its frames.
  void Tick(Nanos now);

  // The bytes due on the line at `now`; empty when nothing is due yet.
  [[nodiscard]] std::string TakeDue(Nanos now);

  // When Tick or TakeDue next has something to do.
  [[nodiscard]] Nanos NextDeadline() const;

  // The caller could not hand `bytes` of what TakeDue returned to the line.
  void Lost(std::size_t bytes) { stats_.bytes_lost += bytes; }

  [[nodiscard]] bool MaximaOn() const { return maxima_on_; }
  [[nodiscard]] bool ChannelOn(int channel) const { return channels_.at(channel); }
  [[nodiscard]] std::size_t QueuedBytes() const;
  [[nodiscard]] const DeviceStats& Stats() const { return stats_; }

 private:
  struct Pending {
    std::string bytes;
    LoggedFrame meta;
    std::size_t sent = 0;
  };

  [[nodiscard]] bool Sending() const;
  void RunCycle();
  void QueueMaxima(const Maxima& maxima);
  void QueueChannel(int channel);
  void QueueJunkMaybe();
  void Queue(std::string bytes, LoggedFrame meta);
  void Started(Pending& p);
  void RefillReplay();
  void Stop();

  EngineModel& engine_;
  FaultInjector& faults_;
  ReplaySource* replay_ = nullptr;
  std::function<void(const LoggedFrame&)> log_;
  LinePacer pacer_;
  Nanos now_ = 0;
  Nanos cycle_end_;
  bool maxima_on_ = false;
  std::array<bool, 4> channels_{};
  int next_channel_ = 0;
  std::deque<Pending> queue_;
  std::size_t chunk_;
  Nanos pause_;
  std::uint64_t offset_ = 0;  // bytes sent so far
  Nanos replay_base_ = 0;     // a timed replay's segment is due at this plus its time
  DeviceStats stats_;
};

}  // namespace qv::sim
