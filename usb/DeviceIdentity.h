#pragma once
// What makes a serial device the same device after it was unplugged: its
// stable by-id name, or the USB device's vendor, product and serial number.
// Never the tty node's name, which the next adapter plugged in may get.
#include <optional>
#include <string>

#include "UsbAdapters.h"

namespace qv::usb {

struct TDeviceIdentity {
  std::string byId;      // path of the stable link, "" when the device has none
  std::string vendorId;  // of the USB device, "" when it is not on USB
  std::string productId;
  std::string serial;  // "" when the device has no serial number

  // Whether the device can be told from any other one at all.
  [[nodiscard]] bool Known() const { return !byId.empty() || !serial.empty(); }
  bool operator==(const TDeviceIdentity&) const = default;
};

// The identity of the device that devicePath (a node, or a link to one) leads
// to now. A path below dev/serial/by-id is itself the stable name.
[[nodiscard]] TDeviceIdentity TakeIdentity(const std::string& devicePath, const TUsbRoots& roots);

// The path under which the device with this identity can be opened now, or
// none when it is not there: its by-id link when that leads to a node (and the
// node's USB serial number, where sysfs tells it, is the same), else the node
// of a USB adapter with the same ids and serial number.
[[nodiscard]] std::optional<std::string> FindDevice(const TDeviceIdentity& identity, const TUsbRoots& roots);

}  // namespace qv::usb
