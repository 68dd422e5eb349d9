#pragma once
// Waits, on a thread of its own, for a device with a given identity to be
// there again. It sleeps in poll() on an inotify descriptor (watching dev,
// dev/serial, dev/serial/by-id and the by-id link's own folder) and an
// eventfd that Stop() signals, so waiting costs nothing until something in
// those folders changes; it looks for the device once at the start and after
// every change, never on a clock of its own.
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "DeviceIdentity.h"
#include "UniqueFd.h"

namespace qv::usb {

class TDeviceWatcher {
 public:
  using TFound = std::function<void(const std::string& path)>;

  // Starts waiting. found runs once, on the watcher's thread, with the path
  // FindDevice() gave; the thread ends after it. firstLook delays the first
  // look (a device that is there but could not be opened is looked at again
  // after it, not at once); later looks follow changes only.
  TDeviceWatcher(TDeviceIdentity identity, TUsbRoots roots, TFound found,
                 std::chrono::milliseconds firstLook = std::chrono::milliseconds(0));
  ~TDeviceWatcher();
  TDeviceWatcher(const TDeviceWatcher&) = delete;
  TDeviceWatcher& operator=(const TDeviceWatcher&) = delete;

  // Ends the wait at once and joins the thread; found is not called after it
  // returns. Must not be called from found itself.
  void Stop();
  // How often it has looked for the device so far.
  [[nodiscard]] unsigned Looks() const { return looks_.load(); }
  // Whether it is still waiting.
  [[nodiscard]] bool Waiting() const { return waiting_.load(); }

 private:
  void Run(std::chrono::milliseconds firstLook);
  void AddWatches();
  bool Look();

  TDeviceIdentity identity_;
  TUsbRoots roots_;
  TFound found_;
  qv::UniqueFd inotify_;
  qv::UniqueFd stop_;
  std::atomic<unsigned> looks_{0};
  std::atomic<bool> waiting_{true};
  std::thread thread_;
};

}  // namespace qv::usb
