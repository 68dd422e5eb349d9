#include "JobFormat.h"

#include <cmath>

#include "JobTexts.h"
#include "NumberFormat.h"
#include "Units.h"
#include "WorkshopTexts.h"

namespace qv::jobs {

std::string Number(double value, workshop::Unit unit, Language lang, bool sign) {
  workshop::NumberStyle style;
  style.decimalSeparator = lang == Language::German ? "," : ".";
  style.withSign = sign;
  return workshop::FormatValue(value, unit, style);
}

std::string ScatterNumber(double value, workshop::Unit unit, Language lang) {
  workshop::NumberStyle style;
  style.decimalSeparator = lang == Language::German ? "," : ".";
  style.extraDecimals = 1;
  return workshop::FormatValue(value, unit, style);
}

std::string ChannelName(const Capture& c, int channel, Language lang) {
  if (c.channelCount == 2) return JobText(JobTextId::kPair, lang, {channel == 0 ? "1+2" : "3+4"});
  return JobText(JobTextId::kCylinderShort, lang, {std::to_string(channel + 1)});
}

std::string ReferenceName(const Capture& c, Language lang) {
  using workshop::ReferenceKind;
  switch (c.referenceKind) {
    case ReferenceKind::Mean: return std::string(workshop::Text(workshop::TextId::kMean, lang));
    case ReferenceKind::Midpoint: return std::string(workshop::Text(workshop::TextId::kMidpoint, lang));
    case ReferenceKind::Cylinder: break;
  }
  const std::string which =
      c.channelCount == 2 ? (c.referenceCylinder == 0 ? "1+2" : "3+4") : std::to_string(c.referenceCylinder + 1);
  return FillText(workshop::Text(workshop::TextId::kCylinderLong, lang), {which});
}

std::string Duration(double seconds, Language lang) {
  const long total = std::lround(std::max(0.0, seconds));
  return JobText(JobTextId::kMinutes, lang, {std::to_string(total / 60), std::to_string(total % 60)});
}

std::string VehicleLine(const Vehicle& v) {
  std::string line = v.make;
  if (!v.model.empty()) line += (line.empty() ? "" : " ") + v.model;
  const std::string& id = v.registration.empty() ? v.vin : v.registration;
  if (!id.empty()) line += (line.empty() ? "" : ", ") + id;
  return line;
}

namespace {

void CaptureLines(std::string& out, const char* indent, const std::optional<Capture>& c, JobTextId name,
                  Language lang) {
  out += std::string(JobText(name, lang)) + ": ";
  if (!c) {
    out += std::string(JobText(JobTextId::kNotTaken, lang)) + "\n";
    return;
  }
  const std::string unit(workshop::UnitLabel(c->unit));
  out += c->taken + ", " + std::string(JobText(JobTextId::kReference, lang)) + " " + ReferenceName(*c, lang) + " " +
         Number(c->reference, c->unit, lang) + " " + unit + ", " + std::string(JobText(JobTextId::kTolerance, lang)) +
         " ±" + Number(c->tolerance, c->unit, lang) + " " + unit + "\n";
  for (int i = 0; i < c->channelCount; ++i) {
    const CylinderValue& v = c->cylinders[static_cast<std::size_t>(i)];
    out += indent + ChannelName(*c, i, lang) + ": " + Number(v.absolute, c->unit, lang) + " " + unit + "  " +
           Number(v.difference, c->unit, lang, true) + " " + unit + "  " +
           std::string(JobText(v.inside ? JobTextId::kInside : JobTextId::kOutside, lang)) + "\n";
  }
  out += indent + std::string(JobText(JobTextId::kSteadiness, lang)) + ": " + Number(c->Steadiness(), c->unit, lang) +
         " " + unit + "\n";
  out += indent + std::string(JobText(JobTextId::kVerdict, lang)) + ": " +
         std::string(JobText(c->InSync() ? JobTextId::kInSync : JobTextId::kNotInSync, lang)) + "\n";
}

}  // namespace

std::string ShowText(const Job& job, Language lang) {
  auto field = [&](JobTextId id, const std::string& value) {
    return std::string(JobText(id, lang)) + ": " + value + "\n";
  };
  std::string out = JobText(JobTextId::kJob, lang, {std::to_string(job.id)}) + "\n";
  out += field(JobTextId::kDate, job.created);
  out += field(JobTextId::kVehicle, job.vehicle.make + " " + job.vehicle.model);
  out += field(JobTextId::kRegistration, job.vehicle.registration);
  out += field(JobTextId::kVin, job.vehicle.vin);
  out += field(JobTextId::kOdometer, job.vehicle.odometer);
  out += field(JobTextId::kCustomer, job.customer);
  out += field(JobTextId::kMechanic, job.mechanic);
  out += field(JobTextId::kEngineTime, Duration(job.engineSeconds, lang));
  CaptureLines(out, "  ", job.before, JobTextId::kBefore, lang);
  CaptureLines(out, "  ", job.after, JobTextId::kAfter, lang);
  out += field(JobTextId::kNotes, job.notes);
  out += field(JobTextId::kReportFile, job.reportPath);
  return out;
}

}  // namespace qv::jobs
