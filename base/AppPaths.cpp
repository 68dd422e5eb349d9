#include "AppPaths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>

namespace qv {
namespace {

std::filesystem::path EnvDir(const char* name) {
  const char* v = std::getenv(name);
  if (v && *v) return std::filesystem::path(v);
  return {};
}

[[noreturn]] void ThrowErrno(int err, const std::string& what) {
  throw std::system_error(err, std::generic_category(), what);
}

// Raised by AtomicWriteFile when the folder refuses the temporary file.
class TemporaryFileRefused : public std::system_error {
 public:
  using std::system_error::system_error;
};

// Writes all of bytes to fd; 0 or the errno.
int WriteAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return 0;
}

void OverwriteFile(const std::filesystem::path& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) ThrowErrno(errno, "cannot write " + path.string());
  int err = WriteAll(fd, bytes);
  if (err == 0 && ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) err = errno;
  if (err == 0 && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err != 0) ThrowErrno(err, "cannot write " + path.string());
}

}  // namespace

std::filesystem::path UserConfigDir() {
  auto base = EnvDir("XDG_CONFIG_HOME");
  if (base.empty()) {
    auto home = EnvDir("HOME");
    base = (home.empty() ? std::filesystem::path("/tmp") : home) / ".config";
  }
  return base / "quorvel";
}

std::filesystem::path UserDataDir() {
  auto base = EnvDir("XDG_DATA_HOME");
  if (base.empty()) {
    auto home = EnvDir("HOME");
    base = (home.empty() ? std::filesystem::path("/tmp") : home) / ".local" / "share";
  }
  return base / "quorvel";
}

std::filesystem::path UserRuntimeDir() {
  auto base = EnvDir("XDG_RUNTIME_DIR");
  if (base.empty()) return std::filesystem::temp_directory_path() / ("quorvel-" + std::to_string(getuid()));
  return base / "quorvel";
}

std::filesystem::path PortAnnouncementDir() { return UserRuntimeDir() / "ports"; }

std::filesystem::path ExecutableDir() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path();
  return exe.parent_path();
}

std::string ExecutableName() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string("quorvel") : exe.filename().string();
}

void AtomicWriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::error_code ec;
  auto dir = path.parent_path();
  if (!dir.empty()) {
    std::filesystem::create_directories(dir, ec);
    if (ec) throw std::system_error(ec, "cannot create " + dir.string());
  }
  std::string tmpl = path.string() + ".XXXXXX";
  int fd = mkostemp(tmpl.data(), O_CLOEXEC);
  if (fd < 0) {
    const int err = errno;
    if (err == EACCES || err == EPERM)
      throw TemporaryFileRefused(err, std::generic_category(), "cannot write " + path.string());
    ThrowErrno(err, "cannot write " + path.string());
  }
  auto fail = [&](int err) {
    ::close(fd);
    ::unlink(tmpl.c_str());
    ThrowErrno(err, "cannot write " + path.string());
  };
  // Keep the permissions an existing file had; a new file gets 0666 less the
  // umask, as any file the program created directly would.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    ::fchmod(fd, st.st_mode & 07777);
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
  }
  if (const int err = WriteAll(fd, bytes)) fail(err);
  if (::fsync(fd) != 0) fail(errno);
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(tmpl.c_str());
    ThrowErrno(err, "cannot write " + path.string());
  }
  if (::rename(tmpl.c_str(), path.c_str()) != 0) {
    int err = errno;
    ::unlink(tmpl.c_str());
    ThrowErrno(err, "cannot write " + path.string());
  }
}

void ReplaceFile(const std::filesystem::path& path, std::string_view bytes) {
  try {
    AtomicWriteFile(path, bytes);
  } catch (const TemporaryFileRefused&) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) throw;
    OverwriteFile(path, bytes);
  }
}

}  // namespace qv
