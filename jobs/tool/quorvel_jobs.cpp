// quorvel-jobs: the job history on the command line, on the same database as
// the program (which may be running: the database waits for its writer).
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "AppPaths.h"
#include "JobCsv.h"
#include "JobDatabase.h"
#include "JobFormat.h"
#include "JobTexts.h"
#include "JobsCliOptions.h"
#include "JobsReportCommand.h"

namespace {

using namespace qv::jobs;
using qv::Language;

void ListJobs(const JobDatabase& db, const std::string& search, Language lang) {
  const auto jobs = db.List(search);
  if (jobs.empty()) std::cout << JobText(JobTextId::kCliNoJobs, lang) << "\n";
  for (const JobSummary& j : jobs) {
    std::string verdict;
    if (j.hasAfter) verdict = JobText(j.afterInSync ? JobTextId::kInSync : JobTextId::kNotInSync, lang);
    std::cout << j.id << "\t" << j.created << "\t" << VehicleLine(j.vehicle) << "\t" << j.customer << "\t" << verdict
              << "\n";
  }
}

int Run(const JobsCliOptions& o, Language lang) {
  using Command = JobsCliOptions::Command;
  const std::filesystem::path path = o.db.empty() ? JobDatabase::DefaultPath() : std::filesystem::path(o.db);
  // Reading a history that is not there yet makes no file: every command only
  // reads it (a report of a job that cannot be there fails as any other).
  std::unique_ptr<JobDatabase> db;
  if (std::filesystem::exists(path)) {
    OpenResult r;
    db = JobDatabase::Open(path, r);
    if (!db) {
      std::cerr << "quorvel-jobs: " << OpenProblemText(r, path.string(), lang) << "\n";
      return 1;
    }
  }
  switch (o.command) {
    case Command::kList:
      if (db) {
        ListJobs(*db, o.search, lang);
      } else {
        std::cout << JobText(JobTextId::kCliNoJobs, lang) << "\n";
      }
      return 0;
    case Command::kShow:
    case Command::kReport: {
      const auto job = db ? db->Load(o.id) : std::nullopt;
      if (!job) {
        std::cerr << "quorvel-jobs: " << JobText(JobTextId::kCliNoSuchJob, lang, {std::to_string(o.id)}) << "\n";
        return 1;
      }
      if (o.command == Command::kReport) return WriteReportCommand(*job, o.output, lang);
      std::cout << ShowText(*job, lang);
      return 0;
    }
    case Command::kExport: {
      std::string csv = JobCsvHeader();
      if (db)
        for (const Job& j : db->All()) csv += JobCsvLines(j);
      if (o.output.empty()) {
        std::cout << csv;
      } else {
        qv::AtomicWriteFile(o.output, csv);
      }
      return 0;
    }
    case Command::kHelp:
    case Command::kVersion: break;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const Language lang = qv::LanguageFromEnvironment();
  const std::vector<std::string> args(argv + 1, argv + argc);
  const JobsCliParse parse = ParseJobsCli(args);
  if (!parse.error.empty()) {
    std::cerr << "quorvel-jobs: " << JobText(JobTextId::kCliBadCommand, lang, {parse.error}) << "\n";
    return 2;
  }
  if (parse.options.command == JobsCliOptions::Command::kHelp) {
    std::cout << JobText(JobTextId::kCliUsage, lang);
    return args.empty() ? 2 : 0;
  }
  if (parse.options.command == JobsCliOptions::Command::kVersion) {
    std::cout << "quorvel-jobs " << QUORVEL_VERSION << "\n";
    return 0;
  }
  try {
    return Run(parse.options, lang);
  } catch (const std::exception& e) {
    std::cerr << "quorvel-jobs: " << e.what() << "\n";
    return 1;
  }
}
