#include "TerminalKeys.h"

#include <unistd.h>

namespace qv::sim {

TerminalKeys::TerminalKeys() {
  if (!::isatty(STDIN_FILENO) || ::tcgetattr(STDIN_FILENO, &saved_) != 0) return;
  termios t = saved_;
  t.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  active_ = ::tcsetattr(STDIN_FILENO, TCSANOW, &t) == 0;
}

TerminalKeys::~TerminalKeys() {
  if (active_) ::tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
}

}  // namespace qv::sim
