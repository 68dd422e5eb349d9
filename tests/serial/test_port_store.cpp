#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>
#include <csignal>
#include <cstdlib>
#include <optional>

#include "AppUtils.h"
#include "CPort.h"
#include "LineTermios.h"
#include "PortErrorHelp.h"
#include "Registry.h"
#include "support/TestEnv.h"

namespace {

namespace fs = std::filesystem;
using qvtest::ReadFile;
using qvtest::ScratchDir;
using qvtest::WriteFile;

constexpr const char* kMainLocation = "HKEY_LOCAL_MACHINE\\Software\\Quorvel";
const TStoredGroups kAllGroups{sgBasic, sgFlowControl, sgBuffer, sgTimeouts, sgParity, sgOthers};

// A port that notes each time all settings are applied, and what the line
// speed was after each line-settings apply.
class RecordingPort : public TComPort {
 public:
  RecordingPort() { setObjectName("ComPort1"); }
  int applyAllCalls = 0;
  TBaudRate baudAtApplyAll = brCustom;
  std::vector<std::uint32_t> lineSpeeds;

  void ApplyAllSettings() override {
    ++applyAllCalls;
    baudAtApplyAll = BaudRate();
    TComPort::ApplyAllSettings();
  }
  void ApplyLineSettings() override {
    TComPort::ApplyLineSettings();
    qv::LineState st;
    if (Handle() >= 0 && qv::ReadLineState(Handle(), st) == 0) lineSpeeds.push_back(st.c_ospeed);
  }
};

int ErrorCode(const std::function<void()>& f) {
  try {
    f();
  } catch (const EComPort& e) {
    return e.Code();
  }
  return 0;
}

// Every test gets its own configuration folder, so the registry files start absent.
class PortStoreTest : public ::testing::Test {
 protected:
  ScratchDir dir;
  std::optional<std::string> savedConfig;

  void SetUp() override {
    if (const char* v = std::getenv("XDG_CONFIG_HOME")) savedConfig = v;
    UseConfigHome(dir / "config");
  }
  void TearDown() override {
    if (savedConfig) setenv("XDG_CONFIG_HOME", savedConfig->c_str(), 1);
  }
  static void UseConfigHome(const fs::path& p) { setenv("XDG_CONFIG_HOME", p.c_str(), 1); }
  fs::path RegFile(const char* root) const { return dir / "config" / "quorvel" / (std::string(root) + ".reg"); }
  // HKEY_LOCAL_MACHINE's file as a person wrote it.
  void WriteHklm(const std::string& text) const {
    fs::create_directories(RegFile("HKEY_LOCAL_MACHINE").parent_path());
    WriteFile(RegFile("HKEY_LOCAL_MACHINE"), text);
  }

  // Writes values into a key of HKEY_LOCAL_MACHINE the way another program would.
  static void SeedKey(const std::string& key, const std::vector<std::pair<std::string, std::string>>& texts,
                      const std::vector<std::pair<std::string, int>>& ints = {}) {
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey(key, true));
    for (const auto& [n, v] : texts) reg.WriteString(n, v);
    for (const auto& [n, v] : ints) reg.WriteInteger(n, v);
  }
};

TEST_F(PortStoreTest, FirstRunCreatesTheEmptyKeyLeavesPortEmptyAndRaisesNothing) {
  RecordingPort port;
  port.SetBaudRate(br57600);
  EXPECT_NO_THROW(port.RestoreSettings(skRegistry, kMainLocation));
  EXPECT_EQ(port.Port(), "");
  EXPECT_EQ(port.BaudRate(), br9600);
  EXPECT_EQ(port.applyAllCalls, 1);
  EXPECT_EQ(ReadFile(RegFile("HKEY_LOCAL_MACHINE")),
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_LOCAL_MACHINE\\Software]\n\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Quorvel]\n\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Quorvel\\ComPort1]\n\n");
}

TEST_F(PortStoreTest, StoringTheMainWindowsDefaultsWritesExactlySixTexts) {
  RecordingPort port;
  port.SetPort("COM1");
  port.SetBaudRate(br57600);
  port.SetDataBits(dbEight);
  port.Parity().SetBits(prNone);
  port.SetStopBits(sbOneStopBit);
  port.SaveSettings(skRegistry, kMainLocation);
  EXPECT_EQ(ReadFile(RegFile("HKEY_LOCAL_MACHINE")),
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_LOCAL_MACHINE\\Software]\n\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Quorvel]\n\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Quorvel\\ComPort1]\n"
            "\"Port\"=\"COM1\"\n\"BaudRate\"=\"57600\"\n\"StopBits\"=\"1\"\n"
            "\"DataBits\"=\"8\"\n\"Parity\"=\"None\"\n\"FlowControl\"=\"None\"\n\n");
  EXPECT_FALSE(fs::exists(RegFile("HKEY_CURRENT_USER")));

  RecordingPort back;
  back.SetPort("other");
  back.RestoreSettings(skRegistry, kMainLocation);
  EXPECT_EQ(back.Port(), "COM1");
  EXPECT_EQ(back.BaudRate(), br57600);
}

TEST_F(PortStoreTest, TableTextsMatchWithoutCaseAndUnknownOnesFallBack) {
  SeedKey("Software\\Quorvel\\ComPort1",
          {{"Port", "COM4"},
           {"BaudRate", "custom"},
           {"StopBits", "1.5"},
           {"DataBits", "7"},
           {"Parity", "none"},
           {"FlowControl", "hardware"}},
          {{"CustomBaudRate", 250000}});
  RecordingPort port;
  port.Parity().SetBits(prEven);
  port.RestoreSettings(skRegistry, kMainLocation);
  EXPECT_EQ(port.BaudRate(), brCustom);
  EXPECT_EQ(port.CustomBaudRate(), 250000);
  EXPECT_EQ(port.StopBits(), sbOne5StopBits);
  EXPECT_EQ(port.DataBits(), dbSeven);
  EXPECT_EQ(port.Parity().Bits(), prNone);
  EXPECT_EQ(port.FlowControl().FlowControl(), fcHardware);

  SeedKey("Software\\Quorvel\\ComPort1", {{"BaudRate", "57601"}, {"FlowControl", "Custom"}});
  port.RestoreSettings(skRegistry, kMainLocation);
  EXPECT_EQ(port.BaudRate(), br9600);
  EXPECT_EQ(port.CustomBaudRate(), 250000);                 // read only for brCustom
  EXPECT_EQ(port.FlowControl().FlowControl(), fcHardware);  // "Custom" changes nothing
}

TEST_F(PortStoreTest, AMissingIntegerFailsTheLoadAfterTheValuesBeforeItWereSet) {
  SeedKey("Software\\Quorvel\\ComPort1", {{"Port", "COM7"}, {"BaudRate", "Custom"}, {"StopBits", "2"}});
  RecordingPort port;
  EXPECT_EQ(ErrorCode([&] { port.RestoreSettings(skRegistry, kMainLocation); }), 17);
  EXPECT_EQ(port.Port(), "COM7");
  EXPECT_EQ(port.BaudRate(), brCustom);
  EXPECT_EQ(port.StopBits(), sbOneStopBit);  // after the failure: not read
  EXPECT_EQ(port.applyAllCalls, 1);          // the bracket was closed all the same

  // A value of the wrong type fails likewise.
  SeedKey("Software\\Quorvel\\ComPort2", {}, {{"Port", 3}});
  RecordingPort other;
  other.setObjectName("ComPort2");
  EXPECT_EQ(ErrorCode([&] { other.RestoreSettings(skRegistry, kMainLocation); }), 17);
  EXPECT_EQ(other.Port(), "COM1");
}

TEST_F(PortStoreTest, TheLocationNamesTheRootAndTheKeyAbovePortsName) {
  RecordingPort port;
  port.SaveSettings(skRegistry, "Software\\Quorvel");
  TRegistry reg;
  EXPECT_TRUE(reg.KeyExists("\\Quorvel\\ComPort1"));
  EXPECT_FALSE(reg.KeyExists("\\Software"));
  ASSERT_TRUE(reg.OpenKey("Quorvel\\ComPort1", false));
  EXPECT_EQ(reg.ReadString("Port"), "COM1");

  port.SaveSettings(skRegistry, "hkey_local_machine\\Software\\Quorvel\\");
  port.SaveSettings(skRegistry, "HKEY_CLASSES_ROOT\\Elsewhere");
  // Nothing after the first backslash: the key is the port's name right under the root.
  port.SaveSettings(skRegistry, "HKEY_LOCAL_MACHINE\\");
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_TRUE(reg.KeyExists("\\Software\\Quorvel\\ComPort1"));
  ASSERT_TRUE(reg.OpenKey("\\ComPort1", false));
  EXPECT_EQ(reg.ReadString("Port"), "COM1");
  reg.SetRootKey(HKEY_CURRENT_USER);
  EXPECT_TRUE(reg.KeyExists("\\Elsewhere\\ComPort1"));

  port.SetPort("COM9");
  port.SaveSettings(skRegistry, "HKEY_LOCAL_MACHINE\\");
  RecordingPort back;
  back.RestoreSettings(skRegistry, "HKEY_LOCAL_MACHINE\\");
  EXPECT_EQ(back.Port(), "COM9");
}

TEST_F(PortStoreTest, AHandEditedRegistryFileStillStoresAndKeepsWhatThePersonWrote) {
  const std::string edited =
      "Windows Registry Editor Version 5.00\n\n"
      "; changed by hand: the adapter on the left\n\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Quorvel\\ComPort1]\n"
      "\"Port\"=\"COM3\"\n"
      "; keep the old path\n"
      "\"Old\"=hex(2):43,00,3a,00,00,00\n"
      "\"Tuning\"=hex:00,01,\\\n  02,03\n\n";
  WriteHklm(edited);
  TComPort port;
  port.setObjectName("ComPort1");
  ASSERT_NO_THROW(port.RestoreSettings(skRegistry, kMainLocation));
  EXPECT_EQ(port.Port(), "COM3");
  port.SetPort("COM4");
  ASSERT_NO_THROW(port.SaveSettings(skRegistry, kMainLocation));
  const std::string stored = ReadFile(RegFile("HKEY_LOCAL_MACHINE"));
  EXPECT_NE(stored.find("; changed by hand: the adapter on the left\n"), std::string::npos) << stored;
  EXPECT_NE(stored.find("\"Port\"=\"COM4\"\n; keep the old path\n\"Old\"=hex(2):43,00,3a,00,00,00\n"
                        "\"Tuning\"=hex:00,01,\\\n  02,03\n\"BaudRate\"=\"9600\"\n"),
            std::string::npos)
      << stored;
}

TEST_F(PortStoreTest, AFileThatCannotBeUnderstoodFailsWithTheMessageAndSaysWhereAndWhy) {
  const std::string broken =
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Quorvel\\ComPort1]\n"
      "\"Port\"=\"COM3\"\n"
      "\"BaudRate\"=dword:fffffffff\n";
  WriteHklm(broken);
  TComPort port;
  port.setObjectName("ComPort1");
  try {
    port.SaveSettings(skRegistry, kMainLocation);
    ADD_FAILURE() << "stored into a file that is not understood";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.Code(), 16);
    EXPECT_STREQ(e.what(), "Failed to store settings");
    const std::string where = "line 5 of " + RegFile("HKEY_LOCAL_MACHINE").string();
    EXPECT_NE(e.Cause().find(where), std::string::npos) << e.Cause();
    EXPECT_NE(e.Cause().find("dword"), std::string::npos) << e.Cause();
    EXPECT_EQ(PortErrorDetail(e, "COM3"), e.Cause());
  }
  EXPECT_EQ(ReadFile(RegFile("HKEY_LOCAL_MACHINE")), broken);

  // Loading fails on a missing integer: the message stays, the detail names the value and the file.
  WriteHklm(
      "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Quorvel\\ComPort1]\n"
      "\"BaudRate\"=\"Custom\"\n");
  try {
    port.RestoreSettings(skRegistry, kMainLocation);
    ADD_FAILURE() << "a missing integer did not fail the load";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.Code(), 17);
    EXPECT_STREQ(e.what(), "Failed to load settings");
    EXPECT_NE(e.Cause().find("CustomBaudRate"), std::string::npos) << e.Cause();
    EXPECT_NE(e.Cause().find(RegFile("HKEY_LOCAL_MACHINE").string()), std::string::npos) << e.Cause();
  }
}

TEST_F(PortStoreTest, WithoutAKeyLoadingSetsTheBasicGroupFromEmptyTextsAndStoringFails) {
  auto check = [](const char* location) {
    RecordingPort port;
    port.SetBaudRate(br115200);
    port.SetStopBits(sbTwoStopBits);
    port.SetDataBits(dbFive);
    port.Parity().SetBits(prOdd);
    port.FlowControl().SetFlowControl(fcHardware);
    EXPECT_NO_THROW(port.RestoreSettings(skRegistry, location)) << location;
    EXPECT_EQ(port.Port(), "");
    EXPECT_EQ(port.BaudRate(), br9600);
    EXPECT_EQ(port.StopBits(), sbOneStopBit);
    EXPECT_EQ(port.DataBits(), dbEight);
    EXPECT_EQ(port.Parity().Bits(), prNone);
    EXPECT_EQ(port.FlowControl().FlowControl(), fcHardware);
    EXPECT_EQ(ErrorCode([&] { port.SaveSettings(skRegistry, location); }), 16) << location;
  };
  check("NoBackslash");
  EXPECT_FALSE(fs::exists(dir / "config" / "quorvel"));

  // A regular file where the configuration folder should be: nothing can be created.
  WriteFile(dir / "blocked", "");
  UseConfigHome(dir / "blocked");
  check(kMainLocation);
}

TEST_F(PortStoreTest, CharactersAndBooleansUseTheirTextForms) {
  RecordingPort port;
  port.SetStoredGroups(TStoredGroups{sgOthers, sgParity, sgFlowControl});
  port.SetEventChar(13);
  port.Parity().SetReplaceChar('A');
  port.FlowControl().SetXonChar(' ');
  port.SetDiscardNull(true);
  port.SaveSettings(skRegistry, kMainLocation);
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey("Software\\Quorvel\\ComPort1", false));
  EXPECT_EQ(reg.ReadString("EventChar"), "#13");
  EXPECT_EQ(reg.ReadString("Parity.ReplaceChar"), "A");
  EXPECT_EQ(reg.ReadString("FlowControl.XonChar"), "#32");
  EXPECT_EQ(reg.ReadString("FlowControl.XoffChar"), "#19");
  EXPECT_EQ(reg.ReadString("DiscardNull"), "Yes");
  EXPECT_EQ(reg.ReadString("Parity.Check"), "No");
  EXPECT_FALSE(reg.ValueExists("Port"));
  EXPECT_EQ(reg.GetValueNames(),
            (std::vector<std::string>{"EventChar", "DiscardNull", "Parity.Check", "Parity.Replace",
                                      "Parity.ReplaceChar", "FlowControl.ControlRTS", "FlowControl.ControlDTR",
                                      "FlowControl.DSRSensitivity", "FlowControl.OutCTSFlow", "FlowControl.OutDSRFlow",
                                      "FlowControl.TxContinueOnXoff", "FlowControl.XonXoffIn", "FlowControl.XonXoffOut",
                                      "FlowControl.XoffChar", "FlowControl.XonChar"}));

  reg.WriteString("EventChar", "#");
  reg.WriteString("Parity.ReplaceChar", "#x");
  reg.WriteString("DiscardNull", "yes");
  reg.WriteString("FlowControl.XonChar", "");
  RecordingPort back;
  back.SetStoredGroups(TStoredGroups{sgOthers, sgParity, sgFlowControl});
  back.Parity().SetReplaceChar('Q');
  back.RestoreSettings(skRegistry, kMainLocation);
  EXPECT_EQ(back.EventChar(), '#');
  EXPECT_EQ(back.Parity().ReplaceChar(), 0);
  EXPECT_TRUE(back.DiscardNull());
  EXPECT_EQ(back.FlowControl().XonChar(), 0);
  EXPECT_EQ(back.FlowControl().XoffChar(), 19);
}

// Gives every stored value something other than its default.
void SetEverything(TCustomComPort& p) {
  p.SetStoredGroups(kAllGroups);
  p.SetPort("/dev/ttyUSB3");
  p.SetBaudRate(brCustom);
  p.SetCustomBaudRate(250000);
  p.SetStopBits(sbTwoStopBits);
  p.SetDataBits(dbSeven);
  p.SetEventChar('\n');
  p.SetDiscardNull(true);
  p.Parity().SetBits(prMark);
  p.Parity().SetCheck(true);
  p.Parity().SetReplace(true);
  p.Parity().SetReplaceChar('=');
  p.Buffer().SetOutputSize(2048);
  p.Buffer().SetInputSize(4097);
  p.Timeouts().SetReadInterval(10);
  p.Timeouts().SetReadTotalConstant(-5);
  p.Timeouts().SetReadTotalMultiplier(3);
  p.Timeouts().SetWriteTotalConstant(2000);
  p.Timeouts().SetWriteTotalMultiplier(7);
  auto& f = p.FlowControl();
  f.SetControlRTS(rtsToggle);
  f.SetControlDTR(dtrHandshake);
  f.SetDSRSensitivity(true);
  f.SetOutCTSFlow(true);
  f.SetOutDSRFlow(true);
  f.SetTxContinueOnXoff(true);
  f.SetXonXoffIn(true);
  f.SetXonXoffOut(false);
  f.SetXoffChar(200);
  f.SetXonChar('#');
}

void ExpectSameSettings(const TCustomComPort& a, const TCustomComPort& b) {
  EXPECT_EQ(a.Port(), b.Port());
  EXPECT_EQ(a.BaudRate(), b.BaudRate());
  EXPECT_EQ(a.CustomBaudRate(), b.CustomBaudRate());
  EXPECT_EQ(a.StopBits(), b.StopBits());
  EXPECT_EQ(a.DataBits(), b.DataBits());
  EXPECT_EQ(a.EventChar(), b.EventChar());
  EXPECT_EQ(a.DiscardNull(), b.DiscardNull());
  EXPECT_EQ(a.Parity().Bits(), b.Parity().Bits());
  EXPECT_EQ(a.Parity().Check(), b.Parity().Check());
  EXPECT_EQ(a.Parity().Replace(), b.Parity().Replace());
  EXPECT_EQ(a.Parity().ReplaceChar(), b.Parity().ReplaceChar());
  EXPECT_EQ(a.Buffer().OutputSize(), b.Buffer().OutputSize());
  EXPECT_EQ(a.Buffer().InputSize(), b.Buffer().InputSize());
  EXPECT_EQ(a.Timeouts().ReadInterval(), b.Timeouts().ReadInterval());
  EXPECT_EQ(a.Timeouts().ReadTotalConstant(), b.Timeouts().ReadTotalConstant());
  EXPECT_EQ(a.Timeouts().ReadTotalMultiplier(), b.Timeouts().ReadTotalMultiplier());
  EXPECT_EQ(a.Timeouts().WriteTotalConstant(), b.Timeouts().WriteTotalConstant());
  EXPECT_EQ(a.Timeouts().WriteTotalMultiplier(), b.Timeouts().WriteTotalMultiplier());
  const auto& fa = a.FlowControl();
  const auto& fb = b.FlowControl();
  EXPECT_EQ(fa.ControlRTS(), fb.ControlRTS());
  EXPECT_EQ(fa.ControlDTR(), fb.ControlDTR());
  EXPECT_EQ(fa.DSRSensitivity(), fb.DSRSensitivity());
  EXPECT_EQ(fa.OutCTSFlow(), fb.OutCTSFlow());
  EXPECT_EQ(fa.OutDSRFlow(), fb.OutDSRFlow());
  EXPECT_EQ(fa.TxContinueOnXoff(), fb.TxContinueOnXoff());
  EXPECT_EQ(fa.XonXoffIn(), fb.XonXoffIn());
  EXPECT_EQ(fa.XonXoffOut(), fb.XonXoffOut());
  EXPECT_EQ(fa.XoffChar(), fb.XoffChar());
  EXPECT_EQ(fa.XonChar(), fb.XonChar());
}

TEST_F(PortStoreTest, AllSixGroupsGoToAnIniFileAndComeBackExactly) {
  RecordingPort port;
  SetEverything(port);
  EXPECT_EQ(port.Buffer().InputSize(), 4096);  // odd sizes are made even by the setter
  const auto ini = dir / "settings" / "port.ini";
  port.SaveSettings(skIniFile, ini.string());
  const std::string text = ReadFile(ini);
  EXPECT_NE(text.find("[ComPort1]"), std::string::npos);
  EXPECT_NE(text.find("CustomBaudRate=250000"), std::string::npos);
  EXPECT_NE(text.find("Timeouts.ReadTotalConstant=-5"), std::string::npos);
  EXPECT_NE(text.find("FlowControl.XoffChar=#200"), std::string::npos);

  RecordingPort back;
  back.SetStoredGroups(kAllGroups);
  back.RestoreSettings(skIniFile, ini.string());
  ExpectSameSettings(port, back);
  EXPECT_EQ(back.applyAllCalls, 1);
}

TEST_F(PortStoreTest, AllSixGroupsGoToTheRegistryAndComeBackExactly) {
  RecordingPort port;
  SetEverything(port);
  port.SaveSettings(skRegistry, kMainLocation);
  RecordingPort back;
  back.SetStoredGroups(kAllGroups);
  back.RestoreSettings(skRegistry, kMainLocation);
  ExpectSameSettings(port, back);

  // The registry has no defaults: a missing integer of a later group fails the load.
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey("Software\\Quorvel\\ComPort2", true));
  reg.WriteString("Port", "COM5");
  RecordingPort partial;
  partial.setObjectName("ComPort2");
  partial.SetStoredGroups(kAllGroups);
  EXPECT_EQ(ErrorCode([&] { partial.RestoreSettings(skRegistry, kMainLocation); }), 17);
  EXPECT_EQ(partial.Port(), "COM5");
  EXPECT_EQ(partial.DiscardNull(), false);  // a missing text reads as "No"
}

TEST_F(PortStoreTest, IniKeysThatAreMissingLeaveTheirValuesAlone) {
  RecordingPort port;
  SetEverything(port);
  const auto ini = dir / "port.ini";
  WriteFile(ini, "[ComPort1]\nBaudRate=Custom\nFlowControl.XonChar=#65\n");
  RecordingPort expected;
  SetEverything(expected);
  expected.SetCustomBaudRate(9600);  // the one fixed default
  expected.FlowControl().SetXonChar('A');
  port.RestoreSettings(skIniFile, ini.string());
  ExpectSameSettings(expected, port);
}

TEST_F(PortStoreTest, FlowControlPresetFromTheBasicGroupAndItsFieldsOverrideIt) {
  SeedKey("Software\\Quorvel\\ComPort1", {{"FlowControl", "Software"}});
  RecordingPort port;
  port.RestoreSettings(skRegistry, kMainLocation);
  EXPECT_TRUE(port.FlowControl().XonXoffIn());
  EXPECT_TRUE(port.FlowControl().XonXoffOut());

  RecordingPort stored;
  stored.SetStoredGroups(TStoredGroups{sgBasic, sgFlowControl});
  stored.FlowControl().SetFlowControl(fcHardware);
  stored.FlowControl().SetControlRTS(rtsEnable);  // the preset now reads Custom
  stored.SaveSettings(skRegistry, kMainLocation);
  RecordingPort back;
  back.SetStoredGroups(TStoredGroups{sgBasic, sgFlowControl});
  back.RestoreSettings(skRegistry, kMainLocation);
  EXPECT_EQ(back.FlowControl().ControlRTS(), rtsEnable);
  EXPECT_TRUE(back.FlowControl().OutCTSFlow());
  EXPECT_EQ(back.FlowControl().FlowControl(), fcCustom);
}

TEST_F(PortStoreTest, AFailedStoreKeepsTheValuesWrittenBeforeIt) {
  RecordingPort port;
  port.SetBaudRate(br57600);
  port.SaveSettings(skRegistry, kMainLocation);
  const auto full = fs::file_size(RegFile("HKEY_LOCAL_MACHINE"));
  fs::remove(RegFile("HKEY_LOCAL_MACHINE"));
  // The file may grow to just short of its final size: the last value cannot be written.
  auto old = std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit limit = saved;
  limit.rlim_cur = full - 1;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  int code = ErrorCode([&] { port.SaveSettings(skRegistry, kMainLocation); });
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, old);
  EXPECT_EQ(code, 16);
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey("Software\\Quorvel\\ComPort1", false));
  EXPECT_EQ(reg.GetValueNames(), (std::vector<std::string>{"Port", "BaudRate", "StopBits", "DataBits", "Parity"}));
}

TEST_F(PortStoreTest, AnUnknownStorageKindFails) {
  RecordingPort port;
  EXPECT_EQ(ErrorCode([&] { port.SaveSettings(static_cast<TStorageKind>(2), kMainLocation); }), 16);
  EXPECT_EQ(ErrorCode([&] { port.RestoreSettings(static_cast<TStorageKind>(2), kMainLocation); }), 17);
  EXPECT_EQ(port.applyAllCalls, 1);
}

TEST_F(PortStoreTest, AnOpenPortTakesTheLoadedSettingsOnceAtTheEnd) {
  int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  const std::string slave = ptsname(master);
  SeedKey("Software\\Quorvel\\ComPort1", {{"Port", slave},
                                          {"BaudRate", "115200"},
                                          {"StopBits", "2"},
                                          {"DataBits", "7"},
                                          {"Parity", "Even"},
                                          {"FlowControl", "None"}});
  RecordingPort port;
  port.SetEvents(TComEvents{});
  port.SetPort(slave);
  port.SetBaudRate(br57600);
  port.Open();
  ASSERT_TRUE(port.Connected());
  port.applyAllCalls = 0;
  port.lineSpeeds.clear();

  port.RestoreSettings(skRegistry, kMainLocation);
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(port.applyAllCalls, 1);
  EXPECT_EQ(port.baudAtApplyAll, br115200);
  // Every apply while loading left the line alone; the one at the end set it.
  ASSERT_FALSE(port.lineSpeeds.empty());
  EXPECT_EQ(port.lineSpeeds.back(), 115200u);
  for (std::size_t i = 0; i + 1 < port.lineSpeeds.size(); ++i) EXPECT_EQ(port.lineSpeeds[i], 57600u) << i;
  qv::LineState st;
  ASSERT_EQ(qv::ReadLineState(port.Handle(), st), 0);
  EXPECT_EQ(st.c_ospeed, 115200u);
  port.Close();
  ::close(master);
}

}  // namespace
