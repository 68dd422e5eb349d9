#pragma once
// The keys a person at the simulator's terminal uses to play the mechanic.
#include <string>
#include <string_view>
#include <vector>

#include "EngineModel.h"

namespace qv::sim {

struct KeyCommand {
  enum Kind { kSelect, kRaise, kLower, kOverpressure, kQuit };
  Kind kind = kSelect;
  int channel = 0;  // kSelect: 0..3

  bool operator==(const KeyCommand&) const = default;
};

inline constexpr double kOffsetStep = 5.0;    // mBar per key press
inline constexpr double kPracticeStep = 1.0;  // in the practice scenario

// How far one key press moves a cylinder in a scenario.
[[nodiscard]] double KeyStep(Scenario s);

// Turns terminal bytes into commands; an arrow key's escape sequence may be
// split over several reads.
class KeyDecoder {
 public:
  [[nodiscard]] std::vector<KeyCommand> Feed(std::string_view bytes);

 private:
  int escape_ = 0;  // bytes of an escape sequence seen so far
};

// The cylinder the keys act on, and what they do to the engine.
class MechanicHand {
 public:
  explicit MechanicHand(EngineModel& engine) : engine_(engine), step_(KeyStep(engine.Config().scenario)) {}

  // Applies one command; returns a one-line status to show, or "" for quit.
  std::string Apply(const KeyCommand& key);
  [[nodiscard]] int Selected() const { return selected_; }
  [[nodiscard]] std::string Status() const;

 private:
  EngineModel& engine_;
  double step_;
  int selected_ = 0;
};

}  // namespace qv::sim
