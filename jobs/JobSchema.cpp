// Opening the job database: telling a damaged or foreign file from ours before
// anything is written, the schema's migrations, and moving a bad file aside.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>
#include <system_error>

#include "AppPaths.h"
#include "JobDatabase.h"
#include "SqliteStatement.h"

namespace qv::jobs {
namespace {

namespace fs = std::filesystem;

// PRAGMA application_id of this program's job database: "QVJB".
constexpr std::int64_t kApplicationId = 0x51564A42;
// A writer holding the file is waited for this long before giving up.
constexpr int kBusyMilliseconds = 15000;

// Each step brings a file from the version before it to its own.
constexpr const char* kMigrations[] = {
    // 1: jobs, their captures and each capture's cylinders.
    "CREATE TABLE jobs ("
    " id INTEGER PRIMARY KEY, created TEXT NOT NULL,"
    " make TEXT NOT NULL, model TEXT NOT NULL, registration TEXT NOT NULL, odometer TEXT NOT NULL,"
    " customer TEXT NOT NULL, mechanic TEXT NOT NULL, notes TEXT NOT NULL,"
    " engine_seconds REAL NOT NULL, report_path TEXT NOT NULL);"
    "CREATE TABLE captures ("
    " job_id INTEGER NOT NULL REFERENCES jobs(id) ON DELETE CASCADE, kind INTEGER NOT NULL CHECK (kind IN (0, 1)),"
    " taken TEXT NOT NULL, unit TEXT NOT NULL, reference_kind INTEGER NOT NULL, reference_cylinder INTEGER NOT NULL,"
    " reference REAL NOT NULL, tolerance REAL NOT NULL, channel_count INTEGER NOT NULL, window REAL NOT NULL,"
    " PRIMARY KEY (job_id, kind));"
    "CREATE TABLE cylinders ("
    " job_id INTEGER NOT NULL, kind INTEGER NOT NULL, cylinder INTEGER NOT NULL,"
    " absolute REAL NOT NULL, difference REAL NOT NULL, scatter REAL NOT NULL, inside INTEGER NOT NULL,"
    " PRIMARY KEY (job_id, kind, cylinder),"
    " FOREIGN KEY (job_id, kind) REFERENCES captures(job_id, kind) ON DELETE CASCADE);",
    // 2: the VIN beside the registration, and what the history looks up by.
    "ALTER TABLE jobs ADD COLUMN vin TEXT NOT NULL DEFAULT '';"
    "CREATE INDEX jobs_registration ON jobs (registration COLLATE NOCASE);"
    "CREATE INDEX jobs_vin ON jobs (vin COLLATE NOCASE);",
};
static_assert(std::size(kMigrations) == kSchemaVersion);

std::int64_t PragmaInt(sqlite3* db, const char* sql) {
  Statement s(db, sql);
  return s.Step() ? s.Int(0) : 0;
}

bool LooksLikeSqlite(const fs::path& path, std::string& detail) {
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  if (ec) {
    detail = ec.message();
    return false;
  }
  if (size == 0) return true;  // an empty file is an empty database
  std::ifstream in(path, std::ios::binary);
  char head[16] = {};
  in.read(head, sizeof head);
  if (in.gcount() != sizeof head || std::memcmp(head, "SQLite format 3", 16) != 0) {
    detail = "not an SQLite database file";
    return false;
  }
  return true;
}

std::string Stamp() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &tm);
  return buf;
}

// Moves `from` to `to` without ever replacing a file at `to`.
bool MoveNoReplace(const fs::path& from, const fs::path& to) {
  if (::link(from.c_str(), to.c_str()) != 0) {
    if (errno == EEXIST) return false;
    throw DatabaseError(to.string() + ": " + std::strerror(errno));
  }
  if (::unlink(from.c_str()) != 0) throw DatabaseError(from.string() + ": " + std::strerror(errno));
  return true;
}

}  // namespace

fs::path JobDatabase::DefaultPath() { return UserDataDir() / "jobs.sqlite"; }

std::unique_ptr<JobDatabase> JobDatabase::Open(const fs::path& path, OpenResult& result) {
  result = {};
  std::error_code ec;
  const bool exists = fs::exists(path, ec);
  if (exists && !LooksLikeSqlite(path, result.detail)) {
    result.status = OpenStatus::kDamaged;
    return nullptr;
  }
  if (!exists && !path.parent_path().empty()) fs::create_directories(path.parent_path(), ec);

  sqlite3* raw = nullptr;
  const int flags = SQLITE_OPEN_READWRITE | (exists ? 0 : SQLITE_OPEN_CREATE);
  if (sqlite3_open_v2(path.c_str(), &raw, flags, nullptr) != SQLITE_OK) {
    result.status = OpenStatus::kFailed;
    result.detail = raw ? sqlite3_errmsg(raw) : "out of memory";
    sqlite3_close(raw);
    return nullptr;
  }
  std::unique_ptr<JobDatabase> db(new JobDatabase(raw, path));
  sqlite3_busy_timeout(raw, kBusyMilliseconds);
  try {
    // Read only, until the file is known to be ours.
    const std::int64_t appId = PragmaInt(raw, "PRAGMA application_id");
    const std::int64_t version = PragmaInt(raw, "PRAGMA user_version");
    const std::int64_t objects = PragmaInt(raw, "SELECT count(*) FROM sqlite_schema");
    if (appId != kApplicationId && (objects != 0 || version != 0 || appId != 0)) {
      result.status = OpenStatus::kForeign;
      result.detail = "application id " + std::to_string(appId) + ", " + std::to_string(objects) + " schema objects";
      return nullptr;
    }
    if (version > kSchemaVersion) {
      result.status = OpenStatus::kTooNew;
      result.detail = "schema version " + std::to_string(version);
      return nullptr;
    }
    if (objects != 0) {
      Statement check(raw, "PRAGMA quick_check");
      const std::string first = check.Step() ? check.Text(0) : std::string("no answer");
      if (first != "ok") {
        result.status = OpenStatus::kDamaged;
        result.detail = first;
        return nullptr;
      }
    }
    db->Exec("PRAGMA journal_mode = WAL");
    // Every commit reaches the disk before Save returns.
    db->Exec("PRAGMA synchronous = FULL");
    db->Exec("PRAGMA foreign_keys = ON");
    db->Migrate();
  } catch (const DatabaseError& e) {
    const int code = sqlite3_errcode(raw);
    result.status = code == SQLITE_NOTADB || code == SQLITE_CORRUPT ? OpenStatus::kDamaged : OpenStatus::kFailed;
    result.detail = e.what();
    return nullptr;
  }
  return db;
}

void JobDatabase::Migrate() {
  if (PragmaInt(db_, "PRAGMA user_version") == kSchemaVersion) return;
  WriteTransaction t(db_);
  // Read again under the write lock: another program may just have done it.
  const std::int64_t version = PragmaInt(db_, "PRAGMA user_version");
  for (std::int64_t v = version; v < kSchemaVersion; ++v) Exec(kMigrations[v]);
  Exec(("PRAGMA application_id = " + std::to_string(kApplicationId)).c_str());
  Exec(("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
  t.Commit();
}

int JobDatabase::SchemaVersion() const { return static_cast<int>(PragmaInt(db_, "PRAGMA user_version")); }

void JobDatabase::Exec(const char* sql) const {
  char* error = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string text = error ? error : sqlite3_errmsg(db_);
    sqlite3_free(error);
    throw DatabaseError(text);
  }
}

JobDatabase::~JobDatabase() { sqlite3_close_v2(db_); }

fs::path JobDatabase::SetAside(const fs::path& path) {
  const std::string base = path.string() + ".damaged-" + Stamp();
  fs::path target;
  for (int n = 1;; ++n) {
    target = n == 1 ? fs::path(base) : fs::path(base + "-" + std::to_string(n));
    if (MoveNoReplace(path, target)) break;
    if (n > 1000) throw DatabaseError(target.string() + ": exists");
  }
  std::error_code ec;
  for (const char* log : {"-wal", "-shm", "-journal"}) {
    const fs::path from = path.string() + log;
    if (fs::exists(from, ec)) MoveNoReplace(from, target.string() + log);
  }
  return target;
}

}  // namespace qv::jobs
