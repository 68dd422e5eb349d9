#pragma once
// The simulator's main loop: the pseudo-terminal, the announcements, signals
// and keys around the device model.
#include "SimOptions.h"

namespace qv::sim {

// Runs until SIGINT, SIGTERM, SIGHUP or the q key; returns the exit status.
// Throws std::system_error or std::invalid_argument when it cannot set up.
int RunSimulator(const SimOptions& options);

}  // namespace qv::sim
