#include "AppUtils.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <system_error>

#include "AppPaths.h"

namespace {

std::filesystem::path Absolute(std::filesystem::path p) {
  std::error_code ec;
  auto abs = std::filesystem::absolute(p, ec);
  return ec ? p : abs.lexically_normal();
}

enum class ReadResult { ok, missing, failed };

ReadResult ReadWholeFile(const std::filesystem::path& p, std::string& out) {
  out.clear();
  int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return (errno == ENOENT || errno == ENOTDIR) ? ReadResult::missing : ReadResult::failed;
  char buf[8192];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return ReadResult::failed;  // e.g. EISDIR
    }
    if (n == 0) break;
    out.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return ReadResult::ok;
}

// A settings file that is a symbolic link stays one: the new content replaces
// the file it points to.
std::filesystem::path WriteTarget(const std::filesystem::path& p) {
  std::error_code ec;
  if (!std::filesystem::is_symlink(p, ec)) return p;
  auto target = std::filesystem::weakly_canonical(p, ec);
  return ec ? p : target;
}

}  // namespace

EIniFileError::EIniFileError(const std::filesystem::path& fileName)
    : std::runtime_error("In " + fileName.string() + " kann nicht geschrieben werden") {}

TIniFile::TIniFile(std::filesystem::path fileName) : file_name_(Absolute(std::move(fileName))) { Reload(); }

void TIniFile::Reload() {
  std::string bytes;
  auto r = ReadWholeFile(file_name_, bytes);
  unreadable_ = r == ReadResult::failed;
  text_ = qv::IniText(r == ReadResult::ok ? bytes : std::string());
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
  auto v = text_.Get(section, key);
  return v ? *v : std::string(def);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
  auto v = text_.Get(section, key);
  if (!v) return def;
  return qv::ParseIniInteger(*v).value_or(def);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  auto v = text_.Get(section, key);
  if (!v) return def;
  auto n = qv::ParseIniInteger(*v);
  return n ? *n != 0 : def;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  Reload();
  if (unreadable_) throw EIniFileError(file_name_);
  qv::IniText changed = text_;
  changed.Set(section, key, value);
  try {
    qv::ReplaceFile(WriteTarget(file_name_), changed.Bytes());
  } catch (const std::system_error&) {
    throw EIniFileError(file_name_);
  }
  text_ = std::move(changed);
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

bool TIniFile::SectionExists(std::string_view section) const { return text_.HasSection(section); }

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
  return text_.Get(section, key).has_value();
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const { return text_.Keys(section); }

namespace qv {

std::filesystem::path SettingsFilePathIn(const std::filesystem::path& exeDir, const std::filesystem::path& configDir) {
  auto beside = exeDir / "Quorvel.ini";
  std::error_code ec;
  if (::access(exeDir.c_str(), W_OK) == 0 || std::filesystem::exists(beside, ec)) return beside;
  return configDir / "Quorvel.ini";
}

std::filesystem::path SettingsFilePath() { return SettingsFilePathIn(ExecutableDir(), UserConfigDir()); }

std::string DefaultPlacementFile() {
  std::filesystem::path name = ExecutableName();
  name.replace_extension(".INI");
  return name.string();
}

std::filesystem::path PlacementFilePath(const std::filesystem::path& name) {
  if (name.has_parent_path()) return name;
  return UserConfigDir() / name;
}

}  // namespace qv
