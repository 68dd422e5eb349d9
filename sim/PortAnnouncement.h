#pragma once
// A symlink that names the simulated device while the simulator runs, so the
// program and scripts can find it. It is removed with the object, unless
// something else has taken its place meanwhile.
#include <filesystem>
#include <string>

namespace qv::sim {

// $XDG_RUNTIME_DIR/quorvel/ports/quorvel-sim-<pid> (see qv::UserRuntimeDir()).
[[nodiscard]] std::filesystem::path AnnouncementPath(int pid);

class PortAnnouncement {
 public:
  // Makes `link` point at `target`, replacing an older symlink there at once.
  // Throws std::system_error when that fails or when something other than a
  // symlink is in the way. With `make_private_parents`, missing folders of the
  // link are made readable by the user only.
  PortAnnouncement(std::filesystem::path link, const std::string& target, bool make_private_parents = false);
  ~PortAnnouncement();
  PortAnnouncement(const PortAnnouncement&) = delete;
  PortAnnouncement& operator=(const PortAnnouncement&) = delete;

  [[nodiscard]] const std::filesystem::path& Link() const { return link_; }

 private:
  std::filesystem::path link_;
  std::string target_;
};

}  // namespace qv::sim
