#pragma once
// Carries a scan over a pulled cable: when the device vanishes during a scan
// it releases the dead port, waits for the device with the same identity to
// come back, reopens it with the same settings and starts the frames again.
// It knows nothing of the port itself; the owner gives it the few operations
// it needs, and a way to run a call on the owner's thread (the watcher finds
// the device on a thread of its own).
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "DeviceIdentity.h"
#include "DeviceWatcher.h"

namespace qv::usb {

enum class TLinkState { kIdle, kConnected, kWaiting, kLost };

// The state texts the owner shows.
inline constexpr const char* kTextConnected = "Verbunden";
inline constexpr const char* kTextWaiting = "Verbindung verloren — warte auf das Gerät";
inline constexpr const char* kTextLost = "Verbindung verloren";

[[nodiscard]] const char* LinkStateText(TLinkState state);

class TReconnectController {
 public:
  struct THooks {
    // Closes the port whose device has gone.
    std::function<void()> release;
    // Opens the port on path with the settings it had and sends "b"; false
    // when that failed (the port is then closed again).
    std::function<bool(const std::string& path)> reopen;
    // Runs the call on the owner's thread, later (never inside post itself).
    std::function<void(std::function<void()>)> post;
    // The state changed; text is LinkStateText(state).
    std::function<void(TLinkState state, const std::string& text)> changed;
  };

  // A device that is there but cannot be opened yet (its permissions are set
  // a moment after it appears) is tried again after this long.
  static constexpr std::chrono::milliseconds kRetryAfter{500};

  explicit TReconnectController(THooks hooks, TUsbRoots roots = {});
  ~TReconnectController();
  TReconnectController(const TReconnectController&) = delete;
  TReconnectController& operator=(const TReconnectController&) = delete;

  // A scan started on the port named portName (its device path): the identity
  // of the device is taken now.
  void ScanStarted(const std::string& portName);
  // Stop Scan: ends any waiting. Returns whether it was waiting (the port is
  // closed then, and there is nothing to stop on it).
  bool ScanStopped();
  // The device vanished. During a scan of a device with a known identity:
  // release the port and wait. Otherwise the state becomes kLost only.
  void DeviceLost();

  [[nodiscard]] TLinkState State() const { return state_; }
  [[nodiscard]] const TDeviceIdentity& Identity() const { return identity_; }
  // How often the current watcher has looked (0 when none is waiting).
  [[nodiscard]] unsigned WatcherLooks() const { return watcher_ ? watcher_->Looks() : 0; }

 private:
  void SetState(TLinkState state);
  void Wait(std::chrono::milliseconds firstLook);
  void Found(std::uint64_t wait, const std::string& path);

  THooks hooks_;
  TUsbRoots roots_;
  std::string port_name_;
  TDeviceIdentity identity_;
  TLinkState state_ = TLinkState::kIdle;
  std::uint64_t wait_ = 0;  // numbers the waits, so that a late find of an ended one is dropped
  std::unique_ptr<TDeviceWatcher> watcher_;
  std::shared_ptr<char> alive_ = std::make_shared<char>();
};

}  // namespace qv::usb
