#pragma once
// The serial ports that the system offers, as names the port accepts as Port:
// the device paths of the serial devices in sysfs, and the ports announced by
// a running simulated device (symbolic links in the user's runtime folder).
#include <filesystem>
#include <string>
#include <vector>

#include <QStringList>

#include "AppPaths.h"

struct TPortListSources {
  std::filesystem::path sysfsRoot = "/sys/class/tty";
  std::filesystem::path devRoot = "/dev";
  std::filesystem::path announcements = qv::PortAnnouncementDir();
};

// Replaces items with the ports, sorted by text without regard to case and not
// numerically (ttyS10 before ttyS2). Throws EComPort 23 with the system's error
// number when the system's list of tty devices cannot be read; items are then
// left as they were.
void ListSerialPorts(std::vector<std::string>& items, const TPortListSources& sources);
void ListSerialPorts(std::vector<std::string>& items);
void ListSerialPorts(QStringList& items);
