#pragma once
// What the port setup dialog's port list offers: the ports ListSerialPorts()
// gives, in its order, and after them each USB adapter's stable name under
// /dev/serial/by-id/ (which holds the adapter's serial number and survives
// plugging it into another socket). Each entry can be described for its
// tooltip: maker and product from sysfs, and the node it leads to.
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

}  // namespace qv
