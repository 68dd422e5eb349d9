#pragma once
// A fake /proc entry: a process folder with its name and descriptors that
// lead to the given files, as the port error help reads them.
#include <filesystem>
#include <string>
#include <vector>

#include "support/TestEnv.h"

namespace qvtest {

inline void AddFakeProcess(const std::filesystem::path& procRoot, int pid, const std::string& comm,
                           const std::vector<std::filesystem::path>& targets) {
  const std::filesystem::path p = procRoot / std::to_string(pid);
  std::filesystem::create_directories(p / "fd");
  WriteFile(p / "comm", comm + "\n");
  int fd = 3;
  for (const auto& t : targets) std::filesystem::create_symlink(t, p / "fd" / std::to_string(fd++));
}

}  // namespace qvtest
