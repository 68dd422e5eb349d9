#include "JobCsv.h"

#include <cstdio>

#include "Units.h"

namespace qv::jobs {
namespace {

std::string Num(double v) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.3f", v);
  return buf;
}

}  // namespace

std::string CsvField(const std::string& text) {
  std::string t = text;
  if (!t.empty() && (t[0] == '=' || t[0] == '+' || t[0] == '-' || t[0] == '@' || t[0] == '\t' || t[0] == '\r'))
    t.insert(0, 1, '\'');
  if (t.find_first_of(",\"\r\n;") == std::string::npos) return t;
  std::string q = "\"";
  for (char c : t) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + "\"";
}

std::string JobCsvHeader() {
  return "job,created,make,model,registration,vin,odometer,customer,mechanic,engine_seconds,cylinder,unit,"
         "reference,tolerance,before_taken,before_absolute,before_difference,before_inside,after_taken,"
         "after_absolute,after_difference,after_inside,after_in_sync\r\n";
}

std::string JobCsvLines(const Job& job) {
  const Capture* any = job.after ? &*job.after : job.before ? &*job.before : nullptr;
  const int channels = any ? any->channelCount : 4;
  std::string out;
  for (int i = 0; i < channels; ++i) {
    const auto ci = static_cast<std::size_t>(i);
    std::string line = std::to_string(job.id) + "," + CsvField(job.created) + "," + CsvField(job.vehicle.make) + "," +
                       CsvField(job.vehicle.model) + "," + CsvField(job.vehicle.registration) + "," +
                       CsvField(job.vehicle.vin) + "," + CsvField(job.vehicle.odometer) + "," + CsvField(job.customer) +
                       "," + CsvField(job.mechanic) + "," + Num(job.engineSeconds) + ",";
    line += (channels == 2 ? std::string(i == 0 ? "1+2" : "3+4") : std::to_string(i + 1)) + ",";
    line += any ? std::string(workshop::UnitKey(any->unit)) + "," + Num(any->reference) + "," + Num(any->tolerance)
                : std::string(",,");
    for (const auto* c : {&job.before, &job.after}) {
      line += ",";
      if (*c) {
        const CylinderValue& v = (**c).cylinders[ci];
        line += CsvField((**c).taken) + "," + Num(v.absolute) + "," + Num(v.difference) + "," + (v.inside ? "1" : "0");
      } else {
        line += ",,,";
      }
    }
    line += ",";
    if (job.after) line += job.after->InSync() ? "1" : "0";
    out += line + "\r\n";
  }
  return out;
}

}  // namespace qv::jobs
