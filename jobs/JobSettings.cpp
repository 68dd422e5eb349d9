#include "JobSettings.h"

#include <fstream>
#include <iterator>

#include "AppPaths.h"
#include "IniText.h"

namespace qv::jobs {
namespace {

constexpr std::string_view kSection = "Jobs";
constexpr std::string_view kWorkshopNameKey = "WorkshopName";
constexpr std::string_view kMechanicKey = "Mechanic";

std::string ReadAll(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A value is one line.
std::string OneLine(std::string v) {
  for (char& c : v)
    if (c == '\r' || c == '\n') c = ' ';
  return v;
}

}  // namespace

std::filesystem::path JobSettingsPath() { return UserConfigDir() / "jobs.ini"; }

JobSettings LoadJobSettings(const std::filesystem::path& file) {
  const IniText ini(ReadAll(file));
  JobSettings s;
  s.workshopName = ini.Get(kSection, kWorkshopNameKey).value_or("");
  s.mechanic = ini.Get(kSection, kMechanicKey).value_or("");
  return s;
}

void SaveJobSettings(const JobSettings& s, const std::filesystem::path& file) {
  IniText ini(ReadAll(file));
  ini.Set(kSection, kWorkshopNameKey, OneLine(s.workshopName));
  ini.Set(kSection, kMechanicKey, OneLine(s.mechanic));
  AtomicWriteFile(file, ini.Bytes());
}

}  // namespace qv::jobs
