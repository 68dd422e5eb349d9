#include "ComThread.h"

#include <errno.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <system_error>

#include "CPortConv.h"
#include "InputQueue.h"
#include "LineStatus.h"
#include "SystemError.h"

TComThread::TComThread(TComThreadOwner& owner, qv::InputQueue& input, qv::LineErrorWatch& errors, int fd,
                       TComEvents events, TSyncMethod sync, std::uint64_t session)
    : owner_(owner),
      input_(input),
      errors_(errors),
      fd_(fd),
      events_(events),
      sync_(sync),
      session_(session),
      wake_fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  if (!wake_fd_.valid()) qv::ThrowErrno("eventfd");
}

TComThread::~TComThread() {
  BeginClosing();
  Join();
}

void TComThread::Start() {
  running_.store(true);
  try {
    thread_ = std::thread([this] { Run(); });
  } catch (...) {
    running_.store(false);
    throw;
  }
  const bool wantsLines =
      events_.contains(evCTS) || events_.contains(evDSR) || events_.contains(evRLSD) || events_.contains(evRing);
  if (wantsLines) modem_watch_ = qv::ModemWatch::Start(fd_, [this](std::uint32_t mask) { NotifyEvents(mask); });
}

void TComThread::Wake() {
  const std::uint64_t one = 1;
  // A full counter (never in practice) still leaves the descriptor readable.
  [[maybe_unused]] const ssize_t n = ::write(wake_fd_.get(), &one, sizeof one);
}

void TComThread::NotifyWritten() {
  tx_pending_.store(true);
  Wake();
}

void TComThread::NotifyEvents(std::uint32_t mask) {
  pending_mask_.fetch_or(mask);
  Wake();
}

void TComThread::BeginClosing() {
  stop_.store(true);
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
    slot_.reset();
  }
  cv_.notify_all();
  Wake();
}

void TComThread::Join() {
  if (thread_.joinable()) thread_.join();
  modem_watch_.reset();
}

std::optional<TComEvents> TComThread::TakeBatch() {
  std::lock_guard lock(mutex_);
  std::optional<TComEvents> batch;
  batch.swap(slot_);
  if (batch) taken_ = posted_;
  return batch;
}

void TComThread::CompleteBatch(bool ok) {
  {
    std::lock_guard lock(mutex_);
    handled_ = taken_;
    if (!ok) failed_ = true;
  }
  cv_.notify_all();
}

void TComThread::ActionStarted(TComEvent event) {
  outstanding_.fetch_and(static_cast<std::uint16_t>(~(1u << static_cast<int>(event))));
}

int TComThread::TxWaitMs(int rechecks) {
  int queued = 0;
  if (ioctl(fd_, TIOCOUTQ, &queued) < 0 || queued <= 0) return 0;
  // Wire time of what is still queued, at ten bits a character, then look
  // again; a queue held back by flow control is looked at ever more rarely.
  std::uint64_t ms = static_cast<std::uint64_t>(queued) * 10000u / line_rate_.load() + 1;
  ms <<= std::min(rechecks, 10);
  return static_cast<int>(std::min<std::uint64_t>(ms, 1000));
}

void TComThread::Run() {
  thread_id_.store(std::this_thread::get_id());
  pthread_setname_np(pthread_self(), "ComThread");
  qv::InputQueue& input = input_;
  qv::LineErrorWatch& errors = errors_;
  const std::uint32_t wanted = EventsToMask(events_);
  int txRechecks = 0;
  while (!stop_.load()) {
    pollfd fds[2] = {{fd_, static_cast<short>(input.Full() ? 0 : POLLIN), 0}, {wake_fd_.get(), POLLIN, 0}};
    const int timeout = tx_pending_.load() ? TxWaitMs(txRechecks) : -1;
    if (poll(fds, 2, timeout) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[1].revents & POLLIN) {
      std::uint64_t count = 0;
      [[maybe_unused]] const ssize_t n = ::read(wake_fd_.get(), &count, sizeof count);
    }
    if (stop_.load()) break;

    std::uint32_t mask = pending_mask_.exchange(0);
    // POLLHUP/POLLERR come back at once on every poll after a hang-up: the loop
    // must end then, never go round again.
    bool gone = (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
      const qv::InputQueue::PumpResult r = input.Pump(fd_);
      if (r.added) mask |= EV_RXCHAR;
      if (r.eventChar) mask |= EV_RXFLAG;
      if (r.reached80) mask |= EV_RX80FULL;
      if (r.hungUp || r.error) gone = true;
    }
    mask |= errors.Sample(fd_);
    if (tx_pending_.load()) {
      int queued = 0;
      if (ioctl(fd_, TIOCOUTQ, &queued) < 0 || queued <= 0) {
        tx_pending_.store(false);
        txRechecks = 0;
        mask |= EV_TXEMPTY;
      } else if (timeout > 0) {
        ++txRechecks;
      }
    }
    if (gone) {
      // The program learns of the hang-up once, as errIO through OnError; the
      // port stays open (writes fail) until it is closed.
      errors.AddErrors(CE_IOE);
      mask |= EV_ERR;
    }
    const TComEvents batch = MaskToEvents(mask & wanted);
    if (!batch.empty() && !HandOver(batch)) break;
    if (gone) break;
  }
  running_.store(false);
}

bool TComThread::HandOver(TComEvents events) {
  switch (sync_) {
    case smThreadSync: return HandOverThreadSync(events);
    case smWindowSync: HandOverWindowSync(events); return true;
    case smNone:
      try {
        owner_.RunEventActions(events, session_);
        return true;
      } catch (...) {
        return false;  // a failing handler ends the thread without a message
      }
  }
  return false;
}

bool TComThread::HandOverThreadSync(TComEvents events) {
  std::unique_lock lock(mutex_);
  if (closing_) return false;
  slot_ = events;
  const std::uint64_t seq = ++posted_;
  lock.unlock();
  owner_.PostHandOver(session_);
  lock.lock();
  cv_.wait(lock, [&] { return handled_ >= seq || closing_; });
  return !closing_ && !failed_;
}

void TComThread::HandOverWindowSync(TComEvents events) {
  for (TComEvent event : kEventActionOrder) {
    if (!events.contains(event)) continue;
    const auto bit = static_cast<std::uint16_t>(1u << static_cast<int>(event));
    if (outstanding_.fetch_or(bit) & bit) continue;
    owner_.PostAction(event, session_);
  }
}
