#include "LineStatus.h"

#include <errno.h>
#include <linux/serial.h>
#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <thread>
#include <utility>

#include "CPortConv.h"

namespace qv {

bool ReadLineCounters(int fd, LineCounters& counters) {
  serial_icounter_struct ic{};
  if (ioctl(fd, TIOCGICOUNT, &ic) < 0) return false;
  counters = {ic.cts, ic.dsr, ic.rng, ic.dcd, ic.frame, ic.overrun, ic.parity, ic.brk, ic.buf_overrun};
  return true;
}

void LineErrorWatch::Start(int fd) {
  std::lock_guard lock(mutex_);
  supported_ = ReadLineCounters(fd, last_);
  word_ = 0;
}

std::uint32_t LineErrorWatch::Sample(int fd) {
  std::lock_guard lock(mutex_);
  LineCounters now;
  if (!supported_ || !ReadLineCounters(fd, now)) return 0;
  std::uint32_t flags = 0;
  if (now.frame != last_.frame) flags |= CE_FRAME;
  if (now.parity != last_.parity) flags |= CE_RXPARITY;
  if (now.overrun != last_.overrun) flags |= CE_OVERRUN;
  if (now.buf_overrun != last_.buf_overrun) flags |= CE_RXOVER;
  if (now.brk != last_.brk) flags |= CE_BREAK;
  last_ = now;
  word_ |= flags;
  std::uint32_t events = 0;
  if (flags & (CE_FRAME | CE_RXPARITY | CE_OVERRUN | CE_RXOVER)) events |= EV_ERR;
  if (flags & CE_BREAK) events |= EV_BREAK;
  return events;
}

void LineErrorWatch::AddErrors(std::uint32_t flags) {
  std::lock_guard lock(mutex_);
  word_ |= flags;
}

std::uint32_t LineErrorWatch::TakeErrors() {
  std::lock_guard lock(mutex_);
  return std::exchange(word_, 0u);
}

// TIOCMIWAIT cannot be woken by anything but a line change or a signal, so the
// helper is stopped with a signal whose handler does nothing and is installed
// without SA_RESTART: the ioctl returns EINTR and the loop sees the stop flag.
// The signal is sent again until the helper has left, since it may arrive just
// before the ioctl is entered.
struct ModemWatch::State {
  int fd = -1;
  Notify notify;
  std::atomic<bool> stop{false};
  std::mutex mutex;
  std::condition_variable cv;
  bool exited = false;
  std::thread thread;
};

namespace {
int WakeSignal() { return SIGRTMIN + 4; }

void InstallWakeHandler() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction sa {};
    sa.sa_handler = [](int) {};
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;
    sigaction(WakeSignal(), &sa, nullptr);
  });
}

void RunModemWatch(int fd, const ModemWatch::Notify& notify, std::atomic<bool>& stop) {
  LineCounters last;
  if (!ReadLineCounters(fd, last)) return;
  while (!stop.load()) {
    if (ioctl(fd, TIOCMIWAIT, TIOCM_CTS | TIOCM_DSR | TIOCM_CD | TIOCM_RNG) < 0) {
      if (errno == EINTR) continue;
      return;  // the device went away or cannot wait: the event thread notices the rest
    }
    LineCounters now;
    if (!ReadLineCounters(fd, now)) return;
    std::uint32_t mask = 0;
    if (now.cts != last.cts) mask |= EV_CTS;
    if (now.dsr != last.dsr) mask |= EV_DSR;
    if (now.dcd != last.dcd) mask |= EV_RLSD;
    if (now.rng != last.rng) mask |= EV_RING;
    last = now;
    if (mask) notify(mask);
  }
}
}  // namespace

std::unique_ptr<ModemWatch> ModemWatch::Start(int fd, Notify notify) {
  LineCounters probe;
  if (!ReadLineCounters(fd, probe)) return nullptr;
  InstallWakeHandler();
  auto state = std::make_unique<State>();
  state->fd = fd;
  state->notify = std::move(notify);
  State* s = state.get();
  s->thread = std::thread([s] {
    RunModemWatch(s->fd, s->notify, s->stop);
    std::lock_guard lock(s->mutex);
    s->exited = true;
    s->cv.notify_all();
  });
  return std::unique_ptr<ModemWatch>(new ModemWatch(std::move(state)));
}

ModemWatch::ModemWatch(std::unique_ptr<State> state) : state_(std::move(state)) {}

ModemWatch::~ModemWatch() {
  state_->stop.store(true);
  std::unique_lock lock(state_->mutex);
  while (!state_->exited) {
    pthread_kill(state_->thread.native_handle(), WakeSignal());
    state_->cv.wait_for(lock, std::chrono::milliseconds(20));
  }
  lock.unlock();
  state_->thread.join();
}

}  // namespace qv
