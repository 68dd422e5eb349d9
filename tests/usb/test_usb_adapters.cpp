#include <gtest/gtest.h>

#include "DeviceIdentity.h"
#include "UsbAdapters.h"
#include "support/FakeUsbTree.h"

namespace {

namespace fs = std::filesystem;
using namespace qv::usb;
using qvtest::FakeUsbTree;

class UsbAdaptersTest : public ::testing::Test {
 protected:
  qvtest::ScratchDir dir;
  FakeUsbTree tree{dir.path()};
};

TEST_F(UsbAdaptersTest, ListsEachAdapterWithItsStringsSerialAndByIdLink) {
  tree.Add(qvtest::Ftdi());
  tree.Add(qvtest::Ch340());
  tree.Add(qvtest::Cp2102());
  tree.Add(qvtest::CdcAcm());
  tree.AddUart("ttyS0");
  const auto list = ListUsbAdapters(tree.Roots());
  ASSERT_EQ(list.size(), 4u);  // the UART is no USB adapter
  EXPECT_EQ(list[0].tty, "ttyACM0");
  EXPECT_EQ(list[1].tty, "ttyUSB0");
  EXPECT_EQ(list[2].tty, "ttyUSB1");
  EXPECT_EQ(list[3].tty, "ttyUSB2");

  const TUsbAdapter& ftdi = list[1];
  EXPECT_EQ(ftdi.vendorId, "0403");
  EXPECT_EQ(ftdi.productId, "6001");
  EXPECT_EQ(ftdi.serial, "A50285BI");
  EXPECT_EQ(ftdi.node, tree.Dev("ttyUSB0"));
  EXPECT_EQ(ftdi.byId, tree.ById("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"));
  EXPECT_EQ(list[0].byId, tree.ById(qvtest::CdcAcm().byIdName));  // cdc-acm: the tty hangs off the interface
  EXPECT_EQ(list[2].serial, "");                                  // the CH340 has no serial number
}

TEST_F(UsbAdaptersTest, TitlesUseTheDeviceStringsOrKnownNames) {
  tree.Add(qvtest::Ftdi());
  tree.Add(qvtest::Ch340());
  tree.Add(qvtest::Cp2102());
  tree.Add(qvtest::CdcAcm());
  const auto list = ListUsbAdapters(tree.Roots());
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(AdapterTitle(list[1]), "FTDI FT232R USB UART");
  EXPECT_EQ(AdapterTitle(list[2]), "QinHeng CH340");  // no maker string, a generic product
  EXPECT_EQ(AdapterTitle(list[3]), "Silicon Labs CP2102 USB to UART Bridge Controller");
  EXPECT_EQ(AdapterTitle(list[0]), "Arduino (www.arduino.cc) Arduino Uno");

  TUsbAdapter bare;
  bare.vendorId = "abcd";
  bare.productId = "0001";
  EXPECT_EQ(AdapterTitle(bare), "USB abcd:0001");
  bare.product = "Widget Serial";
  EXPECT_EQ(AdapterTitle(bare), "Widget Serial");
  bare.manufacturer = "Widget";
  EXPECT_EQ(AdapterTitle(bare), "Widget Serial");  // the maker is not said twice
}

TEST_F(UsbAdaptersTest, IgnoresByIdLinksWhoseTargetIsGoneAndTtysWithoutNode) {
  auto ftdi = qvtest::Ftdi();
  ftdi.byIdName.clear();
  tree.Add(ftdi);
  tree.Link("usb-FTDI_FT232R_USB_UART_OLD-if00-port0", "../../ttyUSB9");  // gone
  tree.Link("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "../../ttyUSB0");
  auto acm = qvtest::CdcAcm();
  tree.Add(acm);
  fs::remove(tree.Dev("ttyACM0"));  // sysfs still has it, the node has gone
  const auto list = ListUsbAdapters(tree.Roots());
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].byId, tree.ById("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"));
  EXPECT_TRUE(ByIdLinkTo(tree.Dev("ttyUSB9"), tree.Roots()).empty());
}

TEST_F(UsbAdaptersTest, NoSysfsOrDevIsAnEmptyList) {
  EXPECT_TRUE(ListUsbAdapters({dir / "none", dir / "none"}).empty());
  EXPECT_FALSE(UsbAdapterForTty("ttyUSB0", tree.Roots()).has_value());
}

TEST_F(UsbAdaptersTest, FindsAdaptersThatHaveNoTty) {
  tree.Add(qvtest::Ch340());
  auto claimed = qvtest::Ch340();
  claimed.tty.clear();
  claimed.usbPort = "1-5";
  tree.Add(claimed);
  const auto found = UsbDevicesWithoutTty("1a86", "7523", tree.Roots());
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].filename(), "1-5");
  EXPECT_TRUE(UsbDevicesWithoutTty("0403", "6001", tree.Roots()).empty());
}

// ---- identity --------------------------------------------------------------

TEST_F(UsbAdaptersTest, IdentityOfANodeIsItsUsbDeviceAndByIdLink) {
  tree.Add(qvtest::Ftdi());
  const TDeviceIdentity id = TakeIdentity(tree.Dev("ttyUSB0").string(), tree.Roots());
  EXPECT_EQ(id.byId, tree.ById(qvtest::Ftdi().byIdName).string());
  EXPECT_EQ(id.vendorId, "0403");
  EXPECT_EQ(id.productId, "6001");
  EXPECT_EQ(id.serial, "A50285BI");
  EXPECT_TRUE(id.Known());
  // The by-id name itself gives the same identity.
  EXPECT_EQ(TakeIdentity(id.byId, tree.Roots()), id);
}

TEST_F(UsbAdaptersTest, AnythingElseHasNoIdentity) {
  tree.AddUart("ttyS0");
  EXPECT_FALSE(TakeIdentity(tree.Dev("ttyS0").string(), tree.Roots()).Known());
  EXPECT_FALSE(TakeIdentity((dir / "missing").string(), tree.Roots()).Known());
}

TEST_F(UsbAdaptersTest, FindsTheSameAdapterUnderAnotherNodeButNoOtherOne) {
  tree.Add(qvtest::Ftdi());
  const TDeviceIdentity id = TakeIdentity(tree.Dev("ttyUSB0").string(), tree.Roots());
  ASSERT_EQ(FindDevice(id, tree.Roots()), id.byId);

  // Unplugged: node, link and sysfs folders go.
  fs::remove_all(dir / "sys");
  fs::remove_all(dir / "dev");
  FakeUsbTree again(dir.path());
  EXPECT_FALSE(FindDevice(id, again.Roots()).has_value());

  // Another FTDI adapter of the same type, in the same socket, as ttyUSB0.
  auto other = qvtest::Ftdi();
  other.serial = "B77";
  other.byIdName = "usb-FTDI_FT232R_USB_UART_B77-if00-port0";
  again.Add(other);
  EXPECT_FALSE(FindDevice(id, again.Roots()).has_value());

  // The first one back in another socket, as ttyUSB3, before udev has made its link.
  auto back = qvtest::Ftdi();
  back.tty = "ttyUSB3";
  back.usbPort = "2-1";
  back.byIdName.clear();
  again.Add(back);
  EXPECT_EQ(FindDevice(id, again.Roots()), again.Dev("ttyUSB3").string());
  // And with its link.
  again.Link(qvtest::Ftdi().byIdName, "../../ttyUSB3");
  EXPECT_EQ(FindDevice(id, again.Roots()), id.byId);
}

TEST_F(UsbAdaptersTest, AByIdLinkLeadingToAnotherSerialNumberIsNotTheDevice) {
  tree.Add(qvtest::Ftdi());
  const TDeviceIdentity id = TakeIdentity(tree.Dev("ttyUSB0").string(), tree.Roots());
  fs::remove(tree.ById(qvtest::Ftdi().byIdName));
  auto other = qvtest::Ftdi();
  other.tty = "ttyUSB1";
  other.usbPort = "1-2";
  other.serial = "B77";
  other.byIdName.clear();
  fs::remove(tree.Dev("ttyUSB0"));
  tree.Add(other);
  tree.Link(qvtest::Ftdi().byIdName, "../../ttyUSB1");
  EXPECT_FALSE(FindDevice(id, tree.Roots()).has_value());
}

TEST_F(UsbAdaptersTest, ALinkToADeviceSysfsDoesNotKnowIsTakenByItsName) {
  qvtest::WriteFile(dir / "pts-7", "");
  tree.Link("usb-Sim_Device_S1-if00", dir / "pts-7");
  const TDeviceIdentity id = TakeIdentity(tree.ById("usb-Sim_Device_S1-if00").string(), tree.Roots());
  EXPECT_TRUE(id.Known());
  EXPECT_TRUE(id.serial.empty());
  EXPECT_EQ(FindDevice(id, tree.Roots()), id.byId);
  fs::remove(dir / "pts-7");
  EXPECT_FALSE(FindDevice(id, tree.Roots()).has_value());
}

}  // namespace
