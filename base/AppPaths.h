#pragma once
// Where the program keeps its files, and how it writes them safely.
#include <filesystem>
#include <string_view>

namespace qv {

// The per-user configuration folder: $XDG_CONFIG_HOME/quorvel, or
// ~/.config/quorvel when that variable is unset or empty. Not created here.
std::filesystem::path UserConfigDir();

// The per-user data folder: $XDG_DATA_HOME/quorvel, or ~/.local/share/quorvel
// when that variable is unset or empty. Not created here.
std::filesystem::path UserDataDir();

// The per-user runtime folder for announcements of running programs:
// $XDG_RUNTIME_DIR/quorvel, or a folder below the system's temporary folder
// (named after the user id) when that variable is unset or empty.
std::filesystem::path UserRuntimeDir();

// The folder in which running simulated devices announce their ports (one
// symbolic link each) and in which the port list looks for them.
std::filesystem::path PortAnnouncementDir();

// The folder of the running executable (from /proc/self/exe).
std::filesystem::path ExecutableDir();

// The running executable's file name without its folder.
std::string ExecutableName();

// Replaces the file at `path` with `bytes` atomically: the bytes go to a
// temporary file in the same folder, are flushed to disk, and the temporary
// file is renamed over the target. Missing parent folders are created. On any
// failure the old file is left untouched, the temporary file is removed, and
// std::system_error is thrown with the system's error code.
void AtomicWriteFile(const std::filesystem::path& path, std::string_view bytes);

// AtomicWriteFile where the folder allows a temporary file. An existing file
// in a folder that does not (no right to add a file there) is written in
// place instead: rewritten from its start, cut to the new length and flushed
// to disk. Throws std::system_error when neither works.
void ReplaceFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace qv
