#pragma once
// The program's own registry: Linux keeps none, so each root is a text file in
// the registry editor's export format in the user's configuration folder
// (HKEY_LOCAL_MACHINE.reg, HKEY_CURRENT_USER.reg), with the semantics the port
// settings store relies on: keys opened or created by path, string and 32-bit
// values, names compared without regard to case.
//
// Writes go to disk at once, each by an atomic replacement of the root's file
// that re-reads the file first, so values written before a failure stay
// written and two accessors never undo each other's values. A file with lines
// that are not understood is read as far as it goes and never overwritten;
// the errors name the file, the line and why.
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "RegFile.h"

using HKEY = std::uint32_t;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;

class ERegistryException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

namespace qv {
// "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE"; "" for any other value.
[[nodiscard]] const char* RegRootName(HKEY root);
}  // namespace qv

class TRegistry {
 public:
  // Keeps the roots' files in qv::UserConfigDir().
  TRegistry();
  // Keeps the roots' files in folder (for tools and tests).
  explicit TRegistry(std::filesystem::path folder);
  ~TRegistry() = default;
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  // The root that paths are resolved under; HKEY_CURRENT_USER at first.
  // Changing it closes the current key.
  HKEY RootKey() const { return root_; }
  void SetRootKey(HKEY root);

  // Opens the key at Key: relative to the current key, or to the root when no
  // key is open or Key starts with '\'. With CanCreate a missing key and the
  // keys above it are created and written to disk at once. Returns false, with
  // no key open, when the key is missing and cannot be created (CanCreate
  // false, a file that cannot be written, a malformed path, an unknown root).
  bool OpenKey(const std::string& Key, bool CanCreate);
  void CloseKey();
  bool HasCurrentKey() const { return open_; }
  // The open key's path below the root ("" when none is open).
  const std::string& CurrentPath() const { return path_; }

  // A missing value (or no open key) reads as empty text; a 32-bit value
  // throws ERegistryException.
  std::string ReadString(const std::string& Name) const;
  // A missing value, no open key, or a string value throws ERegistryException.
  int ReadInteger(const std::string& Name) const;
  // Throw ERegistryException when no key is open, the name or text cannot be
  // kept in the file (CR, LF or NUL), or the file cannot be written.
  void WriteString(const std::string& Name, const std::string& Value);
  void WriteInteger(const std::string& Name, int Value);

  bool ValueExists(const std::string& Name) const;
  // The open key's value names in creation order; empty when none is open.
  std::vector<std::string> GetValueNames() const;
  // Whether the key exists; resolved like OpenKey, without opening it.
  bool KeyExists(const std::string& Key) const;

  // The file that holds the current root.
  std::filesystem::path FileName() const;

 private:
  struct Loaded {
    qv::TRegRootData data;
    bool writable = true;  // parsed cleanly (or absent), so it may be replaced
    std::string why;       // when not writable: which line and why, for the user
  };
  Loaded Load() const;
  void Store(const qv::TRegRootData& data) const;
  bool Resolve(const std::string& key, std::string& path) const;
  // "the key PATH in FILE", for error messages.
  std::string Where() const;
  const qv::TRegKey* CurrentKey() const;
  void WriteValue(qv::TRegValue value);

  std::filesystem::path folder_;
  HKEY root_ = HKEY_CURRENT_USER;
  bool open_ = false;
  std::string path_;
  // The root as read at OpenKey or after the last write; reads are served from it.
  qv::TRegRootData snapshot_;
  // Why the last OpenKey found no key, so that the writes after it can say so.
  std::string open_failure_;
};
