#include "DeviceWatcher.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace qv::usb {

TDeviceWatcher::TDeviceWatcher(TDeviceIdentity identity, TUsbRoots roots, TFound found,
                               std::chrono::milliseconds firstLook)
    : identity_(std::move(identity)),
      roots_(std::move(roots)),
      found_(std::move(found)),
      inotify_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
      stop_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
  if (!inotify_.valid() || !stop_.valid()) throw std::system_error(errno, std::system_category(), "device watcher");
  // Watches are in place before the first look, so nothing that happens in
  // between is missed.
  AddWatches();
  thread_ = std::thread([this, firstLook] { Run(firstLook); });
}

TDeviceWatcher::~TDeviceWatcher() { Stop(); }

void TDeviceWatcher::Stop() {
  if (!thread_.joinable()) return;
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(stop_.get(), &one, sizeof one);
  thread_.join();
  waiting_.store(false);
}

void TDeviceWatcher::AddWatches() {
  // Folders that are not there yet (dev/serial appears with the first
  // adapter) are added when dev reports them; adding a folder twice is harmless.
  constexpr std::uint32_t kMask = IN_CREATE | IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF | IN_ONLYDIR;
  std::vector<fs::path> folders{roots_.dev, roots_.dev / "serial", roots_.dev / "serial" / "by-id"};
  if (!identity_.byId.empty()) folders.push_back(fs::path(identity_.byId).parent_path());
  for (const fs::path& f : folders) inotify_add_watch(inotify_.get(), f.c_str(), kMask);
}

bool TDeviceWatcher::Look() {
  ++looks_;
  const auto path = FindDevice(identity_, roots_);
  if (!path) return false;
  waiting_.store(false);
  found_(*path);
  return true;
}

void TDeviceWatcher::Run(std::chrono::milliseconds firstLook) {
  pthread_setname_np(pthread_self(), "DeviceWatcher");
  int timeout = firstLook.count() > 0 ? static_cast<int>(firstLook.count()) : 0;
  if (timeout == 0 && Look()) return;
  timeout = firstLook.count() > 0 ? timeout : -1;
  while (true) {
    pollfd fds[2] = {{inotify_.get(), POLLIN, 0}, {stop_.get(), POLLIN, 0}};
    const int n = poll(fds, 2, timeout);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || (fds[1].revents & POLLIN)) break;
    timeout = -1;
    if (fds[0].revents & POLLIN) {
      // Only that something changed matters; the events themselves are dropped.
      alignas(inotify_event) char buf[4096];
      while (::read(inotify_.get(), buf, sizeof buf) > 0) {
      }
      AddWatches();
    }
    if (Look()) return;
  }
  waiting_.store(false);
}

}  // namespace qv::usb
