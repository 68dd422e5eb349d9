#pragma once
// A stand-in for the calculation behind the workshop view: gives the reading
// a test sets and records what the view handed over.
#include <string>
#include <vector>

#include "WorkshopSource.h"

namespace wstest {

class FakeSource : public qv::workshop::WorkshopSource {
 public:
  qv::workshop::Reading Read(const qv::workshop::MeasurementLook& look) override {
    looks.push_back(look);
    qv::workshop::Reading r = reading;
    r.held = held;
    return r;
  }
  void SetChoices(const qv::workshop::ViewChoices& c) override { choices = c; }
  void SetHold(bool on) override {
    held = on;
    ++reading.serial;
  }
  void ResetDamping() override { ++resets; }
  void Restart() override { ++restarts; }
  qv::workshop::ZeroResult Zero() override {
    qv::workshop::ZeroResult z;
    z.outcome = zeroOutcome;
    z.notStored = notStored;
    zeroed = z.outcome.Done();
    return z;
  }
  std::string ClearZero() override {
    zeroed = false;
    return notStored;
  }
  // Replaces the reading; the serial moves on so the view redraws.
  void Set(qv::workshop::Reading r) {
    r.serial = reading.serial + 1;
    reading = r;
  }

  std::vector<qv::workshop::MeasurementLook> looks;
  qv::workshop::Reading reading;
  qv::workshop::ViewChoices choices;
  qv::workshop::ZeroOutcome zeroOutcome;  // what the next Zero gives
  std::string notStored;                  // why the offsets could not be kept, "" when they could
  bool held = false;
  bool zeroed = false;
  int resets = 0;
  int restarts = 0;
};

}  // namespace wstest
