#include "support/TestEnv.h"

#include <unistd.h>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace qvtest {
namespace {
std::filesystem::path g_root;

std::filesystem::path MakeTempDir(const std::filesystem::path& base, const char* prefix) {
  std::string tmpl = (base / (std::string(prefix) + "XXXXXX")).string();
  if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed for " + tmpl);
  return tmpl;
}

void RemoveRoot() {
  std::error_code ec;
  if (!g_root.empty()) std::filesystem::remove_all(g_root, ec);
}
}  // namespace

void SetUpIsolatedEnvironment() {
  if (!g_root.empty()) return;
  g_root = MakeTempDir(std::filesystem::temp_directory_path(), "quorvel-test-");
  for (const char* sub : {"config", "data", "runtime", "home"}) std::filesystem::create_directories(g_root / sub);
  std::filesystem::permissions(g_root / "runtime", std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::replace);
  setenv("XDG_CONFIG_HOME", (g_root / "config").c_str(), 1);
  setenv("XDG_DATA_HOME", (g_root / "data").c_str(), 1);
  setenv("XDG_RUNTIME_DIR", (g_root / "runtime").c_str(), 1);
  setenv("HOME", (g_root / "home").c_str(), 1);
  setenv("XDG_DOCUMENTS_DIR", (g_root / "home" / "Dokumente").c_str(), 1);
  std::atexit(RemoveRoot);
}

std::filesystem::path IsolatedRoot() { return g_root; }

ScratchDir::ScratchDir() {
  SetUpIsolatedEnvironment();
  path_ = MakeTempDir(g_root, "scratch-");
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::string ReadFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + p.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + p.string());
  out << bytes;
}

}  // namespace qvtest
