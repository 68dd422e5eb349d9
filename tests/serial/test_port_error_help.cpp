#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <cerrno>
#include <cstring>
#include <optional>
#include <stdexcept>

#include "EComPort.h"
#include "support/FakeUsbTree.h"
#include "PortErrorHelp.h"
#include "support/FakeProc.h"
#include "support/TestEnv.h"

namespace {

namespace fs = std::filesystem;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

std::string SystemText(int code) { return std::strerror(code); }

// What follows the system's words.
std::string Advice(const std::string& detail) { return detail.substr(detail.find('\n')); }

// Gives the file a group other than the administrator's; root may pick any,
// another user one of their own. Empty when no such group can be had.
std::optional<std::string> GiveFileAGroup(const fs::path& file) {
  std::optional<std::string> name;
  setgrent();
  while (group* g = getgrent()) {
    if (g->gr_gid != 0 && chown(file.c_str(), static_cast<uid_t>(-1), g->gr_gid) == 0) {
      name = g->gr_name;
      break;
    }
  }
  endgrent();
  return name;
}

class PortErrorHelpTest : public ::testing::Test {
 protected:
  qvtest::ScratchDir dir;
  fs::path device = dir / "ttyUSB7";
  TPortErrorHelpSources sources;

  void SetUp() override {
    qvtest::WriteFile(device, "");
    sources.procRoot = dir / "proc";
    fs::create_directories(sources.procRoot);
    sources.listPorts = [] { return std::vector<std::string>{"/dev/ttyS0", "/dev/ttyUSB0"}; };
    sources.inGroup = [](gid_t) { return false; };
    sources.usb = {dir / "sys", dir / "dev"};
  }

  std::string Detail(int code, int winCode, const std::string& port) {
    return PortErrorDetail(EComPort(code, winCode), port, sources);
  }

  // A process in the fake /proc with its name and descriptors pointing at targets.
  void AddProcess(int pid, const std::string& comm, const std::vector<fs::path>& targets) {
    qvtest::AddFakeProcess(sources.procRoot, pid, comm, targets);
  }
};

TEST_F(PortErrorHelpTest, NothingToAddWithoutASystemCode) {
  EXPECT_EQ(Detail(14, EComPort::kNoWinCode, device), "");
  EXPECT_EQ(Detail(16, EComPort::kNoWinCode, device), "");
  EXPECT_EQ(Detail(23, 0, device), "");
}

TEST_F(PortErrorHelpTest, OtherErrorsGetTheSystemsWordsOnly) {
  // A failed write is not about opening: no device prefix, no advice.
  EXPECT_EQ(Detail(2, EIO, device), SystemText(EIO) + ".");
  EXPECT_EQ(Detail(23, ENOENT, device), SystemText(ENOENT) + ".");
  // An open failure without advice for its code names the device.
  EXPECT_EQ(Detail(1, EINVAL, device), device.string() + ": " + SystemText(EINVAL) + ".");
}

TEST_F(PortErrorHelpTest, PermissionDeniedNamesTheGroupAndHowToJoinIt) {
  const auto group = GiveFileAGroup(device);
  if (!group) GTEST_SKIP() << "no group other than root can be given to a file here";
  fs::permissions(device, fs::perms(0660), fs::perm_options::replace);

  const std::string d = Detail(1, EACCES, device);
  EXPECT_THAT(d, StartsWith(device.string() + ": " + SystemText(EACCES) + ".\n"));
  EXPECT_THAT(d, HasSubstr("group \"" + *group + "\", which your user is not in"));
  EXPECT_THAT(d, HasSubstr("sudo usermod -aG " + *group + " $USER\n"));
  EXPECT_THAT(d, HasSubstr("log out and back in"));
  EXPECT_EQ(Advice(Detail(1, EPERM, device)), Advice(d));

  // Already a member: joining again would not help.
  gid_t asked = 0;
  sources.inGroup = [&asked](gid_t g) {
    asked = g;
    return true;
  };
  const std::string member = Detail(1, EACCES, device);
  EXPECT_THAT(member, AllOf(HasSubstr("\"" + *group + "\" and your user is in it"), Not(HasSubstr("usermod"))));
  EXPECT_EQ(asked, getgrnam(group->c_str())->gr_gid);
}

TEST_F(PortErrorHelpTest, PermissionDeniedWhereTheGroupCannotHelp) {
  const auto group = GiveFileAGroup(device);
  if (!group) GTEST_SKIP() << "no group other than root can be given to a file here";
  // The group may not read and write the device: only the owner may.
  fs::permissions(device, fs::perms(0600), fs::perm_options::replace);
  EXPECT_THAT(Detail(1, EACCES, device), AllOf(HasSubstr("ask your administrator"), Not(HasSubstr("usermod"))));
  // The administrator's group is never suggested for joining.
  fs::permissions(device, fs::perms(0660), fs::perm_options::replace);
  if (chown(device.c_str(), static_cast<uid_t>(-1), 0) == 0) {
    EXPECT_THAT(Detail(1, EACCES, device), AllOf(HasSubstr("ask your administrator"), Not(HasSubstr("usermod"))));
  }
  // A device that is gone leaves the system's words alone.
  EXPECT_EQ(Detail(1, EACCES, dir / "gone"), (dir / "gone").string() + ": " + SystemText(EACCES) + ".");
}

TEST_F(PortErrorHelpTest, BusyPortNamesTheProgramsHoldingIt) {
  const fs::path other = dir / "ttyS3";
  qvtest::WriteFile(other, "");
  AddProcess(4711, "minicom", {"/dev/null", device});
  AddProcess(812, "screen", {device});
  AddProcess(900, "cat", {other});
  fs::create_directories(sources.procRoot / "self" / "fd");  // not a process number
  fs::create_directories(sources.procRoot / "77");           // no fd folder to read

  const std::string d = Detail(1, EBUSY, device);
  EXPECT_THAT(d, StartsWith(device.string() + ": " + SystemText(EBUSY) + ".\n"));
  EXPECT_THAT(d, HasSubstr("Another program has the port open: screen (process 812), minicom (process 4711). "
                           "Close it and try again."));
  EXPECT_THAT(d, Not(HasSubstr("cat")));
  // The lock that another program holds is reported as EAGAIN by some calls.
  EXPECT_EQ(Advice(Detail(1, EAGAIN, device)), Advice(d));

  // A holder nobody can see still gets the general advice.
  EXPECT_THAT(Detail(1, EBUSY, other), HasSubstr("open: cat (process 900)."));
  EXPECT_THAT(Detail(1, EBUSY, dir / "ttyS9"),
              HasSubstr("\nAnother program has the port open. Close it and try again."));
}

TEST_F(PortErrorHelpTest, HoldersAreFoundThroughLinksAndInTheRealProcessTable) {
  // The port is named through a link (as announced simulated devices are).
  const fs::path link = dir / "announced";
  fs::create_symlink(device, link);
  AddProcess(31, "quorvel-sim", {device});
  EXPECT_THAT(PortHolders(link, sources.procRoot), ElementsAre("quorvel-sim (process 31)"));

  // This very process, holding the file open, shows up in /proc.
  const int fd = ::open(device.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  const std::string comm = [] {
    std::string s = qvtest::ReadFile("/proc/self/comm");
    return s.substr(0, s.find('\n'));
  }();
  EXPECT_THAT(PortHolders(device, "/proc"), ::testing::Contains(comm + " (process " + std::to_string(getpid()) + ")"));
  ::close(fd);
  EXPECT_THAT(PortHolders(device, "/proc"), ::testing::IsEmpty());
  EXPECT_THAT(PortHolders(dir / "missing", "/proc"), ::testing::IsEmpty());
}

TEST_F(PortErrorHelpTest, MissingDeviceListsThePortsThatAreThere) {
  const fs::path missing = dir / "ttyUSB1";
  const std::string d = Detail(1, ENOENT, missing);
  EXPECT_EQ(d, missing.string() + ": " + SystemText(ENOENT) + ".\n" +
                   "The device is not plugged in, or the port name is wrong.\n"
                   "Serial ports found: /dev/ttyS0, /dev/ttyUSB0. Choose one under Einstellung > RS-232.");
  for (int code : {ENODEV, ENXIO}) EXPECT_THAT(Detail(1, code, missing), HasSubstr("not plugged in")) << code;
  EXPECT_THAT(Detail(1, ENOTTY, device),
              HasSubstr("The port name does not lead to a serial device.\nSerial ports found"));

  sources.listPorts = [] { return std::vector<std::string>{}; };
  EXPECT_THAT(Detail(1, ENOENT, missing), HasSubstr("wrong.\nNo serial ports were found."));
  // When even the list cannot be read, the first sentence still stands alone.
  sources.listPorts = []() -> std::vector<std::string> { throw EComPort(23, EACCES); };
  EXPECT_THAT(Detail(1, ENOENT, missing), ::testing::EndsWith("or the port name is wrong."));
}

TEST_F(PortErrorHelpTest, PortNamesAreShownWithTheirDevice) {
  EXPECT_THAT(Detail(1, ENOENT, "COM1"), StartsWith("COM1 (/dev/ttyS0): " + SystemText(ENOENT) + ".\n"));
  EXPECT_THAT(Detail(1, ENOENT, "ttyUSB9"), StartsWith("ttyUSB9 (/dev/ttyUSB9): "));
  // No port chosen at all: no device to name, the advice still helps.
  EXPECT_EQ(Detail(1, ENOENT, ""),
            SystemText(ENOENT) + ".\n" +
                "The device is not plugged in, or the port name is wrong.\n"
                "Serial ports found: /dev/ttyS0, /dev/ttyUSB0. Choose one under Einstellung > RS-232.");
}

// brltty's udev rule gives CH340 adapters to its braille driver: the adapter
// stays in sysfs, its tty goes.
class ClaimedAdapterHelp : public PortErrorHelpTest {
 protected:
  qvtest::FakeUsbTree tree{dir.path()};
  std::string port = (dir / "dev" / "ttyUSB0").string();
  void AddClaimedCh340() {
    auto a = qvtest::Ch340();
    a.tty.clear();
    a.byIdName.clear();
    tree.Add(a);
  }
};

TEST_F(ClaimedAdapterHelp, AClaimedCh340GetsTheExplanationAndTheFix) {
  AddClaimedCh340();
  const std::string d = Detail(1, ENOENT, port);
  EXPECT_THAT(d, StartsWith(port + ": " + SystemText(ENOENT) +
                            ".\n"
                            "A CH340 adapter is plugged in but has no serial port: the braille display service "
                            "brltty takes these adapters for a braille display and claims them.\n"));
  EXPECT_THAT(d, HasSubstr("\n    sudo apt remove brltty\n"));
  EXPECT_THAT(d, HasSubstr("\n    sudo ln -s /dev/null /etc/udev/rules.d/85-brltty.rules\n"));
  EXPECT_THAT(d, HasSubstr("then unplug the adapter and plug it in again.\nSerial ports found: "));
  EXPECT_THAT(d, Not(HasSubstr("is running now")));
  EXPECT_THAT(d, Not(HasSubstr("not plugged in")));
  // And when brltty can be seen running.
  AddProcess(612, "brltty", {});
  EXPECT_THAT(Detail(1, ENODEV, port), HasSubstr("claims them. brltty is running now.\n"));
  // A port that vanished while it was in use says the same.
  EXPECT_THAT(Detail(2, EIO, port),
              AllOf(StartsWith(SystemText(EIO) + ".\nA CH340 adapter"), HasSubstr("sudo apt remove brltty")));
}

TEST_F(ClaimedAdapterHelp, BrlttyRunningIsNamedForUsbPortsOnly) {
  AddProcess(612, "brltty", {});
  AddProcess(613, "brltty-helper", {});
  EXPECT_THAT(Detail(1, ENOENT, port), HasSubstr("\nThe braille display service brltty is running; it takes CH340"));
  EXPECT_THAT(Detail(1, ENOENT, "/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0"), HasSubstr("brltty is running;"));
  EXPECT_THAT(Detail(1, ENOENT, "/dev/ttyS4"), AllOf(Not(HasSubstr("brltty")), HasSubstr("not plugged in")));
}

TEST_F(ClaimedAdapterHelp, ACh340WithItsPortAndNoBrlttyGetsTheUsualHelp) {
  tree.Add(qvtest::Ch340());
  AddProcess(700, "brlapi", {});
  EXPECT_THAT(Detail(1, ENOENT, port), AllOf(Not(HasSubstr("brltty")), HasSubstr("not plugged in")));
  EXPECT_EQ(Detail(2, EIO, port), SystemText(EIO) + ".");
  EXPECT_FALSE(ProgramRunning(sources.procRoot, "brltty"));
  EXPECT_TRUE(ProgramRunning(sources.procRoot, "brlapi"));
}

TEST(PortErrorHelpDefaults, AskTheSystem) {
  const TPortErrorHelpSources s = DefaultPortErrorHelpSources();
  ASSERT_TRUE(s.listPorts);
  ASSERT_TRUE(s.inGroup);
  EXPECT_TRUE(s.inGroup(getegid()));
  EXPECT_EQ(s.procRoot, fs::path("/proc"));
  // A group this process does not have (the largest id there can be).
  EXPECT_FALSE(s.inGroup(static_cast<gid_t>(-2)));
}

}  // namespace
