#include "PortAnnouncement.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "AppPaths.h"

namespace qv::sim {
namespace {

[[noreturn]] void Fail(int err, const std::filesystem::path& p) {
  throw std::system_error(err, std::generic_category(), "cannot announce the device at " + p.string());
}

}  // namespace

std::filesystem::path AnnouncementPath(int pid) {
  return qv::PortAnnouncementDir() / ("quorvel-sim-" + std::to_string(pid));
}

PortAnnouncement::PortAnnouncement(std::filesystem::path link, const std::string& target, bool make_private_parents)
    : link_(std::move(link)), target_(target) {
  std::error_code ec;
  const auto dir = link_.parent_path();
  if (!dir.empty() && make_private_parents && !std::filesystem::exists(dir, ec)) {
    // The runtime folder may sit in the shared /tmp: its own levels stay private.
    std::filesystem::create_directories(dir.parent_path().parent_path(), ec);
    for (const auto& d : {dir.parent_path(), dir}) {
      if (::mkdir(d.c_str(), 0700) != 0 && errno != EEXIST) Fail(errno, link_);
    }
  }
  struct stat st {};
  if (::lstat(link_.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) Fail(EEXIST, link_);
  // A fresh symlink renamed over the old one: the name never dangles half-made.
  const std::filesystem::path temp = link_.string() + ".new-" + std::to_string(::getpid());
  ::unlink(temp.c_str());
  if (::symlink(target_.c_str(), temp.c_str()) != 0) Fail(errno, link_);
  if (::rename(temp.c_str(), link_.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    Fail(err, link_);
  }
}

PortAnnouncement::~PortAnnouncement() {
  std::error_code ec;
  if (std::filesystem::read_symlink(link_, ec) == target_ && !ec) std::filesystem::remove(link_, ec);
}

}  // namespace qv::sim
