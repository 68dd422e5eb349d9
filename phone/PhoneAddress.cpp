#include "PhoneAddress.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace qv::phone {
namespace {

constexpr unsigned kRouteUp = 0x1;  // RTF_UP

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
  return out;
}

std::optional<std::uint64_t> Number(std::string_view s, int base) {
  std::uint64_t v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return v;
}

const NetInterface* Find(const std::vector<NetInterface>& interfaces, std::string_view name) {
  for (const NetInterface& i : interfaces)
    if (i.name == name) return &i;
  return nullptr;
}

std::optional<std::string> FirstV4(const NetInterface& i) {
  for (const NetAddress& a : i.addresses)
    if (!a.v6 && !a.ip.empty() && !IsUnspecified(a.ip)) return a.ip;
  return std::nullopt;
}

}  // namespace

bool IsUnspecified(std::string_view ip) {
  if (ip == "0.0.0.0") return true;
  // Every IPv6 spelling of :: is only colons and zeros.
  return ip.find(':') != std::string_view::npos && ip.find_first_not_of(":0") == std::string_view::npos;
}

std::vector<std::string> DefaultRouteInterfaces(std::string_view table) {
  struct Route {
    std::string name;
    std::uint64_t metric;
  };
  std::vector<Route> routes;
  bool header = true;
  while (!table.empty()) {
    const std::size_t nl = table.find('\n');
    const std::string_view line = table.substr(0, nl);
    table = nl == std::string_view::npos ? std::string_view() : table.substr(nl + 1);
    if (header) {  // "Iface Destination Gateway Flags RefCnt Use Metric Mask ..."
      header = false;
      continue;
    }
    const auto f = Fields(line);
    if (f.size() < 8) continue;
    const auto dest = Number(f[1], 16), flags = Number(f[3], 16), metric = Number(f[6], 10), mask = Number(f[7], 16);
    if (!dest || !flags || !metric || !mask) continue;
    if (*dest != 0 || *mask != 0 || !(*flags & kRouteUp)) continue;
    routes.push_back({std::string(f[0]), *metric});
  }
  std::stable_sort(routes.begin(), routes.end(), [](const Route& a, const Route& b) { return a.metric < b.metric; });
  std::vector<std::string> names;
  for (const Route& r : routes)
    if (std::find(names.begin(), names.end(), r.name) == names.end()) names.push_back(r.name);
  return names;
}

std::optional<std::string> ChooseAddress(std::string_view procNetRoute, const std::vector<NetInterface>& interfaces) {
  for (const std::string& name : DefaultRouteInterfaces(procNetRoute)) {
    const NetInterface* i = Find(interfaces, name);
    if (!i || !i->up || i->loopback) continue;
    if (auto ip = FirstV4(*i)) return ip;
  }
  for (const NetInterface& i : interfaces) {
    if (!i.up || i.loopback) continue;
    if (auto ip = FirstV4(i)) return ip;
  }
  return std::nullopt;
}

std::vector<AddressChoice> AddressChoices(const std::vector<NetInterface>& interfaces) {
  std::vector<AddressChoice> out, loopback;
  for (const NetInterface& i : interfaces) {
    if (!i.up) continue;
    for (const NetAddress& a : i.addresses) {
      const bool linkLocal = a.v6 && (a.ip.rfind("fe8", 0) == 0 || a.ip.rfind("fe9", 0) == 0 ||
                                      a.ip.rfind("fea", 0) == 0 || a.ip.rfind("feb", 0) == 0);
      if (a.ip.empty() || IsUnspecified(a.ip) || linkLocal) continue;
      (i.loopback ? loopback : out).push_back({a.ip, i.name, i.loopback});
    }
  }
  out.insert(out.end(), loopback.begin(), loopback.end());
  return out;
}

bool IsOwnAddress(std::string_view ip, const std::vector<NetInterface>& interfaces) {
  if (ip.empty() || IsUnspecified(ip)) return false;
  return std::any_of(interfaces.begin(), interfaces.end(), [&](const NetInterface& i) {
    return std::any_of(i.addresses.begin(), i.addresses.end(), [&](const NetAddress& a) { return a.ip == ip; });
  });
}

}  // namespace qv::phone
