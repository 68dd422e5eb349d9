#pragma once
// Start-up shared by the benchmarks that run the main window: one offscreen
// application for the whole process, and a private folder for everything the
// window loads or stores, so a benchmark never touches the user's settings.
#include <filesystem>

namespace qvbench {

// Creates the application at the first call (later calls only return the
// folder). XDG_CONFIG_HOME, XDG_RUNTIME_DIR and HOME point at the folder, which
// is removed when the process ends; an error report goes to stderr instead of
// a message box nobody would click.
std::filesystem::path EnsureApplication(const char* programName);

}  // namespace qvbench
