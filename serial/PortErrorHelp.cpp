#include "PortErrorHelp.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QString>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <fstream>
#include <system_error>
#include <utility>

#include "CPort.h"
#include "CPortTr.h"
#include "DevicePath.h"
#include "PortList.h"
#include "SystemError.h"

namespace fs = std::filesystem;

namespace {

// The advice, in the "cport" domain with the port's other texts.
constexpr const char* kNoAccess =
    "Your user may not open this device, and joining its group would not help; ask your administrator for access.";
constexpr const char* kGroupMayNot =
    "The device belongs to the group \"%1\" and your user is in it, but the device does not let the group read and "
    "write it.";
constexpr const char* kJoinGroup =
    "The device belongs to the group \"%1\", which your user is not in. Join it with\n"
    "    sudo usermod -aG %1 $USER\n"
    "then log out and back in.";

QString Local(const std::string& s) { return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size())); }

bool ProcessInGroup(gid_t gid) {
  if (getegid() == gid) return true;
  const int n = getgroups(0, nullptr);
  if (n <= 0) return false;
  std::vector<gid_t> groups(static_cast<std::size_t>(n));
  const int got = getgroups(n, groups.data());
  return got > 0 && std::find(groups.begin(), groups.begin() + got, gid) != groups.begin() + got;
}

std::string GroupName(gid_t gid) {
  // getgrgid_r wants a buffer of a size the system only suggests; grow it on ERANGE.
  long suggested = sysconf(_SC_GETGR_R_SIZE_MAX);
  std::vector<char> buf(suggested > 0 ? static_cast<std::size_t>(suggested) : 1024);
  group gr{};
  group* found = nullptr;
  while (true) {
    const int rc = getgrgid_r(gid, &gr, buf.data(), buf.size(), &found);
    if (rc == ERANGE && buf.size() < (1u << 20)) {
      buf.resize(buf.size() * 2);
      continue;
    }
    if (rc != 0 || found == nullptr || found->gr_name == nullptr) return {};
    return found->gr_name;
  }
}

// Permission denied: joining the device's group helps when that group may
// read and write it and is not the administrator's own.
QString AccessHelp(const std::string& device, const TPortErrorHelpSources& sources) {
  struct stat st {};
  if (::stat(device.c_str(), &st) != 0) return {};
  const std::string group = GroupName(st.st_gid);
  const bool groupMayUse = (st.st_mode & S_IRGRP) && (st.st_mode & S_IWGRP);
  if (!groupMayUse || st.st_gid == 0 || group.empty()) return CPortTr(kNoAccess);
  const QString name = Local(group);
  if (sources.inGroup && sources.inGroup(st.st_gid)) return CPortTr(kGroupMayNot).arg(name);
  return CPortTr(kJoinGroup).arg(name);
}

QString BusyHelp(const std::string& device, const TPortErrorHelpSources& sources) {
  const std::vector<std::string> holders = PortHolders(device, sources.procRoot);
  if (holders.empty()) return CPortTr("Another program has the port open. Close it and try again.");
  QStringList names;
  for (const auto& h : holders) names << QString::fromStdString(h);
  return CPortTr("Another program has the port open: %1. Close it and try again.")
      .arg(names.join(QStringLiteral(", ")));
}

// A CH340 adapter whose port vanishes at once: brltty's udev rule hands
// 1a86:7523 to the braille display driver, which leaves the adapter in sysfs
// without a tty. Said when such an adapter is there, or when brltty runs and
// the port is a USB one.
QString ClaimedHelp(const std::string& device, const TPortErrorHelpSources& sources) {
  const bool claimed = !qv::usb::UsbDevicesWithoutTty("1a86", "7523", sources.usb).empty();
  const bool running = ProgramRunning(sources.procRoot, "brltty");
  const std::string name = fs::path(device).filename().string();
  const bool usbPort = name.starts_with("ttyUSB") || device.find("/serial/by-id/") != std::string::npos;
  if (!claimed && !(running && usbPort)) return {};
  QString help = claimed ? CPortTr(
                               "A CH340 adapter is plugged in but has no serial port: the braille display service "
                               "brltty takes these adapters for a braille display and claims them.")
                         : CPortTr(
                               "The braille display service brltty is running; it takes CH340 adapters for a "
                               "braille display and claims them, and their port vanishes.");
  if (claimed && running) help += QLatin1Char(' ') + CPortTr("brltty is running now.");
  return help + QLatin1Char('\n') +
         CPortTr(
             "If you use no braille display, remove it with\n"
             "    sudo apt remove brltty\n"
             "or keep it from claiming adapters with\n"
             "    sudo ln -s /dev/null /etc/udev/rules.d/85-brltty.rules\n"
             "then unplug the adapter and plug it in again.");
}

QString MissingHelp(int code, const std::string& device, const TPortErrorHelpSources& sources) {
  QString help = code == ENOTTY ? CPortTr("The port name does not lead to a serial device.")
                                : CPortTr("The device is not plugged in, or the port name is wrong.");
  if (code != ENOTTY) {
    if (const QString claimed = ClaimedHelp(device, sources); !claimed.isEmpty()) help = claimed;
  }
  std::vector<std::string> ports;
  bool listed = false;
  if (sources.listPorts) {
    try {
      ports = sources.listPorts();
      listed = true;
    } catch (const std::exception&) {
      // Without a list the first sentence still says what is wrong.
    }
  }
  if (!listed) return help;
  help += QLatin1Char('\n');
  if (ports.empty()) return help + CPortTr("No serial ports were found.");
  QStringList names;
  for (const auto& p : ports) names << Local(p);
  return help + CPortTr("Serial ports found: %1. Choose one under Einstellung > RS-232.")
                    .arg(names.join(QStringLiteral(", ")));
}

// What to do when the port would not open, by the system's code.
QString OpenHelp(int code, const std::string& device, const TPortErrorHelpSources& sources) {
  switch (code) {
    case EACCES:
    case EPERM: return AccessHelp(device, sources);
    case EBUSY:
    case EAGAIN: return BusyHelp(device, sources);
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTTY: return MissingHelp(code, device, sources);
    default: return {};
  }
}

std::string ReadFirstLine(const fs::path& p) {
  std::ifstream in(p);
  std::string line;
  std::getline(in, line);
  return line;
}

}  // namespace

TPortErrorHelpSources DefaultPortErrorHelpSources() {
  TPortErrorHelpSources s;
  s.listPorts = [] {
    std::vector<std::string> ports;
    ListSerialPorts(ports);
    return ports;
  };
  s.inGroup = ProcessInGroup;
  return s;
}

bool ProgramRunning(const fs::path& procRoot, const std::string& name) {
  std::error_code ec;
  for (fs::directory_iterator it(procRoot, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string pid = it->path().filename().string();
    if (pid.empty() || !std::all_of(pid.begin(), pid.end(), [](char c) { return c >= '0' && c <= '9'; })) continue;
    if (ReadFirstLine(it->path() / "comm") == name) return true;
  }
  return false;
}

std::vector<std::string> PortHolders(const fs::path& devicePath, const fs::path& procRoot) {
  const fs::path target = qv::CanonicalOrEmpty(devicePath);
  if (target.empty()) return {};
  std::error_code ec;
  std::vector<std::pair<long, std::string>> found;
  for (fs::directory_iterator it(procRoot, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string pidText = it->path().filename().string();
    if (pidText.empty() || !std::all_of(pidText.begin(), pidText.end(), [](char c) { return c >= '0' && c <= '9'; }))
      continue;
    std::error_code fdEc;
    bool holds = false;
    for (fs::directory_iterator fd(it->path() / "fd", fdEc), fdEnd; !fdEc && fd != fdEnd && !holds;
         fd.increment(fdEc)) {
      std::error_code linkEc;
      const fs::path linked = fs::read_symlink(fd->path(), linkEc);
      holds = !linkEc && linked == target;
    }
    if (holds) found.emplace_back(std::stol(pidText.substr(0, 18)), ReadFirstLine(it->path() / "comm"));
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> out;
  for (const auto& [pid, name] : found)
    out.push_back(CPortTr("%1 (process %2)").arg(Local(name.empty() ? "?" : name), QString::number(pid)).toStdString());
  return out;
}

std::string PortErrorDetail(const EComPort& e, const std::string& portName) {
  return PortErrorDetail(e, portName, DefaultPortErrorHelpSources());
}

std::string PortErrorDetail(const EComPort& e, const std::string& portName, const TPortErrorHelpSources& sources) {
  const int code = e.WinCode();
  if (code <= 0) return e.Cause();
  // The system's own words for the code, about the device they concern.
  const std::string device = qv::DevicePathForPort(portName);
  QString detail = Local(std::system_category().message(code)) + QLatin1Char('.');
  if (e.Code() == 1) {
    if (!device.empty()) {
      QString where = Local(device);
      if (device != portName) where = Local(portName) + QStringLiteral(" (") + where + QLatin1Char(')');
      detail = where + QStringLiteral(": ") + detail;
    }
    const QString help = OpenHelp(code, device, sources);
    if (!help.isEmpty()) detail += QLatin1Char('\n') + help;
  } else if (code == EIO || code == ENODEV || code == ENXIO) {
    // Reading or writing a port whose device has gone.
    const QString help = ClaimedHelp(device, sources);
    if (!help.isEmpty()) detail += QLatin1Char('\n') + help;
  }
  return detail.toStdString();
}
