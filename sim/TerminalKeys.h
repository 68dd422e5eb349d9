#pragma once
// Single key presses from the simulator's own terminal: while the object
// lives, standard input (when it is a terminal) delivers each key at once and
// without echo; the terminal's settings come back with its end. Ctrl-C still
// raises SIGINT.
#include <termios.h>

namespace qv::sim {

class TerminalKeys {
 public:
  TerminalKeys();
  ~TerminalKeys();
  TerminalKeys(const TerminalKeys&) = delete;
  TerminalKeys& operator=(const TerminalKeys&) = delete;

  [[nodiscard]] bool Active() const { return active_; }

 private:
  termios saved_{};
  bool active_ = false;
};

}  // namespace qv::sim
