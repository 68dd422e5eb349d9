#pragma once
// A fake /sys and /dev with USB serial adapters laid out as the kernel and
// udev lay them out: the USB device folder with its ids and strings, the
// interface below it, the tty below that, /sys/class/tty/NAME/device leading
// to it, /sys/bus/usb/devices/BUS-PORT, the node in /dev and the by-id link.
#include <filesystem>
#include <string>

#include "UsbAdapters.h"
#include "support/TestEnv.h"

namespace qvtest {

struct FakeAdapter {
  std::string tty;  // "ttyUSB0", "ttyACM0"; empty: no tty (claimed by another driver)
  std::string vendorId, productId;
  std::string manufacturer, product, serial;  // "" leaves the attribute out
  std::string byIdName;                       // "" makes no link
  std::string usbPort = "1-1";
};

class FakeUsbTree {
 public:
  explicit FakeUsbTree(const std::filesystem::path& root) : root_(root) {
    std::filesystem::create_directories(root_ / "sys" / "class" / "tty");
    std::filesystem::create_directories(root_ / "sys" / "bus" / "usb" / "devices");
    std::filesystem::create_directories(root_ / "dev");
  }
  qv::usb::TUsbRoots Roots() const { return {root_ / "sys", root_ / "dev"}; }
  std::filesystem::path Dev(const std::string& name) const { return root_ / "dev" / name; }
  std::filesystem::path ById(const std::string& name) const { return root_ / "dev" / "serial" / "by-id" / name; }

  void Add(const FakeAdapter& a) {
    namespace fs = std::filesystem;
    const fs::path usb = root_ / "sys" / "devices" / "pci0000:00" / "0000:00:14.0" / "usb1" / a.usbPort;
    const fs::path iface = usb / (a.usbPort + ":1.0");
    fs::create_directories(iface);
    WriteFile(iface / "bInterfaceNumber", "00\n");
    WriteFile(usb / "idVendor", a.vendorId + "\n");
    WriteFile(usb / "idProduct", a.productId + "\n");
    if (!a.manufacturer.empty()) WriteFile(usb / "manufacturer", a.manufacturer + "\n");
    if (!a.product.empty()) WriteFile(usb / "product", a.product + "\n");
    if (!a.serial.empty()) WriteFile(usb / "serial", a.serial + "\n");
    fs::create_directory_symlink("../../../devices/pci0000:00/0000:00:14.0/usb1/" + a.usbPort,
                                 root_ / "sys" / "bus" / "usb" / "devices" / a.usbPort);
    if (a.tty.empty()) return;
    // usb-serial puts a ttyUSBn device under the interface; cdc-acm has the
    // interface itself as the tty's device.
    const bool acm = a.tty.starts_with("ttyACM");
    const fs::path device = acm ? iface : iface / a.tty;
    fs::create_directories(device / "tty" / a.tty);
    fs::create_directories(root_ / "sys" / "class" / "tty" / a.tty);
    fs::create_directory_symlink(device, root_ / "sys" / "class" / "tty" / a.tty / "device");
    WriteFile(Dev(a.tty), "");
    if (!a.byIdName.empty()) Link(a.byIdName, "../../" + a.tty);
  }
  // A by-id link with any target (one that is gone, or a pseudo-terminal).
  void Link(const std::string& byIdName, const std::filesystem::path& target) {
    std::filesystem::create_directories(root_ / "dev" / "serial" / "by-id");
    std::filesystem::create_symlink(target, ById(byIdName));
  }
  // A legacy UART: a tty with a non-USB device and a known type.
  void AddUart(const std::string& tty) {
    namespace fs = std::filesystem;
    const fs::path device = root_ / "sys" / "devices" / "platform" / "serial8250" / tty;
    fs::create_directories(device);
    fs::create_directories(root_ / "sys" / "class" / "tty" / tty);
    fs::create_directory_symlink(device, root_ / "sys" / "class" / "tty" / tty / "device");
    WriteFile(root_ / "sys" / "class" / "tty" / tty / "type", "4\n");
    WriteFile(Dev(tty), "");
  }

 private:
  std::filesystem::path root_;
};

// The adapters the tests use, with the strings such devices report.
inline FakeAdapter Ftdi() {
  return {
      "ttyUSB0", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI", "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0",
      "1-1"};
}
inline FakeAdapter Ch340() {
  return {"ttyUSB1", "1a86", "7523", "", "USB Serial", "", "usb-1a86_USB_Serial-if00-port0", "1-2"};
}
inline FakeAdapter Cp2102() {
  return {"ttyUSB2",
          "10c4",
          "ea60",
          "Silicon Labs",
          "CP2102 USB to UART Bridge Controller",
          "0001",
          "usb-Silicon_Labs_CP2102_USB_to_UART_Bridge_Controller_0001-if00-port0",
          "1-3"};
}
inline FakeAdapter CdcAcm() {
  return {"ttyACM0",
          "2341",
          "0043",
          "Arduino (www.arduino.cc)",
          "Arduino Uno",
          "7543331333335190A1D1",
          "usb-Arduino__www.arduino.cc__0043_7543331333335190A1D1-if00",
          "1-4"};
}

}  // namespace qvtest
