// The job database: round trips, search, "last time", the schema's migration,
// hostile text, and files that are not ours or are damaged.
#include <sqlite3.h>

#include <gtest/gtest.h>

#include "JobDatabase.h"
#include "JobSamples.h"
#include "JobTexts.h"
#include "support/TestEnv.h"

namespace {

using qv::jobs::Job;
using qv::jobs::JobDatabase;
using qv::jobs::OpenResult;
using qv::jobs::OpenStatus;
using qvtest::SampleJob;

std::unique_ptr<JobDatabase> OpenOk(const std::filesystem::path& p) {
  OpenResult r;
  auto db = JobDatabase::Open(p, r);
  EXPECT_EQ(r.status, OpenStatus::kOk) << r.detail;
  return db;
}

void RunSql(const std::filesystem::path& p, const char* sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(p.c_str(), &db), SQLITE_OK);
  char* err = nullptr;
  EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
  sqlite3_free(err);
  sqlite3_close(db);
}

TEST(JobDatabase, SavedJobsComeBackWholeAndReplaceWhole) {
  qvtest::ScratchDir dir;
  auto db = OpenOk(dir / "sub" / "jobs.sqlite");  // the folder is made
  ASSERT_TRUE(db);
  EXPECT_EQ(db->SchemaVersion(), qv::jobs::kSchemaVersion);
  Job job = SampleJob("HH-QV 77");
  db->Save(job);
  EXPECT_GT(job.id, 0);
  EXPECT_FALSE(job.created.empty());
  auto back = db->Load(job.id);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, job);

  job.after.reset();  // a saved job is replaced, its old "Nachher" goes
  job.notes = "zweiter Versuch";
  job.before->cylinders[2].inside = false;
  db->Save(job);
  back = db->Load(job.id);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, job);
  EXPECT_EQ(db->Count(), 1);

  db->SetReportPath(job.id, "/tmp/bericht.pdf");
  EXPECT_EQ(db->Load(job.id)->reportPath, "/tmp/bericht.pdf");
  EXPECT_FALSE(db->Load(job.id + 100));

  Job ghost = SampleJob("X");
  ghost.id = 999;
  EXPECT_THROW(db->Save(ghost), qv::jobs::DatabaseError);
  EXPECT_EQ(db->Count(), 1);
}

TEST(JobDatabase, ListSearchesAndKnowsVehicles) {
  qvtest::ScratchDir dir;
  auto db = OpenOk(dir / "jobs.sqlite");
  ASSERT_TRUE(db);
  Job a = SampleJob("HH-AB 1", "Müller");
  Job b = SampleJob("B-CD 22", "Schmidt 100%");
  b.vehicle.make = "Kawasaki";
  b.after->cylinders[0].inside = false;
  Job c = SampleJob("hh-ab 1", "Müller");  // the same vehicle again, typed otherwise
  c.after.reset();
  db->Save(a);
  db->Save(b);
  db->Save(c);

  const auto all = db->List();
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].id, c.id);  // newest first
  EXPECT_FALSE(all[0].hasAfter);
  EXPECT_FALSE(all[1].afterInSync);
  EXPECT_TRUE(all[2].afterInSync);

  EXPECT_EQ(db->List("HH-ab").size(), 2u);
  EXPECT_EQ(db->List("kawa").size(), 1u);
  EXPECT_EQ(db->List("100%").size(), 1u);
  EXPECT_EQ(db->List("0%").size(), 1u);  // % is a character here, not a wildcard
  EXPECT_EQ(db->List("%").size(), 1u);
  EXPECT_EQ(db->List("_").size(), 0u);
  EXPECT_EQ(db->List("JH2RC").size(), 3u);  // the VIN too
  EXPECT_EQ(db->List({}, 2).size(), 2u);

  const auto prev = db->Previous("HH-AB 1", c.id);
  ASSERT_TRUE(prev);
  EXPECT_EQ(prev->id, a.id);
  EXPECT_EQ(prev->after, a.after);
  EXPECT_EQ(db->Previous("HH-AB 1")->id, c.id);
  EXPECT_FALSE(db->Previous("nobody"));
  EXPECT_FALSE(db->Previous(""));

  const auto known = db->Vehicles("hh");
  ASSERT_EQ(known.size(), 1u);  // one vehicle, however it was typed
  EXPECT_EQ(known[0].registration, "hh-ab 1");
  EXPECT_EQ(db->Vehicles("JH2").size(), 2u);
  EXPECT_TRUE(db->Vehicles("Q").empty());
}

TEST(JobDatabase, HostileTextIsStoredAsText) {
  qvtest::ScratchDir dir;
  const auto path = dir / "jobs.sqlite";
  auto db = OpenOk(path);
  ASSERT_TRUE(db);
  Job j = SampleJob("'); DROP TABLE jobs; --");
  j.customer = "O'Brien \"Bob\"; DELETE FROM captures;";
  j.vehicle.make = "مرسيدس";
  j.mechanic = "\u202eטכנאי\u202c";
  j.notes = std::string(200000, 'x') + std::string("\0NUL", 4) + "\n\tEnde";
  db->Save(j);
  db.reset();
  db = OpenOk(path);
  ASSERT_TRUE(db);
  const auto back = db->Load(j.id);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, j);
  EXPECT_EQ(back->notes.size(), j.notes.size());
  EXPECT_EQ(db->List("DROP TABLE").size(), 1u);
  EXPECT_EQ(db->List("O'Brien").size(), 1u);
  EXPECT_EQ(db->List("مرس").size(), 1u);
}

TEST(JobDatabase, OlderSchemaIsMigratedKeepingItsJobs) {
  qvtest::ScratchDir dir;
  const auto path = dir / "jobs.sqlite";
  // A file as the first schema left it.
  RunSql(path,
         "CREATE TABLE jobs (id INTEGER PRIMARY KEY, created TEXT NOT NULL, make TEXT NOT NULL, model TEXT NOT NULL,"
         " registration TEXT NOT NULL, odometer TEXT NOT NULL, customer TEXT NOT NULL, mechanic TEXT NOT NULL,"
         " notes TEXT NOT NULL, engine_seconds REAL NOT NULL, report_path TEXT NOT NULL);"
         "CREATE TABLE captures (job_id INTEGER NOT NULL REFERENCES jobs(id) ON DELETE CASCADE,"
         " kind INTEGER NOT NULL CHECK (kind IN (0, 1)), taken TEXT NOT NULL, unit TEXT NOT NULL,"
         " reference_kind INTEGER NOT NULL, reference_cylinder INTEGER NOT NULL, reference REAL NOT NULL,"
         " tolerance REAL NOT NULL, channel_count INTEGER NOT NULL, window REAL NOT NULL, PRIMARY KEY (job_id, kind));"
         "CREATE TABLE cylinders (job_id INTEGER NOT NULL, kind INTEGER NOT NULL, cylinder INTEGER NOT NULL,"
         " absolute REAL NOT NULL, difference REAL NOT NULL, scatter REAL NOT NULL, inside INTEGER NOT NULL,"
         " PRIMARY KEY (job_id, kind, cylinder),"
         " FOREIGN KEY (job_id, kind) REFERENCES captures(job_id, kind) ON DELETE CASCADE);"
         "INSERT INTO jobs VALUES (7, '2026-01-02 03:04:05', 'BMW', 'R 100', 'M-XY 9', '1 km', 'Kunde', 'Meister',"
         " '', 60, '');"
         "INSERT INTO captures VALUES (7, 0, '2026-01-02 03:00:00', 'kpa', 0, 0, -25, 1, 2, 3);"
         "INSERT INTO cylinders VALUES (7, 0, 0, -25.5, -0.5, 0.1, 1), (7, 0, 1, -24.5, 0.5, 0.2, 1);"
         "PRAGMA application_id = 1364609602; PRAGMA user_version = 1;");
  auto db = OpenOk(path);
  ASSERT_TRUE(db);
  EXPECT_EQ(db->SchemaVersion(), 2);
  const auto j = db->Load(7);
  ASSERT_TRUE(j);
  EXPECT_EQ(j->vehicle.registration, "M-XY 9");
  EXPECT_EQ(j->vehicle.vin, "");
  ASSERT_TRUE(j->before);
  EXPECT_EQ(j->before->unit, qv::workshop::Unit::KiloPascal);
  EXPECT_EQ(j->before->channelCount, 2);
  EXPECT_DOUBLE_EQ(j->before->cylinders[1].difference, 0.5);
  Job next = SampleJob("M-XY 9");
  db->Save(next);
  EXPECT_EQ(db->Previous("m-xy 9", next.id)->id, 7);
}

TEST(JobDatabase, BadFilesAreNeverWrittenAndSetAsideOnlyWhenAsked) {
  qvtest::ScratchDir dir;
  std::string garbage = "SQLite format 3";
  garbage.push_back('\0');
  garbage += std::string(4096, '\x5a');

  struct Case {
    std::string name;
    OpenStatus expected;
  };
  const std::vector<Case> cases = {
      {"text.sqlite", OpenStatus::kDamaged},      {"short.sqlite", OpenStatus::kDamaged},
      {"scrambled.sqlite", OpenStatus::kDamaged}, {"foreign.sqlite", OpenStatus::kForeign},
      {"newer.sqlite", OpenStatus::kTooNew},      {"torn.sqlite", OpenStatus::kDamaged},
  };
  qvtest::WriteFile(dir / "text.sqlite", "id;make\n1;Honda\n");
  qvtest::WriteFile(dir / "short.sqlite", "SQLite");
  qvtest::WriteFile(dir / "scrambled.sqlite", garbage);
  RunSql(dir / "foreign.sqlite", "CREATE TABLE addresses (name TEXT); INSERT INTO addresses VALUES ('x');");
  {
    auto db = OpenOk(dir / "newer.sqlite");
    ASSERT_TRUE(db);
  }
  RunSql(dir / "newer.sqlite", "PRAGMA user_version = 99;");
  {
    // Ours, with many jobs, then its pages of data overwritten in the middle.
    auto db = OpenOk(dir / "torn.sqlite");
    ASSERT_TRUE(db);
    for (int i = 0; i < 200; ++i) {
      Job j = SampleJob("T-" + std::to_string(i));
      db->Save(j);
    }
  }
  RunSql(dir / "torn.sqlite", "PRAGMA wal_checkpoint(TRUNCATE); PRAGMA journal_mode = DELETE;");
  std::string torn = qvtest::ReadFile(dir / "torn.sqlite");
  ASSERT_GT(torn.size(), 40000u);
  for (std::size_t i = 8192; i < torn.size() - 4096; ++i) torn[i] = static_cast<char>(i * 31);
  qvtest::WriteFile(dir / "torn.sqlite", torn);

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto path = dir / c.name;
    const std::string bytes = qvtest::ReadFile(path);
    OpenResult r;
    EXPECT_FALSE(JobDatabase::Open(path, r));
    EXPECT_EQ(r.status, c.expected) << r.detail;
    EXPECT_FALSE(r.detail.empty());
    EXPECT_EQ(qvtest::ReadFile(path), bytes);  // not a byte changed
    const std::string msg = qv::jobs::OpenProblemText(r, path.string(), qv::Language::German);
    EXPECT_NE(msg.find(path.string()), std::string::npos) << msg;

    const auto aside = JobDatabase::SetAside(path);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(qvtest::ReadFile(aside), bytes);
    auto fresh = OpenOk(path);
    ASSERT_TRUE(fresh);
    EXPECT_EQ(fresh->Count(), 0);
  }
  // Set aside twice in the same second: the first one is not replaced.
  qvtest::WriteFile(dir / "again.sqlite", "one");
  const auto first = JobDatabase::SetAside(dir / "again.sqlite");
  qvtest::WriteFile(dir / "again.sqlite", "two");
  const auto second = JobDatabase::SetAside(dir / "again.sqlite");
  EXPECT_NE(first, second);
  EXPECT_EQ(qvtest::ReadFile(first), "one");
  EXPECT_EQ(qvtest::ReadFile(second), "two");
}

TEST(JobDatabase, EmptyFileBecomesOurDatabase) {
  qvtest::ScratchDir dir;
  qvtest::WriteFile(dir / "jobs.sqlite", "");
  auto db = OpenOk(dir / "jobs.sqlite");
  ASSERT_TRUE(db);
  EXPECT_EQ(db->SchemaVersion(), qv::jobs::kSchemaVersion);
  EXPECT_EQ(JobDatabase::DefaultPath(), qvtest::IsolatedRoot() / "data" / "quorvel" / "jobs.sqlite");
}

}  // namespace
