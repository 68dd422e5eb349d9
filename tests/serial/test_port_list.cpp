#include <gtest/gtest.h>
#include <algorithm>

#include "EComPort.h"
#include "PortList.h"
#include "support/TestEnv.h"

namespace {

namespace fs = std::filesystem;
using qvtest::ScratchDir;
using qvtest::WriteFile;

// A sysfs tty class folder and a /dev folder made of plain files and links.
class PortListTest : public ::testing::Test {
 protected:
  ScratchDir dir;
  TPortListSources src{dir / "sys", dir / "dev", dir / "ports"};

  void SetUp() override {
    fs::create_directories(dir / "devices" / "usb");
    fs::create_directories(src.sysfsRoot);
    fs::create_directories(src.devRoot);
  }
  void AddTty(const std::string& name, bool withDevice, const char* type = nullptr, bool withNode = true) {
    auto d = src.sysfsRoot / name;
    fs::create_directories(d);
    if (withDevice) fs::create_directory_symlink(dir / "devices" / "usb", d / "device");
    if (type) WriteFile(d / "type", std::string(type) + "\n");
    if (withNode) WriteFile(src.devRoot / name, "");
  }
  std::string Dev(const std::string& name) const { return (src.devRoot / name).string(); }
};

TEST_F(PortListTest, TakesDevicesWithADeviceLinkAndKnownUartsSortedWithoutCase) {
  AddTty("ttyUSB0", true);
  AddTty("ttyACM0", true);
  AddTty("ttyS0", true, "4");
  AddTty("ttyS1", true, "0");               // a UART slot with nothing behind it
  AddTty("ttyS2", true);                    // no type to read: left out as well
  AddTty("tty1", false);                    // a virtual console
  AddTty("ttyUSB1", true, nullptr, false);  // no device node to open
  AddTty("ttyS10", true, "4");
  std::vector<std::string> items{"stale"};
  ListSerialPorts(items, src);
  EXPECT_EQ(items, (std::vector<std::string>{Dev("ttyACM0"), Dev("ttyS0"), Dev("ttyS10"), Dev("ttyUSB0")}));
}

TEST_F(PortListTest, SortsByTextWithoutCaseNotByNumber) {
  for (const char* n : {"COM2", "COM10", "com1", "COM1"}) AddTty(n, true);
  std::vector<std::string> items;
  ListSerialPorts(items, src);
  EXPECT_EQ(items, (std::vector<std::string>{Dev("COM1"), Dev("com1"), Dev("COM10"), Dev("COM2")}));
}

TEST_F(PortListTest, AnEmptyListIsNoError) {
  AddTty("tty1", false);
  std::vector<std::string> items{"stale"};
  ListSerialPorts(items, src);
  EXPECT_TRUE(items.empty());
}

TEST_F(PortListTest, AddsTheLiveAnnouncedPortsByTheirFullPath) {
  AddTty("ttyUSB0", true);
  fs::create_directories(src.announcements);
  WriteFile(dir / "pts-1", "");
  fs::create_symlink(dir / "pts-1", src.announcements / "sim");
  fs::create_symlink(dir / "pts-gone", src.announcements / "ended");
  WriteFile(src.announcements / "not-a-link", "");
  std::vector<std::string> items;
  ListSerialPorts(items, src);
  const std::string sim = (src.announcements / "sim").string();
  // Sorted together with the rest by their full text.
  std::vector<std::string> expected{Dev("ttyUSB0"), sim};
  std::sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) < 0;
  });
  EXPECT_EQ(items, expected);
}

TEST_F(PortListTest, WithoutTheSystemsListItFailsWithRegistryErrorAndItsCode) {
  std::vector<std::string> items{"kept"};
  src.sysfsRoot = dir / "missing";
  try {
    ListSerialPorts(items, src);
    FAIL() << "no error";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.Code(), 23);
    EXPECT_EQ(e.WinCode(), ENOENT);
    EXPECT_STREQ(e.what(), "Registry error (win error code: 2)");
  }
  EXPECT_EQ(items, std::vector<std::string>{"kept"});

  WriteFile(dir / "file", "");
  src.sysfsRoot = dir / "file";
  try {
    ListSerialPorts(items, src);
    FAIL() << "no error";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.Code(), 23);
    EXPECT_EQ(e.WinCode(), ENOTDIR);
  }
}

TEST_F(PortListTest, TheStringListFormUsesTheSystemsFolders) {
  // Whatever this machine offers: every entry is an existing path, in order.
  std::error_code ec;
  if (!fs::is_directory("/sys/class/tty", ec)) GTEST_SKIP() << "no sysfs here";
  QStringList items{"stale"};
  ListSerialPorts(items);
  EXPECT_FALSE(items.contains("stale"));
  for (qsizetype i = 0; i < items.size(); ++i) {
    EXPECT_TRUE(fs::exists(items[i].toStdString())) << items[i].toStdString();
    if (i > 0) {
      EXPECT_LE(items[i - 1].compare(items[i], Qt::CaseInsensitive), 0);
    }
  }
}

}  // namespace
