// quorvel-jobs as built: its commands on a database the test fills, its
// texts in both languages, and what it does with a bad command line or file.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "JobDatabase.h"
#include "JobSamples.h"
#include "support/TestEnv.h"

namespace {

using qv::jobs::Job;
using qv::jobs::JobDatabase;
using qv::jobs::OpenResult;

struct Ran {
  int code = -1;
  std::string out;
  std::string err;
};

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs the tool with these arguments under LANG=`lang`.
Ran Tool(const qvtest::ScratchDir& dir, const std::vector<std::string>& args, const std::string& lang = "de_DE.UTF-8") {
  std::string cmd = "env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=" + lang + " " + Quote(QV_JOBS_BIN);
  for (const auto& a : args) cmd += " " + Quote(a);
  cmd += " >" + Quote((dir / "out").string()) + " 2>" + Quote((dir / "err").string());
  Ran r;
  const int status = std::system(cmd.c_str());
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = qvtest::ReadFile(dir / "out");
  r.err = qvtest::ReadFile(dir / "err");
  return r;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(JobsCli, HelpVersionAndBadCommandLines) {
  qvtest::ScratchDir dir;
  Ran r = Tool(dir, {"--version"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, std::string("quorvel-jobs ") + QV_PROJECT_VERSION + "\n");
  r = Tool(dir, {"--help"});
  EXPECT_EQ(r.code, 0);
  EXPECT_TRUE(Has(r.out, "Befehle:")) << r.out;
  r = Tool(dir, {"--help"}, "en_GB.UTF-8");
  EXPECT_TRUE(Has(r.out, "Commands:")) << r.out;
  EXPECT_TRUE(Has(r.out, "export --csv"));

  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"show"}, {"show", "x"}, {"show", "0"}, {"export"}, {"list", "a", "b"}, {"--frobnicate"}, {"delete", "1"}}) {
    r = Tool(dir, bad);
    EXPECT_EQ(r.code, 2) << bad[0];
    EXPECT_TRUE(Has(r.err, "quorvel-jobs --help")) << r.err;
  }
  r = Tool(dir, {});
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(Has(r.out, "list"));
}

TEST(JobsCli, ListShowAndExportTheHistory) {
  qvtest::ScratchDir dir;
  const auto db = (dir / "jobs.sqlite").string();
  // Nothing recorded yet: nothing to list, and no file made for it.
  Ran r = Tool(dir, {"--db", db, "list"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "Keine Aufträge\n");
  EXPECT_FALSE(std::filesystem::exists(db));
  for (const std::vector<std::string>& read : std::vector<std::vector<std::string>>{
           {"show", "1"}, {"report", "1", "-o", (dir / "r.pdf").string()}, {"export", "--csv"}}) {
    r = Tool(dir, [&] {
      std::vector<std::string> args{"--db", db};
      args.insert(args.end(), read.begin(), read.end());
      return args;
    }());
    EXPECT_EQ(r.code, read[0] == "export" ? 0 : 1) << read[0] << ": " << r.err;
    EXPECT_FALSE(std::filesystem::exists(db)) << read[0] << " made the database";
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "r.pdf"));

  Job a = qvtest::SampleJob("HH-QV 77", "Müller");
  Job b = qvtest::SampleJob("B-XY 5", "=HYPERLINK(\"x\"), \"Bob\"\nzweite Zeile");
  b.vehicle.make = "Kawasaki";
  b.after.reset();
  {
    OpenResult res;
    auto store = JobDatabase::Open(db, res);
    ASSERT_TRUE(store);
    store->Save(a);
    store->Save(b);
  }
  r = Tool(dir, {"--db", db, "list"});
  EXPECT_EQ(r.code, 0);
  const auto first = r.out.find("Kawasaki"), second = r.out.find("HH-QV 77");
  ASSERT_NE(first, std::string::npos) << r.out;
  ASSERT_NE(second, std::string::npos) << r.out;
  EXPECT_LT(first, second);  // newest first
  EXPECT_TRUE(Has(r.out, "SYNCHRON"));
  r = Tool(dir, {"--db", db, "list", "müll"});
  EXPECT_TRUE(Has(r.out, "HH-QV 77"));
  EXPECT_FALSE(Has(r.out, "Kawasaki"));

  r = Tool(dir, {"--db", db, "show", std::to_string(a.id)}, "en_US.UTF-8");
  EXPECT_EQ(r.code, 0);
  // The sample's before: differences -21, -7, +7, +21 mBar, the outer two outside the band.
  EXPECT_TRUE(Has(r.out, "Cyl. 1: -273 mBar  -21 mBar  no")) << r.out;
  EXPECT_TRUE(Has(r.out, "Cyl. 3: -245 mBar  +7 mBar  yes")) << r.out;
  EXPECT_TRUE(Has(r.out, "Verdict: NOT IN SYNC"));
  EXPECT_TRUE(Has(r.out, "Verdict: IN SYNC"));
  EXPECT_TRUE(Has(r.out, "Engine running time: 5 min 13 s"));
  r = Tool(dir, {"--db", db, "show", "999"});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "999"));

  r = Tool(dir, {"--db", db, "export", "--csv", "-o", (dir / "jobs.csv").string()});
  EXPECT_EQ(r.code, 0) << r.err;
  const std::string csv = qvtest::ReadFile(dir / "jobs.csv");
  EXPECT_TRUE(csv.starts_with("job,created,make,"));
  // One header and four lines per job, each ended by CRLF (one more line end inside a quoted field).
  std::size_t lines = 0;
  for (std::size_t at = csv.find("\r\n"); at != std::string::npos; at = csv.find("\r\n", at + 2)) ++lines;
  EXPECT_EQ(lines, 1u + 4 + 4);
  EXPECT_TRUE(Has(csv, "\"'=HYPERLINK(\"\"x\"\"), \"\"Bob\"\"\nzweite Zeile\""));
  EXPECT_TRUE(Has(csv, ",HH-QV 77,JH2RC01234567,48 213 km,Müller,A. Schrauber,312.500,1,mbar,"));
  r = Tool(dir, {"--db", db, "export", "--csv"});
  EXPECT_EQ(r.out, csv);
}

TEST(JobsCli, ReportWritesTheJobsPdfAgain) {
  qvtest::ScratchDir dir;
  const auto db = (dir / "jobs.sqlite").string();
  Job j = qvtest::SampleJob("HH-QV 77");
  {
    OpenResult res;
    auto store = JobDatabase::Open(db, res);
    ASSERT_TRUE(store);
    store->Save(j);
  }
  const auto ini = qvtest::IsolatedRoot() / "config" / "quorvel" / "jobs.ini";
  std::filesystem::create_directories(ini.parent_path());
  qvtest::WriteFile(ini, "[Jobs]\nWorkshopName=Zweirad Meier\n");
  const auto pdf = dir / "again.pdf";
  Ran r = Tool(dir, {"--db", db, "report", std::to_string(j.id), "-o", pdf.string()}, "en_US.UTF-8");
  EXPECT_EQ(r.code, 0) << r.err;
  ASSERT_TRUE(std::filesystem::exists(pdf));
  EXPECT_TRUE(qvtest::ReadFile(pdf).starts_with("%PDF-"));
  const std::string text = [&] {
    std::string out;
    if (FILE* f = popen(("pdftotext -enc UTF-8 '" + pdf.string() + "' -").c_str(), "r")) {
      char buf[4096];
      for (std::size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;) out.append(buf, n);
      pclose(f);
    }
    return out;
  }();
  EXPECT_TRUE(Has(text, "Zweirad Meier")) << text;
  EXPECT_TRUE(Has(text, "Synchronisation report")) << text;
  EXPECT_TRUE(Has(text, "HH-QV 77")) << text;
  std::filesystem::remove(ini);

  r = Tool(dir, {"--db", db, "report", "99", "-o", (dir / "none.pdf").string()});
  EXPECT_EQ(r.code, 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "none.pdf"));
  r = Tool(dir, {"--db", db, "report", "1"});  // where to?
  EXPECT_EQ(r.code, 2);
  r = Tool(dir, {"--db", db, "report", "1", "-o", (dir / "no" / "such" / "x.pdf").string()});
  EXPECT_EQ(r.code, 0);  // the folder is made
}

TEST(JobsCli, DamagedDatabaseIsReportedAndKept) {
  qvtest::ScratchDir dir;
  const auto db = dir / "jobs.sqlite";
  qvtest::WriteFile(db, "kein SQLite");
  const Ran r = Tool(dir, {"--db", db.string(), "list"});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, db.string())) << r.err;
  EXPECT_TRUE(Has(r.err, "beschädigt")) << r.err;
  EXPECT_EQ(qvtest::ReadFile(db), "kein SQLite");
}

TEST(JobsCli, DefaultDatabaseIsTheProgramsOne) {
  qvtest::ScratchDir dir;
  OpenResult res;
  auto store = JobDatabase::Open(JobDatabase::DefaultPath(), res);
  ASSERT_TRUE(store);
  Job j = qvtest::SampleJob("DEF-1");
  store->Save(j);
  const Ran r = Tool(dir, {"list"});  // XDG_DATA_HOME is the test's own
  EXPECT_TRUE(Has(r.out, "DEF-1")) << r.out << r.err;
}

}  // namespace
