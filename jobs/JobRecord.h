#pragma once
// A job on record: the vehicle, who did it for whom, and the readings taken
// before and after the work. Plain C++; the values are in the unit shown when
// they were taken.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "WorkshopReading.h"

namespace qv::jobs {

// Which of a job's two captures.
enum class CaptureKind { Before, After };

struct CylinderValue {
  double absolute = 0;    // D(c) as shown, mean over the capture's window
  double difference = 0;  // to the reference, as shown
  double scatter = 0;     // the steadiness: the largest scatter shown during the window
  bool inside = false;    // the mean difference within the tolerance band
  bool operator==(const CylinderValue&) const = default;
};

// The readings as shown, averaged over the last few seconds.
struct Capture {
  std::string taken;  // local date and time, "2026-12-09 10:15:02"
  workshop::Unit unit = workshop::Unit::MilliBar;
  workshop::ReferenceKind referenceKind = workshop::ReferenceKind::Mean;
  int referenceCylinder = 0;
  double reference = 0;
  double tolerance = 0;
  int channelCount = 4;  // 2 in pair mode
  std::array<CylinderValue, 4> cylinders{};
  double window = 0;  // the seconds averaged
  [[nodiscard]] bool InSync() const {
    for (int c = 0; c < channelCount; ++c)
      if (!cylinders[static_cast<std::size_t>(c)].inside) return false;
    return true;
  }
  // The largest scatter of any channel.
  [[nodiscard]] double Steadiness() const {
    double worst = 0;
    for (int c = 0; c < channelCount; ++c) worst = std::max(worst, cylinders[static_cast<std::size_t>(c)].scatter);
    return worst;
  }
  bool operator==(const Capture&) const = default;
};

struct Vehicle {
  std::string make;
  std::string model;
  std::string registration;  // or, when there is none, the VIN below
  std::string vin;
  std::string odometer;  // as typed: "123 456 km"
  bool operator==(const Vehicle&) const = default;
};

struct Job {
  std::int64_t id = 0;  // 0 until saved
  std::string created;  // local date and time the job was first saved
  Vehicle vehicle;
  std::string customer;
  std::string mechanic;
  std::string notes;
  double engineSeconds = 0;  // how long the engine ran with readings during the job
  std::optional<Capture> before;
  std::optional<Capture> after;
  std::string reportPath;  // the last report written, empty when none
  bool operator==(const Job&) const = default;
};

// What a job's list shows.
struct JobSummary {
  std::int64_t id = 0;
  std::string created;
  Vehicle vehicle;
  std::string customer;
  std::string mechanic;
  bool hasBefore = false;
  bool hasAfter = false;
  bool afterInSync = false;
  std::string reportPath;
};

}  // namespace qv::jobs
