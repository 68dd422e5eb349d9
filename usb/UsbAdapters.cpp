#include "UsbAdapters.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <system_error>

#include "SystemError.h"

namespace fs = std::filesystem;

namespace qv::usb {

namespace {

std::string ReadAttribute(const fs::path& p) {
  std::ifstream in(p);
  std::string line;
  std::getline(in, line);
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
  return line;
}

bool IsUnder(const fs::path& p, const fs::path& root) {
  auto [r, q] = std::mismatch(root.begin(), root.end(), p.begin(), p.end());
  return r == root.end();
}

// Names for ids whose devices give no strings or only a generic product.
struct KnownId {
  const char* vendor;
  const char* product;  // nullptr: any product of the vendor
  const char* name;
};
constexpr std::array<KnownId, 10> kKnown{{
    {"0403", nullptr, "FTDI"},
    {"0403", "6001", "FT232R USB UART"},
    {"1a86", nullptr, "QinHeng"},
    {"1a86", "7523", "CH340"},
    {"1a86", "5523", "CH341"},
    {"10c4", nullptr, "Silicon Labs"},
    {"10c4", "ea60", "CP2102"},
    {"067b", nullptr, "Prolific"},
    {"067b", "2303", "PL2303"},
    {"2341", nullptr, "Arduino"},
}};

std::string KnownName(const std::string& vendor, const char* product) {
  for (const KnownId& k : kKnown) {
    const bool productMatches =
        product == nullptr ? k.product == nullptr : (k.product && product == std::string(k.product));
    if (vendor == k.vendor && productMatches) return k.name;
  }
  return {};
}

bool IsGenericProduct(const std::string& product) {
  static constexpr std::array<const char*, 4> kGeneric{"USB Serial", "USB2.0-Serial", "USB-Serial Controller",
                                                       "USB-Serial Controller D"};
  return std::find(kGeneric.begin(), kGeneric.end(), product) != kGeneric.end();
}

// Walks up from a tty's device folder to the USB device that carries the ids.
std::optional<fs::path> UsbDeviceAbove(const fs::path& deviceDir, const fs::path& sysRoot) {
  for (fs::path p = deviceDir; IsUnder(p, sysRoot) && p != sysRoot; p = p.parent_path()) {
    std::error_code ec;
    if (fs::exists(p / "idVendor", ec) && fs::exists(p / "idProduct", ec)) return p;
    if (p == p.parent_path()) break;
  }
  return std::nullopt;
}

bool HasTtyBelow(const fs::path& usbDevice) {
  std::error_code ec;
  for (fs::recursive_directory_iterator it(usbDevice, fs::directory_options::none, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name == "tty" || name.starts_with("ttyUSB") || name.starts_with("ttyACM")) return true;
    if (it.depth() > 4) it.disable_recursion_pending();
  }
  return false;
}

}  // namespace

std::string AdapterTitle(const TUsbAdapter& a) {
  std::string maker = a.manufacturer.empty() ? KnownName(a.vendorId, nullptr) : a.manufacturer;
  std::string product = a.product;
  if (product.empty() || IsGenericProduct(product)) {
    const std::string known = KnownName(a.vendorId, a.productId.c_str());
    if (!known.empty()) product = known;
  }
  if (maker.empty() && product.empty()) return "USB " + a.vendorId + ":" + a.productId;
  if (maker.empty()) return product;
  if (product.empty() || product.starts_with(maker)) return product.empty() ? maker : product;
  return maker + " " + product;
}

std::optional<TUsbAdapter> UsbAdapterForTty(const std::string& tty, const TUsbRoots& roots) {
  const fs::path sysRoot = CanonicalOrEmpty(roots.sys);
  const fs::path deviceDir = CanonicalOrEmpty(roots.sys / "class" / "tty" / tty / "device");
  if (sysRoot.empty() || deviceDir.empty()) return std::nullopt;
  const auto usb = UsbDeviceAbove(deviceDir, sysRoot);
  if (!usb) return std::nullopt;
  TUsbAdapter a;
  a.tty = tty;
  a.node = roots.dev / tty;
  a.vendorId = ReadAttribute(*usb / "idVendor");
  a.productId = ReadAttribute(*usb / "idProduct");
  a.manufacturer = ReadAttribute(*usb / "manufacturer");
  a.product = ReadAttribute(*usb / "product");
  a.serial = ReadAttribute(*usb / "serial");
  if (const fs::path target = CanonicalOrEmpty(a.node); !target.empty()) a.byId = ByIdLinkTo(target, roots);
  return a;
}

std::vector<TUsbAdapter> ListUsbAdapters(const TUsbRoots& roots) {
  std::vector<TUsbAdapter> out;
  std::error_code ec;
  for (fs::directory_iterator it(roots.sys / "class" / "tty", ec), end; !ec && it != end; it.increment(ec)) {
    const std::string tty = it->path().filename().string();
    std::error_code nodeEc;
    if (!fs::exists(roots.dev / tty, nodeEc)) continue;
    if (auto a = UsbAdapterForTty(tty, roots)) out.push_back(std::move(*a));
  }
  std::sort(out.begin(), out.end(), [](const TUsbAdapter& x, const TUsbAdapter& y) { return x.tty < y.tty; });
  return out;
}

fs::path ByIdLinkTo(const fs::path& target, const TUsbRoots& roots) {
  std::vector<fs::path> links;
  std::error_code ec;
  for (fs::directory_iterator it(roots.dev / "serial" / "by-id", ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code linkEc;
    if (!it->is_symlink(linkEc)) continue;
    if (const fs::path t = CanonicalOrEmpty(it->path()); !t.empty() && t == target) links.push_back(it->path());
  }
  if (links.empty()) return {};
  std::sort(links.begin(), links.end());
  return links.front();
}

std::vector<fs::path> UsbDevicesWithoutTty(const std::string& vendorId, const std::string& productId,
                                           const TUsbRoots& roots) {
  std::vector<fs::path> out;
  std::error_code ec;
  for (fs::directory_iterator it(roots.sys / "bus" / "usb" / "devices", ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path dev = CanonicalOrEmpty(it->path());
    if (dev.empty() || ReadAttribute(dev / "idVendor") != vendorId || ReadAttribute(dev / "idProduct") != productId)
      continue;
    if (!HasTtyBelow(dev)) out.push_back(it->path());
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace qv::usb
