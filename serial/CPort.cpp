// The port's properties, the rules by which a changed setting reaches the open
// device, and opening and closing.
#include "CPort.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <system_error>

#include "ComThread.h"
#include "DevicePath.h"
#include "InputQueue.h"
#include "LineStatus.h"
#include "LineTermios.h"
#include "StoreChanged.h"
#include "UniqueFd.h"

namespace {

// A purge that fails because the device has gone must not keep the port open:
// there is nothing left to purge.
bool DeviceGone(int error) { return error == EIO || error == ENXIO || error == ENODEV; }

// Gives the output still queued on fd the time to leave, kCloseDrainLimitMs
// at most, and returns whether it has left: the tty gives no notice when its
// output queue has drained, so the queue is looked at again after the wire
// time of what it holds. A line held up by flow control would otherwise hold
// the closing (the tty's own closing wait is 30 s) and with it the window.
bool WaitForOutputToLeave(int fd, std::uint32_t bitsPerSecond) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(qv::kCloseDrainLimitMs);
  for (int rechecks = 0;; ++rechecks) {
    int queued = 0;
    if (ioctl(fd, TIOCOUTQ, &queued) < 0 || queued <= 0) return true;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    const int ms = qv::CloseDrainWaitMs(queued, bitsPerSecond, rechecks);
    poll(nullptr, 0, static_cast<int>(std::min<long long>(ms, left)));
  }
}

// Resets a flag when the scope ends, also by an error.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

TCustomComPort::TCustomComPort(QObject* owner)
    : QObject(owner),
      parity_(std::make_unique<TComParity>(this)),
      flow_control_(std::make_unique<TComFlowControl>(this)),
      timeouts_(std::make_unique<TComTimeouts>(this)),
      buffer_(std::make_unique<TComBuffer>(this)),
      input_(std::make_unique<qv::InputQueue>()),
      line_errors_(std::make_unique<qv::LineErrorWatch>()) {}

TCustomComPort::~TCustomComPort() {
  try {
    Close();
  } catch (...) {
    // A destructor cannot pass the error on; the device is released anyway.
  }
  ForceRelease();
  buffer_.reset();
  flow_control_.reset();
  timeouts_.reset();
  parity_.reset();
}

// Properties -----------------------------------------------------------------

void TCustomComPort::SetConnected(bool value) {
  if (loading_) {
    stored_connected_ = value;
    return;
  }
  if (value)
    Open();
  else
    Close();
}

void TCustomComPort::SetPort(const std::string& value) {
  if (!qv::StoreChanged(port_, value) || loading_) return;
  if (connected_) {
    Close();
    Open();
  }
}

void TCustomComPort::SetBaudRate(TBaudRate value) {
  if (qv::StoreChanged(baud_rate_, value)) ApplyLineSettings();
}
void TCustomComPort::SetCustomBaudRate(std::int32_t value) {
  if (qv::StoreChanged(custom_baud_rate_, value)) ApplyLineSettings();
}
void TCustomComPort::SetStopBits(TStopBits value) {
  if (qv::StoreChanged(stop_bits_, value)) ApplyLineSettings();
}
void TCustomComPort::SetDataBits(TDataBits value) {
  if (qv::StoreChanged(data_bits_, value)) ApplyLineSettings();
}
void TCustomComPort::SetDiscardNull(bool value) {
  if (qv::StoreChanged(discard_null_, value)) ApplyLineSettings();
}
void TCustomComPort::SetEventChar(AnsiChar value) {
  if (qv::StoreChanged(event_char_, value)) ApplyLineSettings();
}

void TCustomComPort::SetSyncMethod(TSyncMethod value) {
  if (value == sync_method_) return;
  if (connected_ && !loading_) throw EComPort(14);
  sync_method_ = value;
}

void TCustomComPort::SetParity(const TComParity& value) {
  value.AssignTo(*parity_);
  ApplyLineSettings();
}
void TCustomComPort::SetFlowControl(const TComFlowControl& value) {
  value.AssignTo(*flow_control_);
  ApplyLineSettings();
}
void TCustomComPort::SetTimeouts(const TComTimeouts& value) {
  value.AssignTo(*timeouts_);
  ApplyTimeouts();
}
void TCustomComPort::SetBuffer(const TComBuffer& value) {
  value.AssignTo(*buffer_);
  ApplyBufferSizes();
}

void TCustomComPort::Loaded() {
  loading_ = false;
  if (!stored_connected_) return;
  stored_connected_ = false;
  try {
    Open();
  } catch (const std::exception& e) {
    ReportError(e);
  }
}

// What the owner handed in -------------------------------------------------

void TCustomComPort::ReportError(const std::exception& error) const {
  if (error_reporter_)
    error_reporter_(error);
  else
    std::cerr << error.what() << '\n';
}

void TCustomComPort::ShowPortSetup() {
  // A copy: the dialog may replace the handler while it runs.
  const auto setup = setup_handler_;
  if (setup) setup(*this);
}

// Update bracket and applying ------------------------------------------------

void TCustomComPort::BeginUpdate() { ++update_count_; }

void TCustomComPort::EndUpdate() {
  if (update_count_ <= 0) return;
  if (--update_count_ == 0) ApplyAllSettings();
}

void TCustomComPort::ApplyAllSettings() {
  ApplyBufferSizes();
  ApplyLineSettings();
  ApplyTimeouts();
}

void TCustomComPort::ApplyLineSettings() {
  if (!ApplyGateOpen()) return;
  const TDCB dcb = BuildDCB(*this);
  qv::LineState state;
  if (const int e = qv::ReadLineState(fd_, state)) throw EComPort(7, e);
  if (const int e = qv::MapDCBToLine(dcb, state)) throw EComPort(7, e);
  if (const int e = qv::WriteLineState(fd_, state)) throw EComPort(7, e);
  if (const int e = qv::SetModemLevels(fd_, dcb)) throw EComPort(7, e);
  qv::InputFilter filter;
  filter.unmark = (dcb.Flags & TDCB::fParity) != 0;
  filter.replace = (dcb.Flags & TDCB::fErrorChar) != 0;
  filter.replaceChar = dcb.ErrorChar;
  filter.discardNull = (dcb.Flags & TDCB::fNull) != 0;
  filter.eventChar = dcb.EvtChar;
  input_->Configure(filter);
  if (thread_) thread_->SetLineRate(dcb.BaudRate);
}

// The write time-outs take effect from here on. Reads never wait: they are
// served from the input queue with what has arrived, which is what the
// read time-outs the program uses ask for.
void TCustomComPort::ApplyTimeouts() {
  if (!ApplyGateOpen()) return;
  applied_timeouts_ = BuildCommTimeouts(*this);
}

// The kernel's tty buffers have a fixed size, so the sizes only shape the
// port's own input queue (its room and its 80 % mark). Negative sizes are
// refused as the driver would.
void TCustomComPort::ApplyBufferSizes() {
  if (!ApplyGateOpen()) return;
  if (buffer_->InputSize() < 0 || buffer_->OutputSize() < 0) throw EComPort(9, EINVAL);
  input_->SetInputSize(buffer_->InputSize());
  if (thread_) thread_->Wake();
}

// Opening and closing ----------------------------------------------------------

void TCustomComPort::CreatePortHandle() {
  const std::string path = qv::DevicePathForPort(port_);
  if (path.empty()) throw EComPort(1, ENOENT);
  qv::UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!fd.valid()) throw EComPort(1, errno);
  if (!isatty(fd.get())) throw EComPort(1, ENOTTY);
  // Exclusive use, also against programs that only honour one of the two.
  if (flock(fd.get(), LOCK_EX | LOCK_NB) < 0) {
    const int e = errno;
    throw EComPort(1, e == EWOULDBLOCK ? EBUSY : e);
  }
  ioctl(fd.get(), TIOCEXCL);
  fd_ = fd.release();
}

void TCustomComPort::DestroyPortHandle() {
  if (fd_ < 0) return;
  // The exclusive mode outlives the descriptor on some drivers (ptys).
  ioctl(fd_, TIOCNXCL);
  ::close(fd_);
  fd_ = -1;
}

void TCustomComPort::Open() {
  if (connected_ || opening_) return;
  {
    FlagScope opening(opening_);
    DoBeforeOpen();
    CreatePortHandle();
    connected_ = true;
    ++session_;
    // The device's input queue can outlive our descriptor (a pseudo-terminal
    // whose other side stayed open, a driver that kept receiving): what came
    // while the port was closed is not announced.
    if (tcflush(fd_, TCIFLUSH) < 0 && !DeviceGone(errno)) {
      const int e = errno;
      ForceRelease();
      throw EComPort(1, e);
    }
    input_->Clear();
    line_errors_->Start(fd_);
    try {
      ApplyAllSettings();
      if (!events_.empty()) {
        TComThreadOwner& owner = *this;
        thread_ = std::make_unique<TComThread>(owner, *input_, *line_errors_, fd_, events_, sync_method_, session_);
        thread_->SetLineRate(BuildDCB(*this).BaudRate);
        thread_->Start();
      }
    } catch (const std::system_error& e) {
      ForceRelease();
      throw EComPort(1, e.code().value());
    } catch (...) {
      ForceRelease();
      throw;
    }
  }
  DoAfterOpen();
  DoCTSChange(LineSignals().contains(sigCTS));
  DoDSRChange(LineSignals().contains(sigDSR));
  DoRLSDChange(LineSignals().contains(sigRLSD));
}

void TCustomComPort::Close() {
  if (thread_ && thread_->OnThisThread()) {
    // Called by a handler on the event thread (smNone): the thread cannot wait
    // for its own end, so it is told to stop and the port's own thread closes.
    // Nothing else of the port is touched here: its state belongs to its own
    // thread (thread_ itself changes only while no event thread runs).
    thread_->BeginClosing();
    QMetaObject::invokeMethod(this, "Close", Qt::QueuedConnection);
    return;
  }
  if (!connected_ || closing_) return;
  int purgeError = 0;
  {
    FlagScope closing(closing_);
    DoCTSChange(false);
    DoDSRChange(false);
    DoRLSDChange(false);
    DoBeforeClose();
    // A command written just before closing (the device's stop command) gets
    // its time to leave. What was received is discarded, and so is output
    // that is still held up, so that closing the descriptor has nothing left
    // to wait for; output that has left the queue's count (a pseudo-terminal
    // counts none) is not touched.
    const bool outputLeft = WaitForOutputToLeave(fd_, BuildDCB(*this).BaudRate);
    if (tcflush(fd_, outputLeft ? TCIFLUSH : TCIOFLUSH) < 0 && !DeviceGone(errno)) purgeError = errno;
    // The port is closed and its thread stopped whether or not the purge
    // worked; its failure is reported after that.
    ForceRelease();
  }
  DoAfterClose();
  if (purgeError != 0) throw EComPort(5, purgeError);
}

void TCustomComPort::StopEventThread() {
  if (!thread_) return;
  thread_->BeginClosing();
  thread_->Join();
  thread_.reset();
}

void TCustomComPort::ForceRelease() {
  StopEventThread();
  input_->Clear();
  DestroyPortHandle();
  connected_ = false;
}

// Raising events ---------------------------------------------------------------

void TCustomComPort::DoBeforeOpen() {
  if (OnBeforeOpen) OnBeforeOpen(this);
}
void TCustomComPort::DoAfterOpen() {
  if (OnAfterOpen) OnAfterOpen(this);
}
void TCustomComPort::DoBeforeClose() {
  if (OnBeforeClose) OnBeforeClose(this);
}
void TCustomComPort::DoAfterClose() {
  if (OnAfterClose) OnAfterClose(this);
}
void TCustomComPort::DoRxChar(int Count) {
  if (OnRxChar) OnRxChar(this, Count);
}
void TCustomComPort::DoTxEmpty() {
  if (OnTxEmpty) OnTxEmpty(this);
}
void TCustomComPort::DoBreak() {
  if (OnBreak) OnBreak(this);
}
void TCustomComPort::DoRing() {
  if (OnRing) OnRing(this);
}
void TCustomComPort::DoRxFlag() {
  if (OnRxFlag) OnRxFlag(this);
}
void TCustomComPort::DoRx80Full() {
  if (OnRx80Full) OnRx80Full(this);
}
void TCustomComPort::DoCTSChange(bool OnOff) {
  if (OnCTSChange) OnCTSChange(this, OnOff);
}
void TCustomComPort::DoDSRChange(bool OnOff) {
  if (OnDSRChange) OnDSRChange(this, OnOff);
}
void TCustomComPort::DoRLSDChange(bool OnOff) {
  if (OnRLSDChange) OnRLSDChange(this, OnOff);
}
void TCustomComPort::DoError(TComErrors Errors) {
  if (OnError) OnError(this, Errors);
}
