#pragma once
// The desktop's pictures folder, read as a desktop reads it, and the default
// folder for the workshop view's snapshots.
#include <filesystem>
#include <string_view>

namespace qv::workshop {

// XDG_PICTURES_DIR from the text of a user-dirs.dirs file, "$HOME" expanded;
// empty when the file does not name it, names the home folder itself (the
// desktop's way of switching it off) or gives a relative path.
[[nodiscard]] std::filesystem::path PicturesDirFromUserDirs(std::string_view text, const std::filesystem::path& home);
// The same for any key of the file ("XDG_DOCUMENTS_DIR", ...).
[[nodiscard]] std::filesystem::path UserDirFromUserDirs(std::string_view text, std::string_view key,
                                                        const std::filesystem::path& home);

// $XDG_PICTURES_DIR/Quorvel from $XDG_CONFIG_HOME/user-dirs.dirs, else ~/Pictures/Quorvel.
[[nodiscard]] std::filesystem::path DefaultSnapshotFolder();

// The desktop's documents folder: $XDG_DOCUMENTS_DIR when set, else the one
// user-dirs.dirs names, else ~/Documents.
[[nodiscard]] std::filesystem::path DocumentsFolder();

}  // namespace qv::workshop
