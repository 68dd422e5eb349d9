#include "BenchApp.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "AppErrors.h"

namespace qvbench {
namespace {
std::filesystem::path g_root;
}  // namespace

std::filesystem::path EnsureApplication(const char* programName) {
  static int argc = 1;
  static std::string name;
  static char* argv[] = {nullptr, nullptr};
  if (QCoreApplication::instance()) return g_root;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  char tmpl[] = "/tmp/quorvel-bench-XXXXXX";
  if (!mkdtemp(tmpl)) throw std::runtime_error("no temporary folder");
  g_root = tmpl;
  for (const char* var : {"XDG_CONFIG_HOME", "XDG_RUNTIME_DIR", "HOME"}) setenv(var, tmpl, 1);
  std::atexit([] {
    std::error_code ec;
    std::filesystem::remove_all(g_root, ec);
  });
  name = programName;
  argv[0] = name.data();
  new QApplication(argc, argv);  // lives until the process ends
  qv::SetErrorPresenter([](const QString& text) { std::fprintf(stderr, "error: %s\n", qPrintable(text)); });
  return g_root;
}

}  // namespace qvbench
