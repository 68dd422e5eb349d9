#pragma once
// What the job on record remembers: the workshop's name for the report and
// the last mechanic, in $XDG_CONFIG_HOME/quorvel/jobs.ini (replaced
// atomically; lines it does not know are kept).
#include <filesystem>
#include <string>

namespace qv::jobs {

struct JobSettings {
  std::string workshopName;
  std::string mechanic;
};

[[nodiscard]] std::filesystem::path JobSettingsPath();
[[nodiscard]] JobSettings LoadJobSettings(const std::filesystem::path& file = JobSettingsPath());
// Throws std::system_error when the file cannot be written.
void SaveJobSettings(const JobSettings& s, const std::filesystem::path& file = JobSettingsPath());

}  // namespace qv::jobs
