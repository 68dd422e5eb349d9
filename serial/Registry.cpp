#include "Registry.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <system_error>

#include "AppPaths.h"

namespace qv {

const char* RegRootName(HKEY root) {
  switch (root) {
    case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
    default: return "";
  }
}

namespace {

// Reads a whole file. Returns 0, or the errno of the failure (ENOENT for a
// file that is not there).
int ReadWholeFile(const std::filesystem::path& path, std::string& bytes) {
  bytes.clear();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  char buf[8192];
  int err = 0;
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n > 0) {
      bytes.append(buf, static_cast<std::size_t>(n));
    } else if (n == 0) {
      break;
    } else if (errno != EINTR) {
      err = errno;
      break;
    }
  }
  ::close(fd);
  return err;
}

}  // namespace
}  // namespace qv

TRegistry::TRegistry() : TRegistry(qv::UserConfigDir()) {}

TRegistry::TRegistry(std::filesystem::path folder) : folder_(std::move(folder)) {}

void TRegistry::SetRootKey(HKEY root) {
  if (root == root_) return;
  CloseKey();
  root_ = root;
}

std::filesystem::path TRegistry::FileName() const { return folder_ / (std::string(qv::RegRootName(root_)) + ".reg"); }

TRegistry::Loaded TRegistry::Load() const {
  Loaded result;
  std::string bytes;
  int err = qv::ReadWholeFile(FileName(), bytes);
  if (err == ENOENT) return result;
  if (err != 0) {
    // Something is there that cannot be read: never replace it.
    result.writable = false;
    result.why = FileName().string() + " cannot be read: " + std::generic_category().message(err);
    return result;
  }
  auto parsed = qv::ParseRegFile(bytes, qv::RegRootName(root_));
  result.data = std::move(parsed.data);
  result.writable = parsed.clean;
  if (!parsed.clean)
    result.why = "line " + std::to_string(parsed.firstBadLine) + " of " + FileName().string() + " is not understood (" +
                 parsed.badReason + "), so the file is left as it is";
  return result;
}

void TRegistry::Store(const qv::TRegRootData& data) const {
  try {
    qv::AtomicWriteFile(FileName(), qv::FormatRegFile(data, qv::RegRootName(root_)));
  } catch (const std::system_error& e) {
    throw ERegistryException(std::string("Failed to write the registry: ") + e.what());
  }
}

bool TRegistry::Resolve(const std::string& key, std::string& path) const {
  if (*qv::RegRootName(root_) == '\0') return false;
  std::string_view k = key;
  bool absolute = !k.empty() && k.front() == '\\';
  if (absolute) k.remove_prefix(1);
  if (!k.empty() && k.back() == '\\') k.remove_suffix(1);
  if (absolute || !open_ || path_.empty()) {
    path.assign(k);
  } else {
    path = k.empty() ? path_ : path_ + '\\' + std::string(k);
  }
  std::vector<std::string_view> parts;
  return qv::SplitRegPath(path, parts);
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
  std::string path;
  bool valid = Resolve(Key, path);  // relative to the key still open
  CloseKey();
  if (!valid) {
    open_failure_ = "the key \"" + Key + "\" is not a valid key path";
    return false;
  }
  Loaded loaded = Load();
  if (path.empty() || loaded.data.FindKey(path)) {
    snapshot_ = std::move(loaded.data);
    if (const auto* k = snapshot_.FindKey(path)) path = k->path;  // keep the stored spelling
  } else {
    const std::string cannot = "the key " + path + " is missing and cannot be created: ";
    if (!CanCreate) {
      open_failure_ = "the key " + path + " is missing in " + FileName().string();
      return false;
    }
    if (!loaded.writable) {
      open_failure_ = cannot + loaded.why;
      return false;
    }
    loaded.data.CreateKey(path);
    try {
      Store(loaded.data);
    } catch (const ERegistryException& e) {
      open_failure_ = cannot + e.what();
      return false;
    }
    snapshot_ = std::move(loaded.data);
  }
  open_failure_.clear();
  path_ = std::move(path);
  open_ = true;
  return true;
}

void TRegistry::CloseKey() {
  open_ = false;
  path_.clear();
  snapshot_ = {};
}

const qv::TRegKey* TRegistry::CurrentKey() const { return open_ ? snapshot_.FindKey(path_) : nullptr; }

std::string TRegistry::ReadString(const std::string& Name) const {
  const auto* key = CurrentKey();
  const auto* v = key ? key->Find(Name) : nullptr;
  if (!v) return {};
  if (v->type != qv::TRegValueType::String)
    throw ERegistryException("Invalid data type for '" + Name + "': " + Where() +
                             " holds no string value of that name");
  return v->text;
}

int TRegistry::ReadInteger(const std::string& Name) const {
  const auto* key = CurrentKey();
  const auto* v = key ? key->Find(Name) : nullptr;
  if (!v) throw ERegistryException("Failed to get data for '" + Name + "': " + Where() + " has no value of that name");
  if (v->type != qv::TRegValueType::DWord)
    throw ERegistryException("Invalid data type for '" + Name + "': " + Where() + " holds no dword value of that name");
  return static_cast<int>(v->dword);
}

std::string TRegistry::Where() const {
  return open_ ? "the key " + path_ + " in " + FileName().string() : "no key of " + FileName().string() + " is open";
}

void TRegistry::WriteValue(qv::TRegValue value) {
  if (!open_)
    throw ERegistryException("Failed to set data for '" + value.name +
                             "': " + (open_failure_.empty() ? std::string("no key is open") : open_failure_));
  if (!qv::IsStorableRegText(value.name) || !qv::IsStorableRegText(value.text))
    throw ERegistryException("Failed to set data for '" + value.name + "': line breaks and zero bytes cannot be kept");
  // Start from the file as it is now, so that values written meanwhile by
  // another accessor survive this write.
  Loaded loaded = Load();
  if (!loaded.writable) throw ERegistryException("Failed to set data for '" + value.name + "': " + loaded.why);
  loaded.data.CreateKey(path_).Set(std::move(value));
  Store(loaded.data);
  snapshot_ = std::move(loaded.data);
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
  WriteValue(qv::TRegValue{Name, qv::TRegValueType::String, Value, 0});
}

void TRegistry::WriteInteger(const std::string& Name, int Value) {
  WriteValue(qv::TRegValue{Name, qv::TRegValueType::DWord, {}, static_cast<std::uint32_t>(Value)});
}

bool TRegistry::ValueExists(const std::string& Name) const {
  const auto* key = CurrentKey();
  return key && key->Find(Name);
}

std::vector<std::string> TRegistry::GetValueNames() const {
  std::vector<std::string> names;
  if (const auto* key = CurrentKey())
    for (const auto& v : key->values)
      if (v.type != qv::TRegValueType::Comment) names.push_back(v.name);
  return names;
}

bool TRegistry::KeyExists(const std::string& Key) const {
  std::string path;
  if (!Resolve(Key, path)) return false;
  return path.empty() || Load().data.FindKey(path) != nullptr;
}
