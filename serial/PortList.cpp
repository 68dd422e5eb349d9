#include "PortList.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include <QFile>

#include "AsciiText.h"
#include "EComPort.h"

namespace fs = std::filesystem;

namespace {

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(p, ec));
}

// A legacy UART slot without a chip behind it reads type 0 (unknown). Reading
// the attribute needs no open(), which would toggle DTR and RTS.
bool HasKnownUartType(const fs::path& ttyDir) {
  std::ifstream in(ttyDir / "type");
  long type = 0;
  return (in >> type) && type != 0;
}

bool IsSerialDevice(const fs::directory_entry& entry) {
  // Virtual consoles, console and ptmx have no device behind them.
  if (!Exists(entry.path() / "device")) return false;
  auto name = entry.path().filename().string();
  if (name.starts_with("ttyS") && !HasKnownUartType(entry.path())) return false;
  return true;
}

void AddAnnouncedPorts(const fs::path& folder, std::vector<std::string>& ports) {
  // No folder means no simulated device is running.
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code ec2;
    // Only links whose device is still there: a simulator that ended leaves a dangling one.
    if (it->is_symlink(ec2) && fs::exists(it->path(), ec2)) ports.push_back(it->path().string());
  }
}

}  // namespace

void ListSerialPorts(std::vector<std::string>& items, const TPortListSources& sources) {
  std::vector<std::string> ports;
  std::error_code ec;
  fs::directory_iterator it(sources.sysfsRoot, ec);
  if (ec) throw EComPort(23, ec.value());
  for (fs::directory_iterator end; it != end; it.increment(ec)) {
    if (!IsSerialDevice(*it)) continue;
    auto dev = sources.devRoot / it->path().filename();
    if (Exists(dev)) ports.push_back(dev.string());
  }
  if (ec) throw EComPort(23, ec.value());
  AddAnnouncedPorts(sources.announcements, ports);
  std::sort(ports.begin(), ports.end(),
            [](const std::string& a, const std::string& b) { return qv::LessIgnoringCase(a, b); });
  items = std::move(ports);
}

void ListSerialPorts(std::vector<std::string>& items) { ListSerialPorts(items, TPortListSources{}); }

void ListSerialPorts(QStringList& items) {
  std::vector<std::string> ports;
  ListSerialPorts(ports);
  items.clear();
  for (const auto& p : ports) items << QFile::decodeName(QByteArray::fromStdString(p));
}
