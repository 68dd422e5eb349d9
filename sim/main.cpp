// quorvel-sim: a simulated Synchrontester on a pseudo-terminal.
#include <cstdio>
#include <exception>
#include <string_view>
#include <vector>

#include "SimOptions.h"
#include "Simulator.h"

// QUORVEL_VERSION comes from the build (the CMake project version).
#ifndef QUORVEL_VERSION
#error "QUORVEL_VERSION is not defined"
#endif

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const qv::sim::ParseResult parsed = qv::sim::ParseArguments(args);
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "quorvel-sim: %s (try --help)\n", parsed.error.c_str());
    return 2;
  }
  if (parsed.options.help) {
    std::fputs(qv::sim::HelpText().c_str(), stdout);
    return 0;
  }
  if (parsed.options.version) {
    std::printf("quorvel-sim %s\n", QUORVEL_VERSION);
    return 0;
  }
  try {
    return qv::sim::RunSimulator(parsed.options);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "quorvel-sim: %s\n", e.what());
    return 1;
  }
}
