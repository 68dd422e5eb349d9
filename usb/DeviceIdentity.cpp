#include "DeviceIdentity.h"

#include <system_error>

#include "SystemError.h"

namespace fs = std::filesystem;

namespace qv::usb {

namespace {

// The adapter a node belongs to, when it is a tty of dev on a USB device.
std::optional<TUsbAdapter> AdapterAt(const fs::path& target, const TUsbRoots& roots) {
  if (target.empty() || target.parent_path() != CanonicalOrEmpty(roots.dev)) return std::nullopt;
  return UsbAdapterForTty(target.filename().string(), roots);
}

bool SameDevice(const TDeviceIdentity& id, const TUsbAdapter& a) {
  return a.vendorId == id.vendorId && a.productId == id.productId && a.serial == id.serial;
}

}  // namespace

TDeviceIdentity TakeIdentity(const std::string& devicePath, const TUsbRoots& roots) {
  TDeviceIdentity id;
  const fs::path path(devicePath);
  if (path.parent_path().lexically_normal() == (roots.dev / "serial" / "by-id").lexically_normal())
    id.byId = devicePath;
  const fs::path target = CanonicalOrEmpty(path);
  if (const auto a = AdapterAt(target, roots)) {
    id.vendorId = a->vendorId;
    id.productId = a->productId;
    id.serial = a->serial;
    if (id.byId.empty() && !a->byId.empty()) id.byId = a->byId.string();
  }
  return id;
}

std::optional<std::string> FindDevice(const TDeviceIdentity& id, const TUsbRoots& roots) {
  if (!id.byId.empty()) {
    const fs::path target = CanonicalOrEmpty(id.byId);
    if (!target.empty()) {
      const auto a = AdapterAt(target, roots);
      // A link sysfs knows nothing about (a pseudo-terminal) is taken by its
      // name alone; an adapter must also have the ids and serial number.
      if (!a || id.vendorId.empty() || SameDevice(id, *a)) return id.byId;
    }
  }
  if (id.serial.empty()) return std::nullopt;
  for (const TUsbAdapter& a : ListUsbAdapters(roots))
    if (SameDevice(id, a)) return a.node.string();
  return std::nullopt;
}

}  // namespace qv::usb
