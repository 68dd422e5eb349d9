// The data path of the open port: reading and writing, the queries the event
// actions make, and carrying out the actions for a batch of line events.
#include <errno.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <climits>

#include "CPort.h"
#include "ComThread.h"
#include "InputQueue.h"
#include "LineStatus.h"

void TCustomComPort::CheckOpenFor(int code) const {
  // A closed port has no device: the code a read or write on an invalid
  // descriptor gives.
  if (fd_ < 0) throw EComPort(code, EBADF);
}

// Without a running event thread nobody else takes bytes from the device.
void TCustomComPort::PumpIfNoThread(int code) {
  if (thread_ && thread_->Running()) return;
  const qv::InputQueue::PumpResult r = input_->Pump(fd_);
  if (r.error) throw EComPort(code, r.error);
}

int TCustomComPort::ReadString(std::string& Str, int Count) {
  if (Count <= 0) {
    Str.clear();
    return 0;
  }
  CheckOpenFor(3);
  PumpIfNoThread(3);
  const bool wasFull = input_->Full();
  input_->Take(Str, static_cast<std::size_t>(Count));
  if (wasFull && thread_) thread_->Wake();
  return static_cast<int>(Str.size());
}

// Writes until the driver has taken every byte. The time-out is the total of
// WriteTotalConstant and WriteTotalMultiplier per byte (both 0: no limit);
// when it runs out the write fails with error 2 and ETIMEDOUT rather than
// returning a short count nobody checks.
int TCustomComPort::WriteString(const std::string& Str) {
  if (Str.empty()) return 0;
  CheckOpenFor(2);
  using Clock = std::chrono::steady_clock;
  const TCommTimeouts& t = applied_timeouts_;
  const bool limited = t.WriteTotalTimeoutConstant != 0 || t.WriteTotalTimeoutMultiplier != 0;
  const std::uint64_t limitMs =
      t.WriteTotalTimeoutConstant + static_cast<std::uint64_t>(t.WriteTotalTimeoutMultiplier) * Str.size();
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(limitMs);

  std::size_t done = 0;
  while (done < Str.size()) {
    const ssize_t n = ::write(fd_, Str.data() + done, Str.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) throw EComPort(2, errno);
    int waitMs = -1;
    if (limited) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) throw EComPort(2, ETIMEDOUT);
      waitMs = static_cast<int>(std::min<long long>(left, INT_MAX));
    }
    pollfd p{fd_, POLLOUT, 0};
    const int r = poll(&p, 1, waitMs);
    if (r < 0 && errno != EINTR) throw EComPort(2, errno);
    if (r == 0) throw EComPort(2, ETIMEDOUT);
    // On POLLHUP or POLLERR the next write reports the cause.
  }
  if (thread_) thread_->NotifyWritten();
  return static_cast<int>(done);
}

int TCustomComPort::InputCount() {
  CheckOpenFor(10);
  PumpIfNoThread(10);
  return static_cast<int>(input_->Size());
}

TComErrors TCustomComPort::LineErrors() {
  CheckOpenFor(10);
  if (!thread_ || !thread_->Running()) line_errors_->Sample(fd_);
  return ErrorsFromWord(line_errors_->TakeErrors(), parity_->Check());
}

// Devices without modem lines (pseudo-terminals answer ENOTTY) report every
// line off instead of failing, so a port on them opens like any other.
TComLineSignals TCustomComPort::LineSignals() {
  CheckOpenFor(11);
  int bits = 0;
  if (ioctl(fd_, TIOCMGET, &bits) < 0) {
    if (errno == ENOTTY || errno == EINVAL) return {};
    throw EComPort(11, errno);
  }
  std::uint32_t status = 0;
  if (bits & TIOCM_CTS) status |= MS_CTS_ON;
  if (bits & TIOCM_DSR) status |= MS_DSR_ON;
  if (bits & TIOCM_RNG) status |= MS_RING_ON;
  if (bits & TIOCM_CD) status |= MS_RLSD_ON;
  return SignalsFromStatus(status);
}

void TCustomComPort::RunAction(TComEvent event) {
  switch (event) {
    case evError: {
      const TComErrors errors = LineErrors();
      if (!errors.empty()) DoError(errors);
      break;
    }
    case evRxChar: {
      const int count = InputCount();
      if (count > 0) DoRxChar(count);
      break;
    }
    case evTxEmpty: DoTxEmpty(); break;
    case evBreak: DoBreak(); break;
    case evRing: DoRing(); break;
    case evCTS: DoCTSChange(LineSignals().contains(sigCTS)); break;
    case evDSR: DoDSRChange(LineSignals().contains(sigDSR)); break;
    case evRxFlag: DoRxFlag(); break;
    case evRLSD: DoRLSDChange(LineSignals().contains(sigRLSD)); break;
    case evRx80Full: DoRx80Full(); break;
  }
}

void TCustomComPort::RunEventActions(TComEvents events, std::uint64_t session) {
  // On the port's own thread a handler may have closed (or reopened) the port;
  // what is left of the batch then belongs to nobody.
  const bool onEventThread = thread_ && thread_->OnThisThread();
  for (TComEvent event : kEventActionOrder) {
    if (!events.contains(event)) continue;
    if (!onEventThread && (!connected_ || session_ != session)) return;
    RunAction(event);
  }
}

void TCustomComPort::PostHandOver(std::uint64_t session) {
  QMetaObject::invokeMethod(this, "DrainHandOver", Qt::QueuedConnection, Q_ARG(quint64, session));
}

void TCustomComPort::PostAction(TComEvent event, std::uint64_t session) {
  QMetaObject::invokeMethod(this, "RunSingleAction", Qt::QueuedConnection, Q_ARG(int, static_cast<int>(event)),
                            Q_ARG(quint64, session));
}

void TCustomComPort::RunSingleAction(int eventNumber, quint64 session) {
  const auto event = static_cast<TComEvent>(eventNumber);
  if (!thread_ || session_ != session) return;
  thread_->ActionStarted(event);
  if (!connected_) return;
  try {
    RunAction(event);
  } catch (const std::exception& e) {
    ReportError(e);
  } catch (...) {
    ReportError(std::runtime_error("unknown error"));
  }
}

void TCustomComPort::DrainHandOver(quint64 session) {
  if (!thread_ || session_ != session) return;
  TComThread* thread = thread_.get();
  const std::optional<TComEvents> batch = thread->TakeBatch();
  if (!batch) return;
  bool ok = true;
  try {
    RunEventActions(*batch, session);
  } catch (...) {
    ok = false;  // ends the event thread without a message
  }
  if (thread_.get() == thread && session_ == session) thread->CompleteBatch(ok);
}
