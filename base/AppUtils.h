#pragma once
// INI files as the settings file, the window placement store and the port
// settings use them, and where those files live.
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "IniText.h"

// Raised when an INI file cannot be written. The message names the file with
// its full path: "In /path/Quorvel.ini kann nicht geschrieben werden".
class EIniFileError : public std::runtime_error {
 public:
  explicit EIniFileError(const std::filesystem::path& fileName);
};

// One INI file. The file is read when the object is made (a missing file reads
// as empty) and read again before every write, so that two writers of
// different keys keep each other's values. Every write replaces the file
// atomically (temporary file + rename), or, for a file in a folder where no
// temporary file can be made, writes it in place (qv::ReplaceFile); only the
// written line changes, every other byte of the file stays as it was. Reading
// and writing rules: IniText.h.
class TIniFile {
 public:
  explicit TIniFile(std::filesystem::path fileName);

  // The absolute path of the file.
  [[nodiscard]] const std::filesystem::path& FileName() const { return file_name_; }

  [[nodiscard]] std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  // A value that is not an integer (see qv::ParseIniInteger) gives `def`.
  [[nodiscard]] int ReadInteger(std::string_view section, std::string_view key, int def) const;
  // Any integer other than 0 is true; a value that is not an integer gives `def`.
  [[nodiscard]] bool ReadBool(std::string_view section, std::string_view key, bool def) const;

  // Throw EIniFileError when the file cannot be read back or written (nothing
  // changes then, neither on disk nor in this object), std::invalid_argument
  // for names or values that cannot be stored (see IniText.h).
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  [[nodiscard]] bool SectionExists(std::string_view section) const;
  [[nodiscard]] bool ValueExists(std::string_view section, std::string_view key) const;
  // The key names of a section in file order.
  [[nodiscard]] std::vector<std::string> ReadSection(std::string_view section) const;

  // Reads the file again (another writer may have changed it).
  void Reload();

 private:
  std::filesystem::path file_name_;
  qv::IniText text_;
  bool unreadable_ = false;  // the file exists but could not be read: never overwrite it
};

namespace qv {

// The settings file "Quorvel.ini": beside the executable when that folder is
// writable or the file already exists there; otherwise in the per-user
// configuration folder (an installed program's folder is not writable).
std::filesystem::path SettingsFilePath();
// The same rule for given folders.
std::filesystem::path SettingsFilePathIn(const std::filesystem::path& exeDir, const std::filesystem::path& configDir);

// The executable's file name with its extension replaced by ".INI" (or ".INI"
// appended when it has none): the placement store's default file name.
std::string DefaultPlacementFile();

// A bare file name (no folder) lives in the per-user configuration folder, so
// it never depends on the current directory; a name with a folder is used as is.
std::filesystem::path PlacementFilePath(const std::filesystem::path& name);

}  // namespace qv
