#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <thread>

#include "AppPaths.h"
#include "AppUtils.h"
#include "support/TestEnv.h"

namespace fs = std::filesystem;

namespace {

int EntriesIn(const fs::path& dir) {
  int n = 0;
  for (auto& e : fs::directory_iterator(dir)) (void)e, ++n;
  return n;
}

}  // namespace

TEST(IniFile, AMissingFileReadsAsEmptyAndIsNotCreatedByReading) {
  qvtest::ScratchDir d;
  TIniFile ini(d / "none.ini");
  EXPECT_EQ(ini.ReadString("COLOR", "1", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadInteger("COLOR", "1", 32768), 32768);
  EXPECT_TRUE(ini.ReadBool("x", "y", true));
  EXPECT_FALSE(ini.SectionExists("COLOR"));
  EXPECT_FALSE(ini.ValueExists("COLOR", "1"));
  EXPECT_TRUE(ini.ReadSection("COLOR").empty());
  EXPECT_FALSE(fs::exists(d / "none.ini"));
}

TEST(IniFile, TypedReadsFallBackToTheDefaultForBadValues) {
  qvtest::ScratchDir d;
  qvtest::WriteFile(d / "s.ini", "[COLOR]\n1=letters\n4=0x0000FF\n5=$FFFF\n[Einstellungen]\n3=7\n4=0\n5=yes\n");
  TIniFile ini(d / "s.ini");
  EXPECT_EQ(ini.ReadInteger("COLOR", "1", 32768), 32768);
  EXPECT_EQ(ini.ReadInteger("color", "4", 0), 255);
  EXPECT_EQ(ini.ReadInteger("COLOR", "5", 0), 65535);
  EXPECT_EQ(ini.ReadString("COLOR", "1", ""), "letters");
  EXPECT_TRUE(ini.ReadBool("Einstellungen", "3", false));
  EXPECT_FALSE(ini.ReadBool("Einstellungen", "4", true));
  EXPECT_TRUE(ini.ReadBool("Einstellungen", "5", true));
  EXPECT_FALSE(ini.ReadBool("Einstellungen", "5", false));
  EXPECT_EQ(ini.ReadSection("einstellungen"), (std::vector<std::string>{"3", "4", "5"}));
}

TEST(IniFile, WritingCreatesTheFileAndItsFolderByteForByte) {
  qvtest::ScratchDir d;
  TIniFile ini(d / "sub/Quorvel.ini");
  EXPECT_TRUE(ini.FileName().is_absolute());
  for (int i = 1; i <= 5; ++i) ini.WriteInteger("COLOR", std::to_string(i), i == 1 ? 32768 : i == 2 ? 65280 : 0);
  ini.WriteInteger("SPEED", "1", 200);
  ini.WriteBool("Einstellungen", "3", false);
  ini.WriteString("COLOR", "2", "-1");
  EXPECT_EQ(qvtest::ReadFile(d / "sub/Quorvel.ini"),
            "[COLOR]\n1=32768\n2=-1\n3=0\n4=0\n5=0\n[SPEED]\n1=200\n[Einstellungen]\n3=0\n");
  EXPECT_EQ(ini.ReadInteger("COLOR", "2", 0), -1);
  EXPECT_EQ(EntriesIn(d / "sub"), 1);  // no temporary file left behind
}

TEST(IniFile, ACrlfFileKeepsItsCommentsUnknownLinesAndMissingFinalNewline) {
  qvtest::ScratchDir d;
  const std::string before =
      "; written by hand\r\n"
      "[Unknown]\r\n"
      "a = b\r\n"
      "\r\n"
      "[SPEED]\r\n"
      "1 = 100\r\n"
      "junk line\r\n"
      "\r\n"
      "[Einstellungen]\r\n"
      "3=1";
  qvtest::WriteFile(d / "q.ini", before);
  TIniFile ini(d / "q.ini");
  ini.WriteInteger("speed", "1", 500);
  ini.WriteInteger("SPEED", "2", 10);
  ini.WriteInteger("Einstellungen", "4", 1);
  ini.WriteInteger("COLOR", "1", 255);
  EXPECT_EQ(qvtest::ReadFile(d / "q.ini"),
            "; written by hand\r\n"
            "[Unknown]\r\n"
            "a = b\r\n"
            "\r\n"
            "[SPEED]\r\n"
            "1 = 500\r\n"
            "junk line\r\n"
            "2=10\r\n"
            "\r\n"
            "[Einstellungen]\r\n"
            "3=1\r\n"
            "4=1\r\n"
            "[COLOR]\r\n"
            "1=255");
}

TEST(IniFile, TwoWritersOfDifferentKeysKeepEachOthersValues) {
  qvtest::ScratchDir d;
  TIniFile first(d / "shared.ini");
  TIniFile second(d / "shared.ini");
  first.WriteInteger("A", "x", 1);
  second.WriteInteger("A", "y", 2);
  first.WriteInteger("B", "z", 3);
  EXPECT_EQ(qvtest::ReadFile(d / "shared.ini"), "[A]\nx=1\ny=2\n[B]\nz=3\n");
  // A reader sees other writers' values after Reload.
  EXPECT_FALSE(second.ValueExists("B", "z"));
  second.Reload();
  EXPECT_EQ(second.ReadInteger("b", "Z", 0), 3);
}

TEST(IniFile, AnUnwritableFileRaisesTheErrorWithTheFullPath) {
  qvtest::ScratchDir d;
  qvtest::WriteFile(d / "blocker", "a regular file where a folder is expected");
  // A relative name is reported with its absolute path.
  fs::path saved = fs::current_path();
  fs::current_path(d.path());
  TIniFile ini("blocker/Quorvel.ini");
  fs::current_path(saved);
  const std::string expected = "In " + (d / "blocker/Quorvel.ini").string() + " kann nicht geschrieben werden";
  try {
    ini.WriteInteger("COLOR", "1", 0);
    FAIL() << "no error raised";
  } catch (const EIniFileError& e) {
    EXPECT_EQ(std::string(e.what()), expected);
  }
  // The failed write left nothing behind in memory either.
  EXPECT_FALSE(ini.ValueExists("COLOR", "1"));
  EXPECT_EQ(qvtest::ReadFile(d / "blocker"), "a regular file where a folder is expected");
}

// Runs fn on a thread of its own that lacks the capabilities to pass over
// file permissions, so that a folder's mode holds for root as for any user.
template <typename Fn>
void WithFilePermissionsEnforced(Fn fn) {
  std::thread t([&] {
    if (geteuid() == 0) {
      __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
      __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
      ASSERT_EQ(syscall(SYS_capget, &header, data), 0);
      data[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
      ASSERT_EQ(syscall(SYS_capset, &header, data), 0);
    }
    fn();
  });
  t.join();
}

TEST(IniFile, AWritableFileInAFolderThatTakesNoNewFileIsWrittenInPlace) {
  qvtest::ScratchDir d;
  fs::create_directory(d / "program");
  qvtest::WriteFile(d / "program/Quorvel.ini", "; kept\n[COLOR]\n1=32768\n[SPEED]\n1=100\n");
  fs::permissions(d / "program", fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
  WithFilePermissionsEnforced([&] {
    // The folder refuses a new file; the file itself may be written.
    ASSERT_LT(::open((d / "program/probe").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644), 0);
    TIniFile ini(d / "program/Quorvel.ini");
    EXPECT_NO_THROW(ini.WriteInteger("COLOR", "1", 255));
    EXPECT_NO_THROW(ini.WriteString("SPEED", "1", "5"));  // shorter than before: the rest is cut off
    EXPECT_EQ(qvtest::ReadFile(d / "program/Quorvel.ini"), "; kept\n[COLOR]\n1=255\n[SPEED]\n1=5\n");
    EXPECT_EQ(TIniFile(d / "program/Quorvel.ini").ReadInteger("COLOR", "1", 0), 255);

    // A file that cannot be written either still gives the message.
    fs::permissions(d / "program/Quorvel.ini", fs::perms::owner_read, fs::perm_options::replace);
    try {
      ini.WriteInteger("COLOR", "1", 0);
      ADD_FAILURE() << "no error raised";
    } catch (const EIniFileError& e) {
      EXPECT_EQ(std::string(e.what()), "In " + (d / "program/Quorvel.ini").string() + " kann nicht geschrieben werden");
    }
    // And a new file in that folder cannot be made at all.
    EXPECT_THROW(TIniFile(d / "program/new.ini").WriteInteger("COLOR", "1", 0), EIniFileError);
  });
  fs::permissions(d / "program", fs::perms::owner_all, fs::perm_options::replace);
  EXPECT_EQ(EntriesIn(d / "program"), 1);
}

TEST(IniFile, AWriteThatFailsPartWayKeepsTheOldFileAndTheOldValues) {
  qvtest::ScratchDir d;
  qvtest::WriteFile(d / "keep.ini", "[S]\nk=1\n");
  TIniFile ini(d / "keep.ini");
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 4;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_THROW(ini.WriteString("S", "k", "a much longer value"), EIniFileError);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(qvtest::ReadFile(d / "keep.ini"), "[S]\nk=1\n");
  EXPECT_EQ(ini.ReadString("S", "k", ""), "1");
  EXPECT_EQ(EntriesIn(d.path()), 1);
}

TEST(IniFile, AnUnreadableFileIsNeverOverwritten) {
  qvtest::ScratchDir d;
  fs::create_directories(d / "dir.ini/inside");
  TIniFile ini(d / "dir.ini");
  EXPECT_EQ(ini.ReadInteger("S", "k", 7), 7);
  EXPECT_THROW(ini.WriteInteger("S", "k", 1), EIniFileError);
  EXPECT_TRUE(fs::is_directory(d / "dir.ini/inside"));
}

TEST(IniFile, ASymbolicLinkStaysALink) {
  qvtest::ScratchDir d;
  qvtest::WriteFile(d / "real.ini", "[S]\nk=1\n");
  fs::create_symlink(d / "real.ini", d / "link.ini");
  TIniFile ini(d / "link.ini");
  ini.WriteInteger("S", "k", 2);
  EXPECT_TRUE(fs::is_symlink(d / "link.ini"));
  EXPECT_EQ(qvtest::ReadFile(d / "real.ini"), "[S]\nk=2\n");
}

TEST(IniFile, GarbageFilesAreReadAndKeptWhole) {
  qvtest::ScratchDir d;
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<char>((i * 37 + 11) % 256));
  garbage += std::string(100000, '=') + "[[[]]\n=\n[";
  qvtest::WriteFile(d / "g.ini", garbage);
  TIniFile ini(d / "g.ini");
  ini.WriteString("New", "key", "value");
  std::string after = qvtest::ReadFile(d / "g.ini");
  ASSERT_GE(after.size(), garbage.size());
  EXPECT_EQ(after.substr(0, garbage.size()), garbage);
  TIniFile again(d / "g.ini");
  EXPECT_EQ(again.ReadString("new", "KEY", ""), "value");
}

TEST(IniPaths, TheSettingsFileLivesBesideTheProgramWhenThatFolderIsWritable) {
  qvtest::ScratchDir d;
  fs::create_directories(d / "bin");
  EXPECT_EQ(qv::SettingsFilePathIn(d / "bin", d / "cfg"), d / "bin/Quorvel.ini");
  EXPECT_EQ(qv::SettingsFilePathIn(d / "no-such-folder", d / "cfg"), d / "cfg/Quorvel.ini");
  EXPECT_EQ(qv::SettingsFilePath().filename(), "Quorvel.ini");
}

TEST(IniPaths, PlacementFilesByBareNameLiveInTheUserConfigFolder) {
  EXPECT_EQ(qv::PlacementFilePath("quorvel.INI"), qv::UserConfigDir() / "quorvel.INI");
  EXPECT_EQ(qv::PlacementFilePath("/some/where/p.ini"), fs::path("/some/where/p.ini"));
  EXPECT_EQ(qv::PlacementFilePath("rel/p.ini"), fs::path("rel/p.ini"));
  // This test program has no extension, so ".INI" is appended.
  EXPECT_EQ(qv::DefaultPlacementFile(), qv::ExecutableName() + ".INI");
}
