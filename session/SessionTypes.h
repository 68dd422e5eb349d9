#pragma once
// What the session tells its subscribers: where the readings come from, what
// that source is doing, and each decoded frame. Plain C++.
#include <array>
#include <cstdint>
#include <string>

struct TMeasurement;

namespace qv::session {

// Where the readings come from.
enum class SourceKind {
  kNone,    // nothing has delivered yet
  kPort,    // the main window's serial port
  kReplay,  // a recording played through the receive handler
};

// What the source is doing.
enum class State {
  kIdle,       // no scan and no replay
  kScanning,   // a scan runs on the port
  kWaiting,    // the device vanished during a scan and is waited for
  kReplaying,  // a recording plays
  kPaused,     // a replay is paused
};

struct SourceInfo {
  SourceKind kind = SourceKind::kNone;
  std::string name;  // the port's name, or the replayed file's path
  bool operator==(const SourceInfo&) const = default;
};

struct SessionState {
  State state = State::kIdle;
  SourceInfo source;
  double speed = 1.0;  // a replay's speed, 1 for the port
  bool operator==(const SessionState&) const = default;

  // A scan or a replay (also paused or waiting) is what is shown.
  [[nodiscard]] bool Active() const { return state != State::kIdle; }
  [[nodiscard]] bool Replay() const { return state == State::kReplaying || state == State::kPaused; }
};

// One decoded frame: a summary, and the whole measurement state as the frame
// left it (valid only during the call; copy what is kept).
struct Frame {
  std::uint64_t sequence = 0;  // every frame published, counted from 1
  // The source's time in seconds: a steady clock for the port, the position
  // in the recording for a replay (so a paused replay's time stands still).
  double seconds = 0;
  bool hasMaxima = false;                // the frame's maxima record went into MAXIMA
  std::array<std::int32_t, 4> maxima{};  // MAXIMA after the frame
  std::uint64_t maximaFrames = 0;        // frames whose maxima went into MAXIMA, from the source's start
  int channel = -1;                      // the channel a channel record refilled, -1 when none
  // The first frame after the source changed or a replay jumped: what came
  // before it is no guide (damping starts afresh).
  bool restart = false;
  const TMeasurement* state = nullptr;
};

}  // namespace qv::session
