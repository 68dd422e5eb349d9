#include "JobsCliOptions.h"

#include <charconv>

namespace qv::jobs {
namespace {

bool ParseId(const std::string& text, std::int64_t& id) {
  const char* end = text.data() + text.size();
  const auto [p, ec] = std::from_chars(text.data(), end, id);
  return ec == std::errc() && p == end && id > 0;
}

}  // namespace

JobsCliParse ParseJobsCli(const std::vector<std::string>& args) {
  JobsCliParse out;
  JobsCliOptions& o = out.options;
  std::vector<std::string> words;
  bool csv = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      o.command = JobsCliOptions::Command::kHelp;
      return out;
    }
    if (a == "--version") {
      o.command = JobsCliOptions::Command::kVersion;
      return out;
    }
    if (a == "--db" || a == "-o") {
      if (i + 1 >= args.size()) {
        out.error = a;
        return out;
      }
      (a == "--db" ? o.db : o.output) = args[++i];
    } else if (a == "--csv") {
      csv = true;
    } else if (a.size() > 1 && a[0] == '-' && a != "--") {
      out.error = a;
      return out;
    } else {
      words.push_back(a);
    }
  }
  if (words.empty()) {
    out.error = "";
    o.command = JobsCliOptions::Command::kHelp;
    return out;
  }
  const std::string& cmd = words[0];
  const auto rest = words.size() - 1;
  if (cmd == "list" && rest <= 1 && o.output.empty() && !csv) {
    o.command = JobsCliOptions::Command::kList;
    if (rest == 1) o.search = words[1];
  } else if (cmd == "show" && rest == 1 && ParseId(words[1], o.id) && o.output.empty() && !csv) {
    o.command = JobsCliOptions::Command::kShow;
  } else if (cmd == "export" && rest == 0 && csv) {
    o.command = JobsCliOptions::Command::kExport;
  } else if (cmd == "report" && rest == 1 && ParseId(words[1], o.id) && !o.output.empty() && !csv) {
    o.command = JobsCliOptions::Command::kReport;
  } else {
    std::string all;
    for (const auto& w : words) all += (all.empty() ? "" : " ") + w;
    out.error = all;
  }
  return out;
}

}  // namespace qv::jobs
