#include "DevicePath.h"

#include <cctype>

namespace qv {

std::string DevicePathForPort(const std::string& name) {
  if (name.empty()) return {};
  if (name.front() == '/') return name;
  // "COMn" names the n-th legacy UART, counted from 1; Linux counts from 0.
  if (name.size() > 3 && (name.compare(0, 3, "COM") == 0 || name.compare(0, 3, "com") == 0)) {
    bool digits = true;
    for (std::size_t i = 3; i < name.size(); ++i) digits = digits && std::isdigit(static_cast<unsigned char>(name[i]));
    if (digits && name.size() <= 12) {
      const long n = std::stol(name.substr(3));
      if (n >= 1) return "/dev/ttyS" + std::to_string(n - 1);
    }
  }
  return "/dev/" + name;
}

}  // namespace qv
