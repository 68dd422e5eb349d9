#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdlib>

#include "AppPaths.h"
#include "support/TestEnv.h"

namespace fs = std::filesystem;

TEST(AppPaths, ConfigDataAndRuntimeFoldersFollowTheEnvironment) {
  qvtest::ScratchDir d;
  const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
  std::string savedConfig = oldConfig ? oldConfig : "";
  setenv("XDG_CONFIG_HOME", d.path().c_str(), 1);
  EXPECT_EQ(qv::UserConfigDir(), d.path() / "quorvel");
  setenv("XDG_CONFIG_HOME", "", 1);
  EXPECT_EQ(qv::UserConfigDir(), fs::path(std::getenv("HOME")) / ".config" / "quorvel");
  setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);

  const char* oldData = std::getenv("XDG_DATA_HOME");
  std::string savedData = oldData ? oldData : "";
  setenv("XDG_DATA_HOME", d.path().c_str(), 1);
  EXPECT_EQ(qv::UserDataDir(), d.path() / "quorvel");
  setenv("XDG_DATA_HOME", "", 1);
  EXPECT_EQ(qv::UserDataDir(), fs::path(std::getenv("HOME")) / ".local" / "share" / "quorvel");
  setenv("XDG_DATA_HOME", savedData.c_str(), 1);

  const char* oldRuntime = std::getenv("XDG_RUNTIME_DIR");
  std::string savedRuntime = oldRuntime ? oldRuntime : "";
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(qv::UserRuntimeDir(), fs::temp_directory_path() / ("quorvel-" + std::to_string(getuid())));
  setenv("XDG_RUNTIME_DIR", savedRuntime.c_str(), 1);
  EXPECT_EQ(qv::UserRuntimeDir(), fs::path(savedRuntime) / "quorvel");
}

TEST(AppPaths, AtomicWriteCreatesFoldersReplacesContentAndKeepsMode) {
  qvtest::ScratchDir d;
  auto file = d / "a/b/settings.ini";
  qv::AtomicWriteFile(file, "first\n");
  EXPECT_EQ(qvtest::ReadFile(file), "first\n");
  ::chmod(file.c_str(), 0600);
  qv::AtomicWriteFile(file, std::string("second\0binary", 13));
  EXPECT_EQ(qvtest::ReadFile(file), std::string("second\0binary", 13));
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  // No temporary file is left behind.
  int entries = 0;
  for (auto& e : fs::directory_iterator(file.parent_path())) (void)e, ++entries;
  EXPECT_EQ(entries, 1);
}

TEST(AppPaths, AtomicWriteFailureLeavesTheOldFileAlone) {
  // A file-size limit makes the write fail part-way, as a full disk would
  // (permission bits cannot be used: the tests may run as root).
  qvtest::ScratchDir d;
  auto file = d / "keep.ini";
  qv::AtomicWriteFile(file, "old\n");
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 8;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_THROW(qv::AtomicWriteFile(file, std::string(64, 'x')), std::system_error);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(qvtest::ReadFile(file), "old\n");
  int entries = 0;
  for (auto& e : fs::directory_iterator(d.path())) (void)e, ++entries;
  EXPECT_EQ(entries, 1);
}

TEST(AppPaths, AtomicWriteIntoAPathBlockedByAFileFails) {
  qvtest::ScratchDir d;
  qvtest::WriteFile(d / "blocker", "not a folder");
  EXPECT_THROW(qv::AtomicWriteFile(d / "blocker" / "x.ini", "data"), std::system_error);
}
