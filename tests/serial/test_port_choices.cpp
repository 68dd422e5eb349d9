// The port list with USB adapters, against a fake sysfs and /dev: the listed
// ports as before, the adapters' by-id names after them, and a tooltip on
// every entry saying what it is.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "AppPaths.h"
#include "CPortCtl.h"
#include "CPortSetup.h"
#include "EComPort.h"
#include "PortChoices.h"
#include "PortList.h"
#include "support/FakeUsbTree.h"

namespace {

namespace fs = std::filesystem;
using qvtest::FakeUsbTree;

QStringList Items(const QComboBox& c) {
  QStringList out;
  for (int i = 0; i < c.count(); ++i) out << c.itemText(i);
  return out;
}

class PortChoicesTest : public ::testing::Test {
 protected:
  qvtest::ScratchDir dir;
  FakeUsbTree tree{dir.path()};
  TPortListSources sources{dir / "sys" / "class" / "tty", dir / "dev", dir / "ports"};

  void AddAll() {
    tree.Add(qvtest::Ftdi());
    tree.Add(qvtest::Ch340());
    tree.Add(qvtest::Cp2102());
    tree.Add(qvtest::CdcAcm());
    tree.AddUart("ttyS0");
    tree.Link("usb-FTDI_FT232R_USB_UART_GONE-if00-port0", "../../ttyUSB7");  // its adapter was pulled
  }
  std::string Dev(const std::string& name) const { return tree.Dev(name).string(); }
  std::string ById(const qvtest::FakeAdapter& a) const { return tree.ById(a.byIdName).string(); }
};

TEST_F(PortChoicesTest, ListedPortsKeepTheirTextsAndOrderAndTheByIdNamesFollow) {
  AddAll();
  std::vector<std::string> listed;
  ListSerialPorts(listed, sources);
  std::vector<std::string> choices{"stale"};
  qv::ListPortChoices(choices, sources, tree.Roots());
  ASSERT_GE(choices.size(), listed.size());
  EXPECT_EQ(std::vector<std::string>(choices.begin(), choices.begin() + static_cast<long>(listed.size())), listed);
  EXPECT_EQ(listed,
            (std::vector<std::string>{Dev("ttyACM0"), Dev("ttyS0"), Dev("ttyUSB0"), Dev("ttyUSB1"), Dev("ttyUSB2")}));
  // The by-id names, sorted without regard to case; the dead link is not among them.
  const std::vector<std::string> stable(choices.begin() + static_cast<long>(listed.size()), choices.end());
  EXPECT_EQ(stable, (std::vector<std::string>{ById(qvtest::Ch340()), ById(qvtest::CdcAcm()), ById(qvtest::Ftdi()),
                                              ById(qvtest::Cp2102())}));
}

TEST_F(PortChoicesTest, WithoutAdaptersTheListIsThePortListAlone) {
  tree.AddUart("ttyS0");
  std::vector<std::string> choices;
  qv::ListPortChoices(choices, sources, tree.Roots());
  EXPECT_EQ(choices, std::vector<std::string>{Dev("ttyS0")});
}

TEST_F(PortChoicesTest, DescribesAdaptersByNodeAndByIdOtherPortsAndLinks) {
  AddAll();
  const auto roots = tree.Roots();
  const std::string ftdi = "FTDI FT232R USB UART, serial number A50285BI, " + Dev("ttyUSB0");
  EXPECT_EQ(qv::DescribePort(Dev("ttyUSB0"), roots), ftdi);
  EXPECT_EQ(qv::DescribePort(ById(qvtest::Ftdi()), roots), ftdi);
  EXPECT_EQ(qv::DescribePort(ById(qvtest::Ch340()), roots), "QinHeng CH340, " + Dev("ttyUSB1"));
  EXPECT_EQ(qv::DescribePort(Dev("ttyUSB2"), roots),
            "Silicon Labs CP2102 USB to UART Bridge Controller, serial number 0001, " + Dev("ttyUSB2"));
  EXPECT_EQ(qv::DescribePort(Dev("ttyACM0"), roots),
            "Arduino (www.arduino.cc) Arduino Uno, serial number 7543331333335190A1D1, " + Dev("ttyACM0"));
  EXPECT_EQ(qv::DescribePort(Dev("ttyS0"), roots), "Serial port " + Dev("ttyS0"));
  qvtest::WriteFile(dir / "pts-3", "");
  fs::create_symlink(dir / "pts-3", dir / "sim");
  EXPECT_EQ(qv::DescribePort((dir / "sim").string(), roots), "Link to " + (dir / "pts-3").string());
  EXPECT_EQ(qv::DescribePort(tree.ById("usb-FTDI_FT232R_USB_UART_GONE-if00-port0").string(), roots), "");
}

// The combo box of the setup dialog, fed from the fake tree.
class PortComboChoices : public PortChoicesTest {
 protected:
  void SetUp() override { AddAll(); }
  qv::PortChoiceSource Ports() {
    return {[this](std::vector<std::string>& items) { qv::ListPortChoices(items, sources, tree.Roots()); },
            [this](const std::string& n) { return qv::DescribePort(n, tree.Roots()); }};
  }
};

TEST_F(PortComboChoices, EveryEntrySaysWhatItIsInItsTooltipAndShowsItsName) {
  TComComboBox c(nullptr, Ports());
  c.SetComProperty(cpPort);
  ASSERT_EQ(c.count(), 9);
  EXPECT_EQ(c.itemText(2).toStdString(), Dev("ttyUSB0"));
  EXPECT_EQ(c.itemData(2, Qt::ToolTipRole).toString().toStdString(),
            "FTDI FT232R USB UART, serial number A50285BI, " + Dev("ttyUSB0"));
  EXPECT_EQ(c.itemText(5).toStdString(), ById(qvtest::Ch340()));
  EXPECT_EQ(c.itemData(5, Qt::ToolTipRole).toString().toStdString(), "QinHeng CH340, " + Dev("ttyUSB1"));
  for (int i = 0; i < c.count(); ++i) EXPECT_FALSE(c.itemData(i, Qt::ToolTipRole).toString().isEmpty()) << i;
}

TEST_F(PortComboChoices, AStoredByIdNameIsSelectedAsItselfAndANodeAsItself) {
  TComPort port;
  TComComboBox c(nullptr, Ports());
  c.SetComProperty(cpPort);
  port.SetPort(ById(qvtest::Ftdi()));
  c.SetComPort(&port);
  EXPECT_EQ(c.Text().toStdString(), ById(qvtest::Ftdi()));
  EXPECT_EQ(c.Selector().PendingPort(), ById(qvtest::Ftdi()));
  TComPort byNode;
  byNode.SetPort(Dev("ttyUSB0"));
  TComComboBox d(nullptr, Ports());
  d.SetComProperty(cpPort);
  d.SetComPort(&byNode);
  EXPECT_EQ(d.Text().toStdString(), Dev("ttyUSB0"));
}

// Nothing handed in: a list shows what the system offers, here with a
// simulator's announced port among it, each entry described by DescribePort().
TEST(PortChoiceDefaults, ListsGivenNoSourceShowAndDescribeTheSystemsPorts) {
  qvtest::ScratchDir dir;
  qvtest::WriteFile(dir / "pts-9", "");
  const fs::path announced = qv::PortAnnouncementDir() / "quorvel-sim-defaults";
  fs::create_directories(announced.parent_path());
  fs::create_symlink(dir / "pts-9", announced);
  struct Unannounce {
    fs::path link;
    ~Unannounce() {
      std::error_code ec;
      fs::remove(link, ec);
    }
  } unannounce{announced};
  std::vector<std::string> system;
  try {
    qv::ListPortChoices(system);
  } catch (const EComPort& e) {
    GTEST_SKIP() << "the system lists no ports here: " << e.what();
  }
  ASSERT_NE(std::find(system.begin(), system.end(), announced.string()), system.end());
  QStringList expected;
  for (const auto& p : system) expected << QString::fromStdString(p);

  TComComboBox c;
  c.SetComProperty(cpPort);
  EXPECT_EQ(Items(c), expected);
  const int i = c.findText(QString::fromStdString(announced.string()));
  EXPECT_EQ(c.itemData(i, Qt::ToolTipRole).toString().toStdString(), "Link to " + (dir / "pts-9").string());
  TComSetupFrm d;
  EXPECT_EQ(Items(*d.Combo1), expected);
}

}  // namespace
