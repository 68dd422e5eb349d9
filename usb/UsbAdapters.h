#pragma once
// USB serial adapters as sysfs and /dev describe them: for each tty that sits
// on a USB device, the device's maker, product, ids and serial number, and its
// stable name under /dev/serial/by-id/ (which survives replugging into another
// socket). The roots are parameters so that tests can build a fake tree.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace qv::usb {

struct TUsbRoots {
  std::filesystem::path sys = "/sys";
  std::filesystem::path dev = "/dev";
};

struct TUsbAdapter {
  std::string tty;             // kernel name, "ttyUSB0"
  std::filesystem::path node;  // dev / tty
  std::string vendorId;        // "0403", as sysfs writes it
  std::string productId;       // "6001"
  std::string manufacturer;    // sysfs strings, "" when the device has none
  std::string product;
  std::string serial;
  std::filesystem::path byId;  // the by-id link to node, empty when there is none
};

// Maker and product for people: "FTDI FT232R USB UART", "QinHeng CH340". The
// device's own strings where it has them, known names for ids whose devices
// leave them out or give a generic product, "USB 1a86:7523" at the least.
[[nodiscard]] std::string AdapterTitle(const TUsbAdapter& adapter);

// The adapter behind /sys/class/tty/<tty>, or none when that tty is not on a
// USB device (a UART, a pseudo-terminal) or is not there.
[[nodiscard]] std::optional<TUsbAdapter> UsbAdapterForTty(const std::string& tty, const TUsbRoots& roots);

// Every tty on a USB device that has its node in dev, sorted by tty name.
[[nodiscard]] std::vector<TUsbAdapter> ListUsbAdapters(const TUsbRoots& roots);

// The by-id link (dev/serial/by-id/*) whose target is target, empty when none;
// links whose target is gone never match.
[[nodiscard]] std::filesystem::path ByIdLinkTo(const std::filesystem::path& target, const TUsbRoots& roots);

// USB devices (sys/bus/usb/devices/*) with these ids that have no tty below
// them: an adapter a driver other than the serial one has claimed.
[[nodiscard]] std::vector<std::filesystem::path> UsbDevicesWithoutTty(const std::string& vendorId,
                                                                      const std::string& productId,
                                                                      const TUsbRoots& roots);

}  // namespace qv::usb
