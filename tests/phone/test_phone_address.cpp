#include <gtest/gtest.h>

#include "PhoneAddress.h"

using namespace qv::phone;

namespace {

// /proc/net/route as the kernel writes it: tab-separated, addresses in hex.
constexpr char kHeader[] = "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";

std::string Route(const std::string& iface, const std::string& dest, const std::string& flags, int metric,
                  const std::string& mask) {
  return iface + "\t" + dest + "\t0101A8C0\t" + flags + "\t0\t0\t" + std::to_string(metric) + "\t" + mask +
         "\t0\t0\t0\n";
}

const std::vector<NetInterface> kMachine = {
    {"lo", true, true, {{"127.0.0.1", false}, {"::1", true}}},
    {"eth0", true, false, {{"fe80::1234", true}, {"10.0.0.5", false}}},
    {"wlan0", true, false, {{"192.168.1.20", false}}},
    {"docker0", false, false, {{"172.17.0.1", false}}},
};

}  // namespace

TEST(PhoneAddress, TheDefaultRoutesInterfacesByMetric) {
  const std::string table = kHeader + Route("wlan0", "0000A8C0", "0001", 0, "00FFFFFF") +  // the subnet
                            Route("eth0", "00000000", "0003", 100, "00000000") +
                            Route("wlan0", "00000000", "0003", 600, "00000000") +
                            Route("tun0", "00000000", "0002", 1, "00000000") +    // not up
                            Route("wwan0", "00000000", "0003", 50, "FFFFFFFF") +  // not a default route
                            "garbage line\n" + Route("ppp0", "zz", "0003", 1, "00000000");
  EXPECT_EQ(DefaultRouteInterfaces(table), (std::vector<std::string>{"eth0", "wlan0"}));
  EXPECT_EQ(ChooseAddress(table, kMachine), "10.0.0.5");  // IPv4, though eth0 lists its IPv6 address first
  EXPECT_TRUE(DefaultRouteInterfaces("").empty());
  EXPECT_TRUE(DefaultRouteInterfaces(kHeader).empty());
}

TEST(PhoneAddress, FallsBackInOrderAndNeverOffersAnyOrLoopback) {
  // The lower-metric route's interface is down: the next default route.
  std::vector<NetInterface> machine = kMachine;
  machine[1].up = false;
  const std::string both = kHeader + Route("eth0", "00000000", "0003", 100, "00000000") +
                           Route("wlan0", "00000000", "0003", 600, "00000000");
  EXPECT_EQ(ChooseAddress(both, machine), "192.168.1.20");
  // No default route (a workshop network without a gateway): the first usable interface.
  EXPECT_EQ(ChooseAddress(kHeader, kMachine), "10.0.0.5");
  // A default route over an interface without IPv4 falls back as well.
  const std::string v6only = kHeader + Route("v6", "00000000", "0003", 1, "00000000");
  std::vector<NetInterface> withV6 = kMachine;
  withV6.insert(withV6.begin(), {"v6", true, false, {{"2001:db8::1", true}}});
  EXPECT_EQ(ChooseAddress(v6only, withV6), "10.0.0.5");
  // Only the loopback, or only unspecified addresses: nothing.
  EXPECT_FALSE(ChooseAddress(both, {kMachine[0]}));
  EXPECT_FALSE(ChooseAddress(both, {{"eth0", true, false, {{"0.0.0.0", false}, {"::", true}}}}));
  EXPECT_FALSE(ChooseAddress(both, {}));
}

TEST(PhoneAddress, OnlyTheMachinesOwnAddressesMayBeGiven) {
  EXPECT_TRUE(IsOwnAddress("192.168.1.20", kMachine));
  EXPECT_TRUE(IsOwnAddress("127.0.0.1", kMachine));
  EXPECT_TRUE(IsOwnAddress("fe80::1234", kMachine));
  EXPECT_FALSE(IsOwnAddress("192.168.1.21", kMachine));
  EXPECT_FALSE(IsOwnAddress("", kMachine));
  for (const char* any : {"0.0.0.0", "::", "0:0:0:0:0:0:0:0", "::0"}) {
    EXPECT_TRUE(IsUnspecified(any)) << any;
    EXPECT_FALSE(IsOwnAddress(any, {{"x", true, false, {{any, true}}}})) << any;
  }
  EXPECT_FALSE(IsUnspecified("::1"));
  EXPECT_FALSE(IsUnspecified("10.0.0.0"));
}

TEST(PhoneAddress, TheChoiceOffersTheAddressesOfInterfacesThatAreUpTheLoopbacksLast) {
  std::vector<NetInterface> machine = kMachine;
  machine.push_back({"eth1", true, false, {{"2001:db8::7", true}, {"0.0.0.0", false}, {"febf::1", true}}});
  const std::vector<AddressChoice> want = {{"10.0.0.5", "eth0", false},
                                           {"192.168.1.20", "wlan0", false},
                                           {"2001:db8::7", "eth1", false},
                                           {"127.0.0.1", "lo", true},
                                           {"::1", "lo", true}};
  EXPECT_EQ(AddressChoices(machine), want);  // no link-local, nothing of docker0 (down), no 0.0.0.0
  EXPECT_TRUE(AddressChoices({}).empty());
}
