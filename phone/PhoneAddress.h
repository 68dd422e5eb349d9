#pragma once
// Which address the phone view listens on: one address of this machine, by
// default that of the interface the default route leaves by (the network the
// phone shares with the laptop), never every interface at once. Plain C++:
// the machine's interfaces and its route table come in as data.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv::phone {

struct NetAddress {
  std::string ip;  // "192.168.1.20", "fe80::1"
  bool v6 = false;
};

struct NetInterface {
  std::string name;  // "wlan0"
  bool up = false;   // up and running
  bool loopback = false;
  std::vector<NetAddress> addresses;
};

// The interface names of the IPv4 default routes in /proc/net/route's text,
// lowest metric first (equal metrics in the table's order).
[[nodiscard]] std::vector<std::string> DefaultRouteInterfaces(std::string_view procNetRoute);

// The address to offer the page on: the first IPv4 address of the first
// default-route interface that is up; without one, the first IPv4 address of
// any interface that is up and not the loopback; nullopt when there is none.
// Unspecified addresses (0.0.0.0, ::) are never chosen.
[[nodiscard]] std::optional<std::string> ChooseAddress(std::string_view procNetRoute,
                                                       const std::vector<NetInterface>& interfaces);

// Whether `ip` may be listened on: one of the interfaces' own addresses and
// not an unspecified one.
[[nodiscard]] bool IsOwnAddress(std::string_view ip, const std::vector<NetInterface>& interfaces);

// One address offered in the view's choice.
struct AddressChoice {
  std::string ip;
  std::string interfaceName;
  bool loopback = false;
  bool operator==(const AddressChoice&) const = default;
};

// The addresses a phone could reach the page on, for the view's choice: those
// of the interfaces that are up, the loopback's last. Unspecified addresses
// and IPv6 link-local ones (a browser cannot open those without the
// interface's name) are left out.
[[nodiscard]] std::vector<AddressChoice> AddressChoices(const std::vector<NetInterface>& interfaces);

// Whether the text is an unspecified ("any") address.
[[nodiscard]] bool IsUnspecified(std::string_view ip);

}  // namespace qv::phone
