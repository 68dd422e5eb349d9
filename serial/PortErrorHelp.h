#pragma once
// A second line for a port error, written for the person in front of the
// program: what the system says about the error code and, for a port that
// would not open, what to do about it (join the device's group, close the
// program that holds the port, pick a port that is there, keep brltty from
// taking a CH340 adapter). No widgets here;
// the error report puts the result under the error's own message.
#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "EComPort.h"
#include "UsbAdapters.h"

// Where the help looks; tests put in their own.
struct TPortErrorHelpSources {
  // The ports that are there, as ListSerialPorts() gives them.
  std::function<std::vector<std::string>()> listPorts;
  // Whether this process may act with the rights of group gid.
  std::function<bool(gid_t gid)> inGroup;
  // The processes' folders (pid/comm, pid/fd/*).
  std::filesystem::path procRoot = "/proc";
  // Where USB adapters are seen (a CH340 that another driver has claimed).
  qv::usb::TUsbRoots usb;
};

// The system's defaults: ListSerialPorts(), this process's groups, /proc.
[[nodiscard]] TPortErrorHelpSources DefaultPortErrorHelpSources();

// The detail for error e, raised for the port named portName (a name the port
// accepts as Port: "COM1", "ttyUSB0" or a device path). Without a system
// code, the error's cause (a settings store's file, line and reason) or
// nothing. Texts pass through the "cport" domain.
[[nodiscard]] std::string PortErrorDetail(const EComPort& e, const std::string& portName);
[[nodiscard]] std::string PortErrorDetail(const EComPort& e, const std::string& portName,
                                          const TPortErrorHelpSources& sources);

// The programs that have the file at devicePath open: "name (process pid)"
// for each, in the order of their process numbers. Folders that cannot be
// read (other users' processes) are passed over.
[[nodiscard]] std::vector<std::string> PortHolders(const std::filesystem::path& devicePath,
                                                   const std::filesystem::path& procRoot);

// Whether a process of that name (its comm) is running.
[[nodiscard]] bool ProgramRunning(const std::filesystem::path& procRoot, const std::string& name);
