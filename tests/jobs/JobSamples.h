#pragma once
// Jobs and readings for the job tests.
#include <string>

#include "JobRecord.h"
#include "WorkshopReading.h"

namespace qvtest {

// A live, settled reading with these differences to a reference of -250 mBar.
inline qv::workshop::Reading SettledReading(double d1, double d2, double d3, double d4, double scatter = 0.5) {
  qv::workshop::Reading r;
  r.status = qv::workshop::Status::Live;
  r.reference = -250;
  r.tolerance = 10;
  r.settled = true;
  const double d[4] = {d1, d2, d3, d4};
  for (int i = 0; i < 4; ++i) {
    r.channels[static_cast<std::size_t>(i)].difference = d[i];
    r.channels[static_cast<std::size_t>(i)].absolute = -250 + d[i];
    r.channels[static_cast<std::size_t>(i)].scatter = scatter;
  }
  return r;
}

inline qv::jobs::Capture SampleCapture(double spread, const std::string& taken) {
  qv::jobs::Capture c;
  c.taken = taken;
  c.reference = -251.5;
  c.tolerance = 10;
  c.window = 3;
  for (int i = 0; i < 4; ++i) {
    const double d = spread * (i - 1.5);
    c.cylinders[static_cast<std::size_t>(i)] = {-251.5 + d, d, 0.25 * (i + 1), d <= 10 && d >= -10};
  }
  return c;
}

inline qv::jobs::Job SampleJob(const std::string& registration, const std::string& customer = "Werkstatt Kunde") {
  qv::jobs::Job j;
  j.vehicle = {"Honda", "CB 750 Four", registration, "JH2RC01234567", "48 213 km"};
  j.customer = customer;
  j.mechanic = "A. Schrauber";
  j.notes = "Vergaser gereinigt";
  j.engineSeconds = 312.5;
  j.before = SampleCapture(14, "2026-12-09 09:00:00");
  j.after = SampleCapture(3, "2026-12-09 09:20:00");
  return j;
}

}  // namespace qvtest
