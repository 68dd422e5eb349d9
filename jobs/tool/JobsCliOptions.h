#pragma once
// The command line of quorvel-jobs.
#include <cstdint>
#include <string>
#include <vector>

namespace qv::jobs {

struct JobsCliOptions {
  enum class Command { kList, kShow, kExport, kReport, kHelp, kVersion };
  Command command = Command::kHelp;
  std::string db;      // --db FILE; empty: the default database
  std::string search;  // list SEARCH
  std::int64_t id = 0;
  std::string output;  // -o FILE (export: stdout when empty; report: required)
};

struct JobsCliParse {
  JobsCliOptions options;
  std::string error;  // what was not understood; empty when all was
};

[[nodiscard]] JobsCliParse ParseJobsCli(const std::vector<std::string>& args);

}  // namespace qv::jobs
