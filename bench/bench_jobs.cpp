// The job on record: writing a report (render and save), saving a job, and
// the history of 10,000 jobs listed and searched (goal below 100 ms each),
// with the database's size per 1,000 jobs as a counter.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QGuiApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "JobDatabase.h"
#include "JobReport.h"
#include "ReportFiles.h"

namespace {

namespace fs = std::filesystem;
using qv::jobs::Job;
using qv::jobs::JobDatabase;

fs::path g_dir;

qv::jobs::Capture Sample(double spread, const std::string& taken) {
  qv::jobs::Capture c;
  c.taken = taken;
  c.reference = -251;
  c.tolerance = 10;
  c.window = 3;
  for (int i = 0; i < 4; ++i) {
    const double d = spread * (i - 1.5);
    c.cylinders[static_cast<std::size_t>(i)] = {-251 + d, d, 0.4 * (i + 1), d <= 10 && d >= -10};
  }
  return c;
}

Job MakeJob(int i) {
  Job j;
  j.vehicle = {i % 3 ? "Honda" : "Kawasaki", "CB 750 Four", "HH-QV " + std::to_string(i), "JH2RC" + std::to_string(i),
               std::to_string(10000 + i) + " km"};
  j.customer = "Kunde " + std::to_string(i % 700);
  j.mechanic = "Anna Schrauber";
  j.notes = "Vergaser gereinigt, Leerlauf eingestellt, Zylinder 1 und 4 nachsynchronisiert.";
  j.engineSeconds = 600;
  j.before = Sample(14, "2026-12-09 10:00:00");
  j.after = Sample(3, "2026-12-09 10:20:00");
  return j;
}

std::unique_ptr<JobDatabase> Open(const fs::path& p) {
  qv::jobs::OpenResult r;
  auto db = JobDatabase::Open(p, r);
  if (!db) std::abort();
  return db;
}

// Render and save, as "Bericht" does: a new file each time.
void BM_ReportWritten(benchmark::State& state) {
  const Job job = MakeJob(1);
  const fs::path folder = g_dir / "reports";
  for (auto _ : state) {
    const QByteArray pdf = qv::jobs::RenderJobReport(job, "Zweiradwerkstatt Beispiel", qv::Language::German);
    const auto path = qv::jobs::SaveNewReport(folder, "Bericht-HH-QV-1-2026-12-09",
                                              std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
    benchmark::DoNotOptimize(path);
    state.PauseTiming();
    fs::remove(path);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ReportWritten)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// One job saved in its own transaction, flushed to disk.
void BM_JobSaved(benchmark::State& state) {
  auto db = Open(g_dir / "save.sqlite");
  int i = 0;
  for (auto _ : state) {
    Job j = MakeJob(++i);
    db->Save(j);
  }
}
BENCHMARK(BM_JobSaved)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// 10,000 jobs, each saved as the program saves it.
JobDatabase& History() {
  static std::unique_ptr<JobDatabase> db = [] {
    auto d = Open(g_dir / "history.sqlite");
    for (int i = 0; i < 10000; ++i) {
      Job j = MakeJob(i);
      d->Save(j);
    }
    return d;
  }();
  return *db;
}

void BM_HistoryListed(benchmark::State& state) {
  JobDatabase& db = History();
  for (auto _ : state) benchmark::DoNotOptimize(db.List({}, static_cast<int>(state.range(0))).size());
}
// All 10,000, and the 500 the history window shows.
BENCHMARK(BM_HistoryListed)->Arg(-1)->Arg(500)->Unit(benchmark::kMillisecond);

void BM_HistorySearched(benchmark::State& state) {
  JobDatabase& db = History();
  const std::string words[] = {"HH-QV 9999", "kawa", "Kunde 12"};
  const std::string& what = words[state.range(0)];
  std::size_t found = 0;
  for (auto _ : state) found = db.List(what, 500).size();
  state.counters["found"] = static_cast<double>(found);
}
BENCHMARK(BM_HistorySearched)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_FileSizePer1000Jobs(benchmark::State& state) {
  JobDatabase& db = History();
  const fs::path p = db.Path();
  for (auto _ : state) benchmark::DoNotOptimize(db.Count());
  // The database and its log as they stand after 10,000 saves.
  std::error_code ec;
  const auto wal = fs::file_size(p.string() + "-wal", ec);
  const double bytes = static_cast<double>(fs::file_size(p)) + (ec ? 0.0 : static_cast<double>(wal));
  state.counters["bytes_per_1000_jobs"] = bytes / 10;
  state.counters["main_file_bytes_per_1000_jobs"] = static_cast<double>(fs::file_size(p)) / 10;
}
BENCHMARK(BM_FileSizePer1000Jobs)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  // A private folder for the databases and reports; the fonts need a GUI application.
  std::string tmpl = (fs::temp_directory_path() / "quorvel-bench-jobs-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) return 1;
  g_dir = tmpl;
  setenv("HOME", tmpl.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (g_dir / "config").c_str(), 1);
  setenv("XDG_DATA_HOME", (g_dir / "data").c_str(), 1);
  setenv("XDG_DOCUMENTS_DIR", (g_dir / "docs").c_str(), 1);
  fs::create_directory(g_dir / "runtime");
  fs::permissions(g_dir / "runtime", fs::perms::owner_all, fs::perm_options::replace);
  setenv("XDG_RUNTIME_DIR", (g_dir / "runtime").c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qtArgc = 1;
  QGuiApplication app(qtArgc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(g_dir);
  return 0;
}
