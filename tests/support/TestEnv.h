#pragma once
// Test environment shared by every test program: the per-user folders point
// into a private temporary folder, so no test ever touches the real home.
#include <filesystem>
#include <string>

namespace qvtest {

// Creates the private folders and sets XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_DOCUMENTS_DIR,
// XDG_RUNTIME_DIR and HOME to them. Called once by each test main before any test runs.
void SetUpIsolatedEnvironment();

// The private root folder made by SetUpIsolatedEnvironment().
std::filesystem::path IsolatedRoot();

// A fresh, empty folder below the isolated root; removed with the object.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Whole-file helpers for tests that compare stored files byte for byte.
std::string ReadFile(const std::filesystem::path& p);
void WriteFile(const std::filesystem::path& p, const std::string& bytes);

}  // namespace qvtest
