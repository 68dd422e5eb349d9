// The help a port error's report carries the first time something goes wrong
// on a workshop laptop: not in the device's group, a CH340 taken by brltty,
// a port held by another program. Read from the error report, as the error
// box shows it.
#include <gmock/gmock.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <vector>

#include "AppErrors.h"
#include "CPort.h"
#include "EComPort.h"
#include "support/FakeUsbTree.h"
#include "PortErrorReport.h"
#include "support/PtyPair.h"
#include "support/FakeProc.h"

namespace {

namespace fs = std::filesystem;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

// The groups other than the administrator's that a file here can be given.
std::vector<gid_t> GroupsForFiles(const fs::path& probe) {
  std::vector<gid_t> out;
  setgrent();
  while (group* g = getgrent()) {
    if (g->gr_gid != 0 && chown(probe.c_str(), static_cast<uid_t>(-1), g->gr_gid) == 0) out.push_back(g->gr_gid);
    if (out.size() == 2) break;
  }
  endgrent();
  return out;
}

class FirstFailureHelp : public ::testing::Test {
 protected:
  qvtest::ScratchDir dir;
  qvtest::FakeUsbTree tree{dir.path()};
  TComPort port{nullptr};
  TPortErrorHelpSources sources;
  qv::ErrorDetailSource previous = qv::SetErrorDetailSource({});

  void SetUp() override {
    sources.listPorts = [] { return std::vector<std::string>{}; };
    sources.inGroup = [](gid_t) { return false; };
    sources.procRoot = dir / "proc";
    sources.usb = tree.Roots();
    fs::create_directories(sources.procRoot);
    qv::InstallPortErrorDetail(port, sources);
  }
  ~FirstFailureHelp() override { qv::SetErrorDetailSource(previous); }

  void AddProcess(int pid, const std::string& comm, const std::vector<fs::path>& fds) {
    qvtest::AddFakeProcess(sources.procRoot, pid, comm, fds);
  }
  // Opens the port and gives the report's detail for the error it raised.
  std::string OpenFailureDetail() {
    try {
      port.Open();
    } catch (const EComPort& e) {
      return qv::ErrorDetail(e).toStdString();
    }
    ADD_FAILURE() << "the port opened";
    return {};
  }
};

TEST_F(FirstFailureHelp, NotInTheDevicesGroupGetsTheCommandForThatGroup) {
  const fs::path device = tree.Dev("ttyUSB0");
  qvtest::WriteFile(device, "");
  const auto groups = GroupsForFiles(device);
  if (groups.empty()) GTEST_SKIP() << "no group other than root can be given to a file here";
  fs::permissions(device, fs::perms(0660), fs::perm_options::replace);
  port.SetPort(device.string());
  // The group is the device's own, whatever it is called on this system.
  for (gid_t gid : groups) {
    ASSERT_EQ(chown(device.c_str(), static_cast<uid_t>(-1), gid), 0);
    const std::string name = getgrgid(gid)->gr_name;
    const std::string d = qv::ErrorDetail(EComPort(1, EACCES)).toStdString();
    EXPECT_THAT(d, HasSubstr("The device belongs to the group \"" + name + "\", which your user is not in."));
    EXPECT_THAT(d, HasSubstr("\n    sudo usermod -aG " + name + " $USER\nthen log out and back in."));
  }
}

TEST_F(FirstFailureHelp, ACh340TakenByBrlttyGetsTheExplanationAndTheFix) {
  auto ch340 = qvtest::Ch340();
  ch340.tty.clear();
  tree.Add(ch340);
  AddProcess(612, "brltty", {});
  port.SetPort(tree.Dev("ttyUSB0").string());
  const std::string d = OpenFailureDetail();
  EXPECT_THAT(d, HasSubstr("A CH340 adapter is plugged in but has no serial port"));
  EXPECT_THAT(d, HasSubstr("brltty is running now."));
  EXPECT_THAT(d, HasSubstr("sudo apt remove brltty"));
  EXPECT_THAT(d, HasSubstr("sudo ln -s /dev/null /etc/udev/rules.d/85-brltty.rules"));
}

TEST_F(FirstFailureHelp, APortHeldByAnotherProgramNamesIt) {
  qvtest::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  TComPort holder(nullptr);
  holder.SetPort(pty.slave());
  holder.Open();
  AddProcess(4711, "minicom", {pty.slave()});
  port.SetPort(pty.slave());
  const std::string d = OpenFailureDetail();
  EXPECT_THAT(d,
              AllOf(HasSubstr("Another program has the port open: minicom (process 4711)."), Not(HasSubstr("brltty"))));
  holder.Close();
}

TEST_F(FirstFailureHelp, AMissingAdapterWithoutBrlttyGetsTheUsualHelp) {
  tree.Add(qvtest::Ch340());
  port.SetPort(tree.Dev("ttyUSB5").string());
  const std::string d = OpenFailureDetail();
  EXPECT_THAT(d, AllOf(HasSubstr("The device is not plugged in"), Not(HasSubstr("brltty"))));
}

}  // namespace
