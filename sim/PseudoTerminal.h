#pragma once
// The simulator's end of the serial line: a pseudo-terminal whose slave is
// the device the program opens. The simulator keeps a descriptor of the slave
// open itself, so the line stays up while the program closes and reopens the
// port, as a real device stays on its cable.
#include <string>

#include "UniqueFd.h"

namespace qv::sim {

class PseudoTerminal {
 public:
  // Opens a new pair, both in raw mode (no echo, no line editing, no
  // translation) at 57600 baud 8N1. Throws std::system_error.
  [[nodiscard]] static PseudoTerminal Open();

  // Non-blocking; what is written here arrives at the slave's reader.
  [[nodiscard]] int Master() const { return master_.get(); }
  [[nodiscard]] const std::string& SlavePath() const { return slave_path_; }

 private:
  UniqueFd master_;
  UniqueFd slave_;
  std::string slave_path_;
};

}  // namespace qv::sim
