#pragma once
// The program's command line, read before any window exists so that --help
// and --version work without a display.
#include <optional>
#include <string>
#include <vector>

namespace qv {

struct CommandLine {
  enum class Action { Run, Help, Version, Error };
  Action action = Action::Run;
  // --port NAME: the port for this run, applied after the stored settings.
  std::optional<std::string> port;
  // --workshop: the workshop view opens at start beside the main window.
  bool workshop = false;
  // --record FOLDER: every scan of this run is recorded into FOLDER.
  std::optional<std::string> record;
  // --replay FILE: the run starts by replaying FILE.
  std::optional<std::string> replay;
  // --phone[=ADDRESS]: the phone view switched on at start, on ADDRESS (one
  // of the machine's) or, when empty, the default route's interface's.
  std::optional<std::string> phone;
  // For Action::Error: what was wrong, one line without the program name.
  std::string error;
  // What remains for QApplication: the program name and the toolkit's own
  // options (-platform NAME, -style NAME, ...).
  std::vector<std::string> toolkitArgs;
};

[[nodiscard]] CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The text printed by --help.
[[nodiscard]] std::string UsageText(const std::string& program);

}  // namespace qv
