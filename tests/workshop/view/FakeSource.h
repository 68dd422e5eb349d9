#pragma once
// A stand-in for the calculation behind the workshop view: gives the reading
// a test sets and records what the view handed over.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "WorkshopSource.h"

namespace wstest {

class FakeSource : public qv::workshop::WorkshopSource {
 public:
  void AddMaxima(double seconds, const std::array<std::int32_t, 4>& maxima) override {
    added.push_back({seconds, maxima});
  }
  qv::workshop::Reading Read(double, bool portOpen) override {
    ++reads;
    lastPortOpen = portOpen;
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
  bool Zero(std::string& why) override {
    if (!zeroAllowed) why = "refused";
    zeroed = zeroAllowed;
    return zeroAllowed;
  }
  void ClearZero() override { zeroed = false; }
  // Replaces the reading; the serial moves on so the view redraws.
  void Set(qv::workshop::Reading r) {
    r.serial = reading.serial + 1;
    reading = r;
  }

  struct Added {
    double seconds;
    std::array<std::int32_t, 4> maxima;
  };
  std::vector<Added> added;
  qv::workshop::Reading reading;
  qv::workshop::ViewChoices choices;
  bool held = false;
  bool zeroed = false;
  bool zeroAllowed = true;
  bool lastPortOpen = false;
  int reads = 0;
  int resets = 0;
};

}  // namespace wstest
