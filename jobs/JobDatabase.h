#pragma once
// The history of every job, in an SQLite file (by default
// $XDG_DATA_HOME/quorvel/jobs.sqlite). Several connections, in this process or
// others, may use one file at once: write-ahead logging lets readers go on
// while one writes, and a busy writer is waited for rather than reported.
// Each job is saved in one transaction, so a crash loses at most the job
// being saved. What a user typed only ever reaches SQL as a bound parameter.
//
// A file that is not this program's database, or is damaged, is never
// written: Open says what is wrong, and SetAside moves it (with its log) out
// of the way when the user agrees, so that a new one can be started.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "JobRecord.h"

struct sqlite3;

namespace qv::jobs {

// The schema this program writes; older files are brought up to it.
inline constexpr int kSchemaVersion = 2;

enum class OpenStatus {
  kOk,
  kDamaged,  // not an SQLite file, or one SQLite finds damaged
  kForeign,  // an SQLite database of some other program
  kTooNew,   // written by a newer version of this program
  kFailed,   // could not be opened or created at all (rights, disk)
};

struct OpenResult {
  OpenStatus status = OpenStatus::kOk;
  std::string detail;  // SQLite's or the system's words, for the message
};

// A failure while working on an opened database.
class DatabaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class JobDatabase {
 public:
  ~JobDatabase();
  JobDatabase(const JobDatabase&) = delete;
  JobDatabase& operator=(const JobDatabase&) = delete;

  // $XDG_DATA_HOME/quorvel/jobs.sqlite.
  [[nodiscard]] static std::filesystem::path DefaultPath();

  // Opens the database at `path`, creating it (and its folder) when there is
  // no file yet. Null, with `result` saying why, when the file is damaged,
  // foreign, too new or cannot be opened; such a file is left as it was.
  [[nodiscard]] static std::unique_ptr<JobDatabase> Open(const std::filesystem::path& path, OpenResult& result);

  // Moves the file at `path` and its log files aside, to
  // "<name>.damaged-YYYYMMDD-HHMMSS" (a number added where that exists), and
  // returns the new name. Nothing is deleted or replaced. Throws DatabaseError.
  static std::filesystem::path SetAside(const std::filesystem::path& path);

  // Saves the job in one transaction: a new one (id 0) gets its id and
  // creation time filled in; a saved one is replaced whole.
  void Save(Job& job);
  void SetReportPath(std::int64_t id, const std::string& path);

  [[nodiscard]] std::optional<Job> Load(std::int64_t id) const;
  // The jobs newest first, those whose registration, make or customer contain
  // `search` (any case; all when empty), at most `limit`.
  [[nodiscard]] std::vector<JobSummary> List(const std::string& search = {}, int limit = -1) const;
  // Every job, oldest first, whole (for the export).
  [[nodiscard]] std::vector<Job> All() const;
  // The newest job of the vehicle with this registration (or VIN), other than
  // `except`: "last time".
  [[nodiscard]] std::optional<Job> Previous(const std::string& registration, std::int64_t except = 0) const;
  // Known vehicles whose registration or VIN starts with `prefix`, newest first.
  [[nodiscard]] std::vector<Vehicle> Vehicles(const std::string& prefix, int limit = 10) const;
  [[nodiscard]] int Count() const;
  [[nodiscard]] int SchemaVersion() const;
  [[nodiscard]] const std::filesystem::path& Path() const { return path_; }

 private:
  JobDatabase(sqlite3* db, std::filesystem::path path) : db_(db), path_(std::move(path)) {}
  void Exec(const char* sql) const;
  void Migrate();
  void LoadCaptures(Job& job) const;

  sqlite3* db_;
  std::filesystem::path path_;
};

}  // namespace qv::jobs
