// Opening, closing and configuring the port on a pseudo-terminal.
#include <gtest/gtest.h>
#include <termios.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "CPort.h"
#include "LineTermios.h"
#include "support/PtyPair.h"

namespace {

using qvtest::PtyPair;

// Records the open/close handlers in the order they run.
struct Journal {
  std::vector<std::string> lines;
  void Attach(TCustomComPort& port) {
    port.OnBeforeOpen = [this](TCustomComPort*) { lines.push_back("BeforeOpen"); };
    port.OnAfterOpen = [this](TCustomComPort*) { lines.push_back("AfterOpen"); };
    port.OnBeforeClose = [this](TCustomComPort*) { lines.push_back("BeforeClose"); };
    port.OnAfterClose = [this](TCustomComPort*) { lines.push_back("AfterClose"); };
    port.OnCTSChange = [this](TCustomComPort*, bool on) { lines.push_back(on ? "CTS+" : "CTS-"); };
    port.OnDSRChange = [this](TCustomComPort*, bool on) { lines.push_back(on ? "DSR+" : "DSR-"); };
    port.OnRLSDChange = [this](TCustomComPort*, bool on) { lines.push_back(on ? "RLSD+" : "RLSD-"); };
  }
};

std::uint32_t LineRate(const PtyPair& pty) {
  qv::LineState s;
  EXPECT_EQ(qv::ReadLineState(pty.master(), s), 0);
  return qv::LineBaudRate(s);
}

qv::LineState Line(const PtyPair& pty) {
  qv::LineState s;
  EXPECT_EQ(qv::ReadLineState(pty.master(), s), 0);
  return s;
}

class PortOpen : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.ok());
    port.SetPort(pty.slave());
    port.SetBaudRate(br57600);
  }
  void TearDown() override {
    qvtest::ClearHandlers(port);
    port.Close();
  }
  PtyPair pty;
  TComPort port;
};

TEST_F(PortOpen, OpenAndCloseRaiseTheirHandlersInOrder) {
  Journal j;
  j.Attach(port);
  port.SetConnected(true);
  EXPECT_TRUE(port.Connected());
  EXPECT_GE(port.Handle(), 0);
  port.SetConnected(true);  // already open: nothing
  EXPECT_EQ(j.lines, (std::vector<std::string>{"BeforeOpen", "AfterOpen", "CTS-", "DSR-", "RLSD-"}));
  j.lines.clear();
  port.SetConnected(false);
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(port.Handle(), -1);
  EXPECT_EQ(j.lines, (std::vector<std::string>{"CTS-", "DSR-", "RLSD-", "BeforeClose", "AfterClose"}));
  j.lines.clear();
  port.SetConnected(false);
  port.Close();
  EXPECT_TRUE(j.lines.empty());
}

TEST_F(PortOpen, MissingDeviceFailsWithCodeOneAndSystemCodeTwo) {
  Journal j;
  j.Attach(port);
  for (const char* name : {"/dev/quorvel-no-such-port", "COM9999", ""}) {
    port.SetPort(name);
    try {
      port.SetConnected(true);
      FAIL() << "opened " << name;
    } catch (const EComPort& e) {
      EXPECT_EQ(e.Code(), 1);
      EXPECT_EQ(e.WinCode(), 2);
      EXPECT_STREQ(e.what(), "Unable to open com port (win error code: 2)");
    }
    EXPECT_FALSE(port.Connected());
  }
  EXPECT_EQ(j.lines, (std::vector<std::string>{"BeforeOpen", "BeforeOpen", "BeforeOpen"}));
}

TEST_F(PortOpen, NonTerminalIsRefused) {
  port.SetPort("/dev/null");
  try {
    port.Open();
    FAIL();
  } catch (const EComPort& e) {
    EXPECT_EQ(e.Code(), 1);
    EXPECT_EQ(e.WinCode(), ENOTTY);
  }
  EXPECT_FALSE(port.Connected());
}

TEST_F(PortOpen, SecondPortOnTheSameDeviceIsBusy) {
  port.Open();
  TComPort other;
  other.SetPort(pty.slave());
  try {
    other.Open();
    FAIL();
  } catch (const EComPort& e) {
    EXPECT_EQ(e.Code(), 1);
    EXPECT_EQ(e.WinCode(), EBUSY);
  }
  EXPECT_FALSE(other.Connected());
  port.Close();
  other.Open();  // free again
  EXPECT_TRUE(other.Connected());
}

TEST_F(PortOpen, SettingsReachAnOpenPortAtOnceAndAClosedOneAtOpen) {
  port.Open();
  EXPECT_EQ(LineRate(pty), 57600u);
  port.SetBaudRate(br115200);
  EXPECT_EQ(LineRate(pty), 115200u);
  port.SetBaudRate(brCustom);
  port.SetCustomBaudRate(250000);
  EXPECT_EQ(LineRate(pty), 250000u);
  port.SetDataBits(dbSeven);
  port.Parity().SetBits(prEven);
  port.SetStopBits(sbTwoStopBits);
  // A pseudo-terminal keeps 8 data bits and no parity whatever it is told;
  // the odd-parity and stop-bit flags are what it takes over.
  port.Parity().SetBits(prOdd);
  qv::LineState s = Line(pty);
  EXPECT_EQ(s.c_cflag & (PARODD | CSTOPB), static_cast<std::uint32_t>(PARODD | CSTOPB));
  port.FlowControl().SetFlowControl(fcSoftware);
  EXPECT_EQ(Line(pty).c_iflag & (IXON | IXOFF), static_cast<std::uint32_t>(IXON | IXOFF));
  port.FlowControl().SetFlowControl(fcHardware);
  s = Line(pty);
  EXPECT_EQ(s.c_iflag & (IXON | IXOFF), 0u);
  EXPECT_NE(s.c_cflag & CRTSCTS, 0u);
  EXPECT_EQ(s.c_lflag & (ICANON | ECHO), 0u);
  port.Close();

  port.SetBaudRate(br38400);
  port.FlowControl().SetFlowControl(fcNone);
  EXPECT_EQ(LineRate(pty), 250000u);  // stored only
  port.Open();
  EXPECT_EQ(LineRate(pty), 38400u);
  EXPECT_EQ(Line(pty).c_cflag & CRTSCTS, 0u);
}

TEST_F(PortOpen, RefusedLineSettingsLeaveTheValuesStoredAndThePortOpen) {
  port.Open();
  port.SetBaudRate(brCustom);
  port.SetCustomBaudRate(9600);
  try {
    port.SetCustomBaudRate(0);
    FAIL();
  } catch (const EComPort& e) {
    EXPECT_EQ(e.Code(), 7);
    EXPECT_EQ(e.WinCode(), EINVAL);
  }
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(port.CustomBaudRate(), 0);
  EXPECT_EQ(LineRate(pty), 9600u);
  port.Close();
  // The same record makes Open fail and leave the port closed.
  EXPECT_THROW(port.Open(), EComPort);
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(port.Handle(), -1);
}

// Counts the applies that pass the gate by watching the device.
class CountingPort : public TComPort {
 public:
  int all = 0;
  void ApplyAllSettings() override {
    ++all;
    TComPort::ApplyAllSettings();
  }
};

TEST(PortUpdate, BracketAppliesOnceAtTheLastEndUpdate) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  CountingPort port;
  port.SetPort(pty.slave());
  port.Open();
  EXPECT_EQ(port.all, 1);
  port.BeginUpdate();
  port.BeginUpdate();
  port.SetBaudRate(br19200);
  port.SetStopBits(sbTwoStopBits);
  EXPECT_EQ(LineRate(pty), 9600u);
  port.EndUpdate();
  EXPECT_EQ(LineRate(pty), 9600u);
  EXPECT_EQ(port.all, 1);
  port.EndUpdate();
  EXPECT_EQ(port.all, 2);
  EXPECT_EQ(LineRate(pty), 19200u);
  EXPECT_NE(Line(pty).c_cflag & CSTOPB, 0u);
  port.EndUpdate();  // at zero: nothing
  EXPECT_EQ(port.all, 2);
}

TEST_F(PortOpen, ChangingThePortReopensUnderTheNewName) {
  PtyPair second;
  ASSERT_TRUE(second.ok());
  Journal j;
  j.Attach(port);
  port.SetPort(second.slave());  // closed: nothing opens
  EXPECT_FALSE(port.Connected());
  EXPECT_TRUE(j.lines.empty());
  port.SetPort(pty.slave());
  port.Open();
  j.lines.clear();
  port.SetPort(pty.slave());  // the same name: nothing
  EXPECT_TRUE(j.lines.empty());
  port.SetPort(second.slave());
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(j.lines, (std::vector<std::string>{"CTS-", "DSR-", "RLSD-", "BeforeClose", "AfterClose", "BeforeOpen",
                                               "AfterOpen", "CTS-", "DSR-", "RLSD-"}));
  TComPort first;
  first.SetPort(pty.slave());
  first.Open();  // released by the reopening
  EXPECT_EQ(port.WriteString("x"), 1);
  EXPECT_TRUE(qvtest::WaitFor([&] { return second.ReadAvailable() == "x"; }));
}

TEST_F(PortOpen, SyncMethodCannotChangeWhileOpen) {
  port.SetSyncMethod(smNone);
  EXPECT_EQ(port.SyncMethod(), smNone);
  port.Open();
  port.SetSyncMethod(smNone);
  try {
    port.SetSyncMethod(smWindowSync);
    FAIL();
  } catch (const EComPort& e) {
    EXPECT_EQ(e.Code(), 14);
    EXPECT_EQ(e.WinCode(), -1);
    EXPECT_STREQ(e.what(), "Cannot set property while connected");
  }
  EXPECT_EQ(port.SyncMethod(), smNone);
}

TEST_F(PortOpen, NegativeBufferSizeIsRefusedWhileOpen) {
  port.Buffer().SetInputSize(-2);  // closed: stored
  EXPECT_THROW(port.Open(), EComPort);
  EXPECT_FALSE(port.Connected());
  port.Buffer().SetInputSize(2048);
  port.Open();
  try {
    port.Buffer().SetOutputSize(-1);
    FAIL();
  } catch (const EComPort& e) {
    EXPECT_EQ(e.Code(), 9);
  }
  EXPECT_TRUE(port.Connected());
}

TEST_F(PortOpen, ReentrantOpenAndCloseFromHandlersActOnce) {
  int opens = 0;
  int closes = 0;
  port.OnBeforeOpen = [&](TCustomComPort* p) { p->Open(); };
  port.OnAfterOpen = [&](TCustomComPort* p) {
    ++opens;
    p->Open();
  };
  port.OnBeforeClose = [&](TCustomComPort* p) { p->Close(); };
  port.OnAfterClose = [&](TCustomComPort*) { ++closes; };
  const int fds = qvtest::CountFds();
  port.Open();
  EXPECT_EQ(qvtest::CountFds(), fds + 2);  // the device and the event thread's wake-up
  port.Close();
  EXPECT_EQ(opens, 1);
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(qvtest::CountFds(), fds);
}

TEST_F(PortOpen, LoadingDefersConnectingUntilLoaded) {
  std::vector<std::string> reported;
  const auto report = [&](const std::exception& e) { reported.push_back(e.what()); };
  port.SetErrorReporter(report);
  port.SetLoading(true);
  port.SetConnected(true);
  EXPECT_FALSE(port.Connected());
  port.Loaded();
  EXPECT_TRUE(port.Connected());
  port.Close();

  TComPort broken;
  broken.SetErrorReporter(report);
  broken.SetLoading(true);
  broken.SetPort("/dev/quorvel-no-such-port");
  broken.SetConnected(true);
  broken.Loaded();  // the failure goes to the report, not to the caller
  EXPECT_FALSE(broken.Connected());
  EXPECT_EQ(reported, std::vector<std::string>{"Unable to open com port (win error code: 2)"});
}

TEST_F(PortOpen, PortSetupGoesThroughTheInstalledHandler) {
  port.ShowPortSetup();  // none installed: nothing
  TCustomComPort* shown = nullptr;
  port.SetPortSetupHandler([&](TCustomComPort& p) { shown = &p; });
  port.ShowPortSetup();
  EXPECT_EQ(shown, &port);
}

TEST_F(PortOpen, DestroyingAnOpenPortClosesIt) {
  const int fds = qvtest::CountFds();
  const int threads = qvtest::CountThreads();
  bool closed = false;
  {
    TComPort local;
    local.SetPort(pty.slave());
    local.OnAfterClose = [&](TCustomComPort*) { closed = true; };
    local.Open();
    EXPECT_GT(qvtest::CountThreads(), threads);
  }
  EXPECT_TRUE(closed);
  EXPECT_EQ(qvtest::CountFds(), fds);
  EXPECT_EQ(qvtest::CountThreads(), threads);
}

TEST_F(PortOpen, NoEventsMeansNoThread) {
  port.SetEvents({});
  const int threads = qvtest::CountThreads();
  int events = 0;
  port.OnRxChar = [&](TCustomComPort*, int) { ++events; };
  port.Open();
  EXPECT_EQ(qvtest::CountThreads(), threads);
  ASSERT_TRUE(pty.Write("abc"));
  ASSERT_TRUE(qvtest::WaitFor([&] { return port.InputCount() == 3; }));
  QCoreApplication::processEvents();
  EXPECT_EQ(events, 0);
  std::string s;
  EXPECT_EQ(port.ReadString(s, 10), 3);
  EXPECT_EQ(s, "abc");
}

// A real adapter, when the machine has one: QUORVEL_TEST_SERIAL_PORT names it.
TEST(PortAdapter, OpensConfiguresAndReadsModemLines) {
  const char* name = std::getenv("QUORVEL_TEST_SERIAL_PORT");
  if (!name || !*name) GTEST_SKIP() << "no serial adapter named in QUORVEL_TEST_SERIAL_PORT";
  TComPort port;
  port.SetPort(name);
  port.SetBaudRate(br57600);
  port.Open();
  qv::LineState s;
  ASSERT_EQ(qv::ReadLineState(port.Handle(), s), 0);
  EXPECT_EQ(qv::LineBaudRate(s), 57600u);
  port.SetBaudRate(br115200);
  ASSERT_EQ(qv::ReadLineState(port.Handle(), s), 0);
  EXPECT_EQ(qv::LineBaudRate(s), 115200u);
  EXPECT_NO_THROW((void)port.LineSignals());
  EXPECT_NO_THROW((void)port.LineErrors());
  EXPECT_EQ(port.WriteString("a"), 1);
  port.Close();
}

}  // namespace
