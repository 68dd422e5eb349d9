#pragma once
// Line errors and modem-line changes from the driver's interrupt counters
// (TIOCGICOUNT). Drivers without them (pseudo-terminals: ENOTTY) simply never
// report such events.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace qv {

struct LineCounters {
  int cts = 0, dsr = 0, rng = 0, dcd = 0;
  int frame = 0, overrun = 0, parity = 0, brk = 0, buf_overrun = 0;
};

// False where the driver keeps no counters or the call fails.
[[nodiscard]] bool ReadLineCounters(int fd, LineCounters& counters);

// The error word the port reports through LineErrors: flags are gathered as
// the counters move and cleared when read.
class LineErrorWatch {
 public:
  // Takes the counters' current values as the starting point.
  void Start(int fd);
  // Adds the flags for counters that moved since the last look; returns the
  // event-mask bits that follow (EV_ERR, EV_BREAK).
  std::uint32_t Sample(int fd);
  void AddErrors(std::uint32_t flags);
  // Reads and clears the gathered flags.
  [[nodiscard]] std::uint32_t TakeErrors();

 private:
  mutable std::mutex mutex_;
  bool supported_ = false;
  LineCounters last_;
  std::uint32_t word_ = 0;
};

// Waits for modem-line changes (TIOCMIWAIT) on a helper thread and reports the
// event-mask bits (EV_CTS, EV_DSR, EV_RLSD, EV_RING) that follow.
class ModemWatch {
 public:
  using Notify = std::function<void(std::uint32_t mask)>;
  // Null where the driver cannot wait for line changes.
  [[nodiscard]] static std::unique_ptr<ModemWatch> Start(int fd, Notify notify);
  ~ModemWatch();
  ModemWatch(const ModemWatch&) = delete;
  ModemWatch& operator=(const ModemWatch&) = delete;

 private:
  struct State;
  explicit ModemWatch(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

}  // namespace qv
