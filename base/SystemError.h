#pragma once
// Small helpers for system calls and paths that may fail.
#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>

namespace qv {

// Throws the failure of the system call just made, errno and all.
[[noreturn]] inline void ThrowErrno(const std::string& what) {
  throw std::system_error(errno, std::generic_category(), what);
}

// The path with every link resolved, or an empty path where it does not exist.
inline std::filesystem::path CanonicalOrEmpty(const std::filesystem::path& p) {
  std::error_code ec;
  std::filesystem::path c = std::filesystem::canonical(p, ec);
  return ec ? std::filesystem::path() : c;
}

}  // namespace qv
