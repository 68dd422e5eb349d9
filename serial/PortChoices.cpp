#include "PortChoices.h"

#include <algorithm>
#include <system_error>

#include "AsciiText.h"
#include "CPortTr.h"
#include "DevicePath.h"
#include "SystemError.h"

namespace fs = std::filesystem;

namespace qv {

void ListPortChoices(std::vector<std::string>& items, const TPortListSources& sources, const usb::TUsbRoots& usb) {
  std::vector<std::string> out;
  ListSerialPorts(out, sources);
  std::vector<std::string> stable;
  for (const usb::TUsbAdapter& a : usb::ListUsbAdapters(usb))
    if (!a.byId.empty()) stable.push_back(a.byId.string());
  std::sort(stable.begin(), stable.end(),
            [](const std::string& a, const std::string& b) { return LessIgnoringCase(a, b); });
  out.insert(out.end(), stable.begin(), stable.end());
  items = std::move(out);
}

void ListPortChoices(std::vector<std::string>& items) { ListPortChoices(items, TPortListSources{}, usb::TUsbRoots{}); }

std::string DescribePort(const std::string& name, const usb::TUsbRoots& usb) {
  const std::string device = DevicePathForPort(name);
  const fs::path target = qv::CanonicalOrEmpty(device);
  if (target.empty() || device.empty()) return {};
  const QString node = QString::fromStdString(target.string());
  if (target.parent_path() == qv::CanonicalOrEmpty(usb.dev)) {
    if (const auto a = usb::UsbAdapterForTty(target.filename().string(), usb)) {
      const QString title = QString::fromStdString(usb::AdapterTitle(*a));
      if (a->serial.empty()) return (title + QStringLiteral(", ") + node).toStdString();
      return CPortTr("%1, serial number %2, %3").arg(title, QString::fromStdString(a->serial), node).toStdString();
    }
    std::error_code ec;
    if (fs::exists(usb.sys / "class" / "tty" / target.filename() / "device", ec))
      return CPortTr("Serial port %1").arg(node).toStdString();
  }
  if (fs::path(device) != target) return CPortTr("Link to %1").arg(node).toStdString();
  return CPortTr("Serial port %1").arg(node).toStdString();
}

std::string DescribePort(const std::string& name) { return DescribePort(name, usb::TUsbRoots{}); }

void PortChoiceSource::List(std::vector<std::string>& items) const {
  if (list)
    list(items);
  else
    ListPortChoices(items);
}

std::string PortChoiceSource::Describe(const std::string& name) const {
  return describe ? describe(name) : DescribePort(name);
}

}  // namespace qv
