#pragma once
// What the port setup dialog's port list offers: the ports ListSerialPorts()
// gives, in its order, and after them each USB adapter's stable name under
// /dev/serial/by-id/ (which holds the adapter's serial number and survives
// plugging it into another socket). Each entry can be described for its
// tooltip: maker and product from sysfs, and the node it leads to.
#include <functional>
#include <string>
#include <vector>

#include "PortList.h"
#include "UsbAdapters.h"

namespace qv {

// Replaces items with the listed ports followed by the by-id names of the USB
// adapters, sorted among themselves without regard to case. The listed ports
// keep their texts and their order. Errors as ListSerialPorts().
void ListPortChoices(std::vector<std::string>& items, const TPortListSources& sources, const usb::TUsbRoots& usb);
void ListPortChoices(std::vector<std::string>& items);

// What the port name is, in a line: "FTDI FT232R USB UART, serial number
// A50285BI, /dev/ttyUSB0" for a USB adapter (by its node or its by-id name),
// "Serial port /dev/ttyS0" for other serial devices, "Link to /dev/pts/3" for
// a link sysfs does not know. Empty when the name leads nowhere.
[[nodiscard]] std::string DescribePort(const std::string& name, const usb::TUsbRoots& usb);
[[nodiscard]] std::string DescribePort(const std::string& name);

// Where one port list gets its entries and their tooltips, handed in by the
// list's owner. Either part left empty stands for the system's:
// ListPortChoices() and DescribePort().
using TPortLister = std::function<void(std::vector<std::string>& items)>;
using TPortDescriber = std::function<std::string(const std::string& name)>;
struct PortChoiceSource {
  TPortLister list;
  TPortDescriber describe;

  // Replaces items with the entries; the lister's errors are passed on.
  void List(std::vector<std::string>& items) const;
  [[nodiscard]] std::string Describe(const std::string& name) const;
};

}  // namespace qv
