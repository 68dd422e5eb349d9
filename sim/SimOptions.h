#pragma once
// The simulator's command line.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "Device.h"
#include "EngineModel.h"
#include "FaultInjector.h"

namespace qv::sim {

struct SimOptions {
  EngineConfig engine;
  std::optional<std::uint64_t> seed;  // none: a fresh seed from the clock
  FaultOptions faults;
  std::string link;        // an extra symlink to the device
  std::string replay;      // a capture to play instead of the model
  std::string log;         // where to log every frame sent
  bool log_times = false;  // also log when the bytes were handed to the line
  bool stats = false;
  bool help = false;
  bool version = false;
};

struct ParseResult {
  SimOptions options;
  std::string error;  // one line; empty when the arguments were good
};

// Parses the arguments after the program name. Options take their value as
// the next argument or after '='.
[[nodiscard]] ParseResult ParseArguments(std::span<const std::string_view> args);

[[nodiscard]] std::string HelpText();

// The counts printed by --stats, one "name: value" per line.
[[nodiscard]] std::string FormatStats(const DeviceStats& stats);

}  // namespace qv::sim
