#pragma once
// Runs a simulated device as the simulator's main loop does, on a test clock.
#include <string>
#include <vector>

#include "Device.h"
#include "Random.h"

namespace simtest {

using qv::sim::Nanos;

struct Delivery {
  Nanos at;
  std::string bytes;
};

struct Rig {
  explicit Rig(qv::sim::FaultOptions faults = {}, std::uint64_t seed = 5,
               qv::sim::Scenario scenario = qv::sim::Scenario::kSteady)
      : engine({qv::sim::kDefaultRpm, seed, scenario}), injector(faults, seed), device(engine, injector, 0) {
    device.SetLog([this](const qv::sim::LoggedFrame& f) { log.push_back(f); });
  }

  // Advances the clock to `until`, waking at every deadline the device names
  // (or up to `max_late` later, drawn from `late`), and records what it hands out.
  void RunUntil(Nanos until, Nanos max_late = 0) {
    for (;;) {
      device.Tick(now);
      for (auto s = device.TakeDue(now); !s.empty(); s = device.TakeDue(now)) {
        stream += s;
        deliveries.push_back({now, std::move(s)});
      }
      const Nanos next = device.NextDeadline();
      if (next > until) break;
      now = std::max(next, now + 1) + (max_late > 0 ? static_cast<Nanos>(late.Between(0, max_late)) : 0);
    }
    now = until;
    device.Tick(now);
  }

  void Send(const std::string& command) { device.Receive(command, now); }

  qv::sim::EngineModel engine;
  qv::sim::FaultInjector injector;
  qv::sim::Device device;
  qv::sim::Rng late{99};
  Nanos now = 0;
  std::string stream;
  std::vector<Delivery> deliveries;
  std::vector<qv::sim::LoggedFrame> log;
};

inline constexpr Nanos kMs = qv::sim::kNanosPerMilli;

}  // namespace simtest
