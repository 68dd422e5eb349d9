// A by-id name is an absolute path and is opened as it is: through the link,
// onto the device it leads to, with the same exclusive use as the node itself.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>

#include <filesystem>

#include "CPort.h"
#include "EComPort.h"
#include "support/PtyPair.h"
#include "support/TestEnv.h"

namespace {

namespace fs = std::filesystem;

class ByIdOpen : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.ok());
    fs::create_directories(link.parent_path());
    fs::create_symlink(pty.slave(), link);
  }
  qvtest::ScratchDir dir;
  qvtest::PtyPair pty;
  fs::path link = dir / "dev" / "serial" / "by-id" / "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
};

void ExpectBusy(TComPort& port) {
  try {
    port.Open();
    ADD_FAILURE() << "opened a device that is in use";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.Code(), 1);
    EXPECT_EQ(e.WinCode(), EBUSY);
  }
  EXPECT_FALSE(port.Connected());
}

TEST_F(ByIdOpen, OpensTheDeviceBehindTheLinkAndHoldsItExclusively) {
  TComPort byId;
  byId.SetPort(link.string());
  byId.Open();
  ASSERT_TRUE(byId.Connected());
  EXPECT_EQ(byId.WriteString("b"), 1);
  EXPECT_TRUE(qvtest::WaitFor([&] { return pty.ReadAvailable() == "b"; }));

  // The lock is on the device, whichever name it was opened by.
  TComPort byNode;
  byNode.SetPort(pty.slave());
  ExpectBusy(byNode);
  const int raw = open(pty.slave().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(raw, 0);
  EXPECT_EQ(flock(raw, LOCK_EX | LOCK_NB), -1);
  EXPECT_EQ(errno, EWOULDBLOCK);
  close(raw);

  byId.Close();
  byNode.Open();
  EXPECT_TRUE(byNode.Connected());
  ExpectBusy(byId);  // and the other way round
  byNode.Close();
}

}  // namespace
