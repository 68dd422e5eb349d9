#include "UserDirs.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "AppPaths.h"

namespace qv::workshop {
namespace {

std::filesystem::path Home() {
  const char* h = std::getenv("HOME");
  return h && *h ? std::filesystem::path(h) : std::filesystem::path("/");
}

}  // namespace

// Lines look like XDG_PICTURES_DIR="$HOME/Bilder"; the value is either
// "$HOME/..." or an absolute path, with \" and \\ escapes.
std::filesystem::path PicturesDirFromUserDirs(std::string_view text, const std::filesystem::path& home) {
  return UserDirFromUserDirs(text, "XDG_PICTURES_DIR", home);
}

std::filesystem::path UserDirFromUserDirs(std::string_view text, std::string_view kKey,
                                          const std::filesystem::path& home) {
  std::filesystem::path found;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
    if (!line.starts_with(kKey)) continue;
    line.remove_prefix(kKey.size());
    line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
    if (!line.starts_with("=\"")) continue;
    line.remove_prefix(2);
    std::string value;
    bool closed = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line[i] == '\\' && i + 1 < line.size()) {
        value += line[++i];
      } else if (line[i] == '"') {
        closed = true;
        break;
      } else {
        value += line[i];
      }
    }
    if (!closed) continue;
    std::filesystem::path p;
    if (value.starts_with("$HOME")) {
      std::string rest = value.substr(5);
      if (!rest.empty() && rest.front() != '/') continue;
      while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
      while (!rest.empty() && rest.back() == '/') rest.pop_back();
      p = rest.empty() ? std::filesystem::path() : home / rest;
    } else if (value.starts_with('/')) {
      p = std::filesystem::path(value).lexically_normal();
      if (p == home.lexically_normal() || p == (home / "").lexically_normal()) p.clear();
    } else {
      continue;
    }
    found = p;  // the last line of the key wins, as with the shell that reads the file
  }
  return found;
}

std::filesystem::path DefaultSnapshotFolder() {
  const std::filesystem::path home = Home();
  std::ifstream in(UserConfigDir().parent_path() / "user-dirs.dirs", std::ios::binary);
  if (in) {
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (const auto pictures = PicturesDirFromUserDirs(text, home); !pictures.empty()) return pictures / "Quorvel";
  }
  return home / "Pictures" / "Quorvel";
}

std::filesystem::path DocumentsFolder() {
  if (const char* d = std::getenv("XDG_DOCUMENTS_DIR"); d && *d == '/') return std::filesystem::path(d);
  const std::filesystem::path home = Home();
  std::ifstream in(UserConfigDir().parent_path() / "user-dirs.dirs", std::ios::binary);
  if (in) {
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (auto docs = UserDirFromUserDirs(text, "XDG_DOCUMENTS_DIR", home); !docs.empty()) return docs;
  }
  return home / "Documents";
}

}  // namespace qv::workshop
