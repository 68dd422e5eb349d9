#pragma once
// The device file a port name stands for.
#include <string>

namespace qv {
// The device path a port name stands for on Linux: an absolute path as is,
// "COMn" (n >= 1) as /dev/ttyS(n-1), any other name below /dev.
[[nodiscard]] std::string DevicePathForPort(const std::string& name);
}  // namespace qv
