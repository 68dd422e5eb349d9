#include "ReconnectController.h"

#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace qv::usb {

const char* LinkStateText(TLinkState state) {
  switch (state) {
    case TLinkState::kConnected: return kTextConnected;
    case TLinkState::kWaiting: return kTextWaiting;
    case TLinkState::kLost: return kTextLost;
    case TLinkState::kIdle: break;
  }
  return "";
}

TReconnectController::TReconnectController(THooks hooks, TUsbRoots roots)
    : hooks_(std::move(hooks)), roots_(std::move(roots)) {}

TReconnectController::~TReconnectController() { watcher_.reset(); }

void TReconnectController::SetState(TLinkState state) {
  if (state == state_) return;
  state_ = state;
  if (hooks_.changed) hooks_.changed(state, LinkStateText(state));
}

void TReconnectController::ScanStarted(const std::string& portName) {
  watcher_.reset();
  ++wait_;
  port_name_ = portName;
  identity_ = TakeIdentity(portName, roots_);
  SetState(TLinkState::kConnected);
}

bool TReconnectController::ScanStopped() {
  const bool waiting = state_ == TLinkState::kWaiting;
  watcher_.reset();
  ++wait_;
  SetState(TLinkState::kIdle);
  return waiting;
}

void TReconnectController::DeviceLost() {
  if (state_ != TLinkState::kConnected) return;
  if (!identity_.Known()) {
    SetState(TLinkState::kLost);
    return;
  }
  if (hooks_.release) hooks_.release();
  SetState(TLinkState::kWaiting);
  Wait(std::chrono::milliseconds(0));
}

void TReconnectController::Wait(std::chrono::milliseconds firstLook) {
  watcher_.reset();
  const std::uint64_t wait = ++wait_;
  std::weak_ptr<char> alive = alive_;
  try {
    watcher_ = std::make_unique<TDeviceWatcher>(
        identity_, roots_,
        [this, wait, alive](const std::string& path) {
          hooks_.post([this, wait, alive, path] {
            if (!alive.expired()) Found(wait, path);
          });
        },
        firstLook);
  } catch (const std::system_error&) {
    // No watch to be had (the system's inotify limits reached): nothing will
    // tell of the device's return, so the scan is lost as without reconnecting.
    SetState(TLinkState::kLost);
  }
}

void TReconnectController::Found(std::uint64_t wait, const std::string& path) {
  if (wait != wait_ || state_ != TLinkState::kWaiting) return;
  watcher_.reset();  // its thread has ended with the find
  // The port keeps its own name when that still leads to the device found.
  std::error_code ec;
  const bool sameNode = fs::equivalent(port_name_, path, ec) && !ec;
  if (hooks_.reopen && hooks_.reopen(sameNode ? port_name_ : path)) {
    if (!sameNode) port_name_ = path;
    SetState(TLinkState::kConnected);
    return;
  }
  Wait(kRetryAfter);
}

}  // namespace qv::usb
