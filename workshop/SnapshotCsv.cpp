#include "SnapshotCsv.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <string_view>

#include "NumberFormat.h"
#include "UniqueFd.h"
#include "Units.h"
#include "WorkshopTexts.h"

namespace qv::workshop {
namespace {

constexpr std::string_view kEnd = "\r\n";

std::string Field(std::string_view v) {
  if (v.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(v);
  std::string q = "\"";
  for (char c : v) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + '"';
}

std::string LocalTime(std::chrono::system_clock::time_point when, const char* format) {
  const std::time_t t = std::chrono::system_clock::to_time_t(when);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[64];
  return std::string(buf, std::strftime(buf, sizeof buf, format, &tm));
}

std::string IsoLocalTime(std::chrono::system_clock::time_point when) {
  std::string s = LocalTime(when, "%Y-%m-%dT%H:%M:%S%z");
  if (s.size() >= 5) s.insert(s.size() - 2, ":");  // +0100 -> +01:00
  return s;
}

std::string ReferenceText(const Reading& r) {
  std::string s;
  switch (r.referenceKind) {
    case ReferenceKind::Mean: s = "mean"; break;
    case ReferenceKind::Midpoint: s = "midpoint"; break;
    case ReferenceKind::Cylinder: s = "cylinder " + std::to_string(r.referenceCylinder + 1); break;
  }
  return r.pairMode ? "pairs 1+2/3+4, " + s : s;
}

std::string Error(const std::filesystem::path& file, int err) { return file.string() + ": " + std::strerror(err); }

bool WriteAll(int fd, std::string_view bytes, int& err) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      err = n < 0 ? errno : ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

std::filesystem::path NewSnapshotPath(const std::filesystem::path& folder, std::chrono::system_clock::time_point when) {
  const std::string stem = "quorvel-" + LocalTime(when, "%Y-%m-%d-%H%M%S");
  std::filesystem::path p = folder / (stem + ".png");
  std::error_code ec;
  for (int n = 2; std::filesystem::exists(p, ec) && n < 1000; ++n)
    p = folder / (stem + "-" + std::to_string(n) + ".png");
  return p;
}

std::string SnapshotCsvHeader() {
  return "time,unit,reference,reference value,tolerance,value 1,value 2,value 3,value 4,difference 1,difference 2,"
         "difference 3,difference 4,scatter 1,scatter 2,scatter 3,scatter 4,zeroed,verdict" +
         std::string(kEnd);
}

std::string SnapshotCsvLine(const Reading& r, std::chrono::system_clock::time_point when) {
  const bool data = r.status == Status::Live || r.status == Status::NoData;
  auto number = [&](double v, int extra = 0) {
    return data ? FormatValue(v, r.unit, {.decimalSeparator = ".", .extraDecimals = extra}) : std::string();
  };
  std::string line = IsoLocalTime(when) + "," + std::string(UnitLabel(r.unit)) + "," + Field(ReferenceText(r)) + ",";
  line += number(r.reference, 1) + ",";
  line += FormatValue(r.tolerance, r.unit, {.decimalSeparator = ".", .extraDecimals = 1}) + ",";
  const auto shown = [&](int c) { return c < r.channelCount; };
  for (int c = 0; c < 4; ++c) line += (shown(c) ? number(r.channels[c].absolute) : "") + ",";
  for (int c = 0; c < 4; ++c) {
    line += shown(c) && data ? FormatValue(r.channels[c].difference, r.unit, {.withSign = true}) : "";
    line += ",";
  }
  for (int c = 0; c < 4; ++c) line += (shown(c) ? number(r.channels[c].scatter, 1) : "") + ",";
  line += std::string(r.zeroed ? "yes" : "no") + ",";
  line += Field(VerdictText(r, Language::English, "."));
  return line + std::string(kEnd);
}

std::string AppendSnapshotCsv(const std::filesystem::path& file, const Reading& r,
                              std::chrono::system_clock::time_point when) {
  const UniqueFd fd(::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
  if (!fd.valid()) return Error(file, errno);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return Error(file, errno);
  std::string bytes;
  if (st.st_size == 0) {
    bytes = SnapshotCsvHeader();
  } else {
    // A last line without its end (written by hand) gets one first.
    char last = '\n';
    const int rd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (rd >= 0) {
      const UniqueFd reader(rd);
      if (::pread(reader.get(), &last, 1, st.st_size - 1) != 1) last = '\n';
    }
    if (last != '\n') bytes = kEnd;
  }
  bytes += SnapshotCsvLine(r, when);
  int err = 0;
  bool written = WriteAll(fd.get(), bytes, err);
  if (written && ::fsync(fd.get()) != 0 && errno != EINVAL) {  // EINVAL: a file that cannot be synced
    err = errno;
    written = false;
  }
  if (!written) {
    // Cut off what got written of this line; the lines before stay as they were.
    if (::ftruncate(fd.get(), st.st_size) != 0) return Error(file, err) + " (the last line may be incomplete)";
    return Error(file, err);
  }
  return {};
}

}  // namespace qv::workshop
