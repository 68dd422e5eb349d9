#include "ReportFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "SystemError.h"
#include "UniqueFd.h"
#include "UserDirs.h"

namespace qv::jobs {

std::filesystem::path DefaultReportFolder() { return workshop::DocumentsFolder() / "Quorvel"; }

std::string ReportStem(const Vehicle& v, std::string_view date, Language lang) {
  std::string name = !v.registration.empty() ? v.registration : !v.vin.empty() ? v.vin : v.make + " " + v.model;
  std::string clean;
  std::size_t kept = 0;
  for (const char ch : name) {
    const auto c = static_cast<unsigned char>(ch);
    const bool starts = c < 0x80 || (c & 0xC0) == 0xC0;  // a character's first byte
    if (starts && kept == 60) break;
    // ASCII letters and digits, and every byte of a multi-byte character
    // (letters of other scripts); everything else, "/" and "." included, a dash.
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0x80) {
      clean += ch;
      kept += starts ? 1 : 0;
    } else if (!clean.empty() && clean.back() != '-') {
      clean += '-';
      ++kept;
    }
  }
  while (!clean.empty() && clean.back() == '-') clean.pop_back();
  std::string stem(Pick(lang, "Bericht", "Report"));
  if (!clean.empty()) stem += "-" + clean;
  return stem + "-" + std::string(date);
}

std::filesystem::path SaveNewReport(const std::filesystem::path& folder, const std::string& stem,
                                    std::string_view bytes) {
  std::filesystem::create_directories(folder);
  std::string tmpl = (folder / ".report-XXXXXX").string();
  UniqueFd fd(::mkstemp(tmpl.data()));
  if (fd.get() < 0) ThrowErrno(folder.string());
  const std::filesystem::path tmp = tmpl;
  struct Remove {
    const std::filesystem::path& p;
    ~Remove() { ::unlink(p.c_str()); }
  } remove{tmp};
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ThrowErrno(tmp.string());
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(fd.get()) != 0 || ::fchmod(fd.get(), 0644) != 0) ThrowErrno(tmp.string());
  for (int n = 1; n < 10000; ++n) {
    // Built by appending: GCC 12 takes the chained + for an overlapping copy (-Wrestrict).
    std::string name = stem;
    if (n > 1) name.append("-").append(std::to_string(n));
    name.append(".pdf");
    const std::filesystem::path target = folder / name;
    if (::link(tmp.c_str(), target.c_str()) == 0) return target;
    if (errno != EEXIST) ThrowErrno(target.string());
  }
  errno = EEXIST;
  ThrowErrno((folder / stem).string());
}

}  // namespace qv::jobs
