// The job database's reads and writes; opening and the schema are in JobSchema.cpp.
#include "JobDatabase.h"

#include <ctime>

#include "SqliteStatement.h"
#include "Units.h"

namespace qv::jobs {
namespace {

std::string LocalNow() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
  return buf;
}

// A LIKE pattern matching `text` anywhere, its own % and _ taken literally.
std::string Contains(const std::string& text) {
  std::string p = "%";
  for (char ch : text) {
    if (ch == '%' || ch == '_' || ch == '\\') p += '\\';
    p += ch;
  }
  return p + "%";
}

constexpr const char* kJobColumns =
    "id, created, make, model, registration, vin, odometer, customer, mechanic, notes, engine_seconds, report_path";

Job JobFromRow(const Statement& s) {
  Job j;
  j.id = s.Int(0);
  j.created = s.Text(1);
  j.vehicle = {s.Text(2), s.Text(3), s.Text(4), s.Text(5), s.Text(6)};
  j.customer = s.Text(7);
  j.mechanic = s.Text(8);
  j.notes = s.Text(9);
  j.engineSeconds = s.Double(10);
  j.reportPath = s.Text(11);
  return j;
}

void InsertCapture(sqlite3* db, std::int64_t id, int kind, const Capture& c) {
  Statement s(db,
              "INSERT INTO captures (job_id, kind, taken, unit, reference_kind, reference_cylinder, reference,"
              " tolerance, channel_count, window) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)");
  s.Bind(1, id).Bind(2, kind).Bind(3, c.taken).Bind(4, workshop::UnitKey(c.unit));
  s.Bind(5, static_cast<int>(c.referenceKind)).Bind(6, c.referenceCylinder).Bind(7, c.reference);
  s.Bind(8, c.tolerance).Bind(9, c.channelCount).Bind(10, c.window);
  s.Run();
  Statement cyl(db,
                "INSERT INTO cylinders (job_id, kind, cylinder, absolute, difference, scatter, inside)"
                " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
  for (int i = 0; i < 4; ++i) {
    const CylinderValue& v = c.cylinders[static_cast<std::size_t>(i)];
    cyl.Reset();
    cyl.Bind(1, id).Bind(2, kind).Bind(3, i).Bind(4, v.absolute).Bind(5, v.difference).Bind(6, v.scatter);
    cyl.Bind(7, v.inside);
    cyl.Run();
  }
}

}  // namespace

void JobDatabase::Save(Job& job) {
  WriteTransaction t(db_);
  std::int64_t id = job.id;
  const std::string created = job.created.empty() ? LocalNow() : job.created;
  if (id == 0) {
    Statement s(db_,
                "INSERT INTO jobs (created, make, model, registration, vin, odometer, customer, mechanic, notes,"
                " engine_seconds, report_path) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
    s.Bind(1, created).Bind(2, job.vehicle.make).Bind(3, job.vehicle.model).Bind(4, job.vehicle.registration);
    s.Bind(5, job.vehicle.vin).Bind(6, job.vehicle.odometer).Bind(7, job.customer).Bind(8, job.mechanic);
    s.Bind(9, job.notes).Bind(10, job.engineSeconds).Bind(11, job.reportPath);
    s.Run();
    id = sqlite3_last_insert_rowid(db_);
  } else {
    Statement s(db_,
                "UPDATE jobs SET created = ?2, make = ?3, model = ?4, registration = ?5, vin = ?6, odometer = ?7,"
                " customer = ?8, mechanic = ?9, notes = ?10, engine_seconds = ?11, report_path = ?12 WHERE id = ?1");
    s.Bind(1, id).Bind(2, created).Bind(3, job.vehicle.make).Bind(4, job.vehicle.model);
    s.Bind(5, job.vehicle.registration).Bind(6, job.vehicle.vin).Bind(7, job.vehicle.odometer);
    s.Bind(8, job.customer).Bind(9, job.mechanic).Bind(10, job.notes).Bind(11, job.engineSeconds);
    s.Bind(12, job.reportPath);
    s.Run();
    if (sqlite3_changes(db_) != 1) throw DatabaseError("job " + std::to_string(id) + " is not on record");
    Statement del(db_, "DELETE FROM captures WHERE job_id = ?1");
    del.Bind(1, id).Run();
  }
  if (job.before) InsertCapture(db_, id, 0, *job.before);
  if (job.after) InsertCapture(db_, id, 1, *job.after);
  t.Commit();
  job.id = id;
  job.created = created;
}

void JobDatabase::SetReportPath(std::int64_t id, const std::string& path) {
  WriteTransaction t(db_);
  Statement s(db_, "UPDATE jobs SET report_path = ?2 WHERE id = ?1");
  s.Bind(1, id).Bind(2, path).Run();
  t.Commit();
}

void JobDatabase::LoadCaptures(Job& job) const {
  Statement s(db_,
              "SELECT kind, taken, unit, reference_kind, reference_cylinder, reference, tolerance, channel_count,"
              " window FROM captures WHERE job_id = ?1");
  s.Bind(1, job.id);
  while (s.Step()) {
    Capture c;
    c.taken = s.Text(1);
    c.unit = workshop::UnitFromKey(s.Text(2)).value_or(workshop::Unit::MilliBar);
    const auto kind = s.Int(3);
    c.referenceKind =
        kind >= 0 && kind <= 2 ? static_cast<workshop::ReferenceKind>(kind) : workshop::ReferenceKind::Mean;
    c.referenceCylinder = static_cast<int>(s.Int(4));
    c.reference = s.Double(5);
    c.tolerance = s.Double(6);
    c.channelCount = s.Int(7) == 2 ? 2 : 4;
    c.window = s.Double(8);
    Statement cyl(db_,
                  "SELECT cylinder, absolute, difference, scatter, inside FROM cylinders"
                  " WHERE job_id = ?1 AND kind = ?2");
    cyl.Bind(1, job.id).Bind(2, s.Int(0));
    while (cyl.Step()) {
      const auto i = cyl.Int(0);
      if (i < 0 || i > 3) continue;
      c.cylinders[static_cast<std::size_t>(i)] = {cyl.Double(1), cyl.Double(2), cyl.Double(3), cyl.Int(4) != 0};
    }
    (s.Int(0) == 0 ? job.before : job.after) = c;
  }
}

std::optional<Job> JobDatabase::Load(std::int64_t id) const {
  Statement s(db_, (std::string("SELECT ") + kJobColumns + " FROM jobs WHERE id = ?1").c_str());
  s.Bind(1, id);
  if (!s.Step()) return std::nullopt;
  Job job = JobFromRow(s);
  LoadCaptures(job);
  return job;
}

std::vector<JobSummary> JobDatabase::List(const std::string& search, int limit) const {
  Statement s(db_,
              "SELECT j.id, j.created, j.make, j.model, j.registration, j.vin, j.odometer, j.customer, j.mechanic,"
              " j.report_path, (SELECT count(*) FROM captures c WHERE c.job_id = j.id AND c.kind = 0),"
              " (SELECT count(*) FROM captures c WHERE c.job_id = j.id AND c.kind = 1),"
              " (SELECT count(*) = 0 FROM cylinders y JOIN captures c ON c.job_id = y.job_id AND c.kind = y.kind"
              "  WHERE y.job_id = j.id AND y.kind = 1 AND y.cylinder < c.channel_count AND y.inside = 0)"
              " FROM jobs j WHERE ?1 = '' OR j.registration LIKE ?2 ESCAPE '\\' OR j.vin LIKE ?2 ESCAPE '\\'"
              " OR j.make LIKE ?2 ESCAPE '\\' OR j.customer LIKE ?2 ESCAPE '\\'"
              " ORDER BY j.id DESC LIMIT ?3");
  s.Bind(1, search).Bind(2, Contains(search)).Bind(3, limit);
  std::vector<JobSummary> out;
  while (s.Step()) {
    JobSummary j;
    j.id = s.Int(0);
    j.created = s.Text(1);
    j.vehicle = {s.Text(2), s.Text(3), s.Text(4), s.Text(5), s.Text(6)};
    j.customer = s.Text(7);
    j.mechanic = s.Text(8);
    j.reportPath = s.Text(9);
    j.hasBefore = s.Int(10) != 0;
    j.hasAfter = s.Int(11) != 0;
    j.afterInSync = j.hasAfter && s.Int(12) != 0;
    out.push_back(std::move(j));
  }
  return out;
}

std::vector<Job> JobDatabase::All() const {
  Statement s(db_, (std::string("SELECT ") + kJobColumns + " FROM jobs ORDER BY id").c_str());
  std::vector<Job> out;
  while (s.Step()) out.push_back(JobFromRow(s));
  for (Job& j : out) LoadCaptures(j);
  return out;
}

std::optional<Job> JobDatabase::Previous(const std::string& registration, std::int64_t except) const {
  if (registration.empty()) return std::nullopt;
  Statement s(db_,
              "SELECT id FROM jobs WHERE (registration = ?1 COLLATE NOCASE OR (vin <> '' AND vin = ?1 COLLATE NOCASE))"
              " AND id <> ?2 ORDER BY id DESC LIMIT 1");
  s.Bind(1, registration).Bind(2, except);
  if (!s.Step()) return std::nullopt;
  return Load(s.Int(0));
}

std::vector<Vehicle> JobDatabase::Vehicles(const std::string& prefix, int limit) const {
  std::string pattern;
  for (char ch : prefix) {
    if (ch == '%' || ch == '_' || ch == '\\') pattern += '\\';
    pattern += ch;
  }
  pattern += '%';
  Statement s(db_,
              "SELECT make, model, registration, vin, odometer FROM jobs WHERE id IN ("
              " SELECT max(id) FROM jobs WHERE registration LIKE ?1 ESCAPE '\\' OR vin LIKE ?1 ESCAPE '\\'"
              " GROUP BY upper(registration), upper(vin)) ORDER BY id DESC LIMIT ?2");
  s.Bind(1, pattern).Bind(2, limit);
  std::vector<Vehicle> out;
  while (s.Step()) out.push_back({s.Text(0), s.Text(1), s.Text(2), s.Text(3), s.Text(4)});
  return out;
}

int JobDatabase::Count() const {
  Statement s(db_, "SELECT count(*) FROM jobs");
  return s.Step() ? static_cast<int>(s.Int(0)) : 0;
}

}  // namespace qv::jobs
