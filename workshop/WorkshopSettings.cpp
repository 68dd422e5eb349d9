#include "WorkshopSettings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

#include "AppPaths.h"
#include "IniText.h"
#include "Units.h"
#include "UserDirs.h"

namespace qv::workshop {
namespace {

using namespace keys;

std::string Number(double v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

std::optional<double> ParseNumber(std::string_view t) {
  double v = 0;
  const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
  if (t.empty() || r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<bool> ParseFlag(std::string_view t) {
  if (t == "1") return true;
  if (t == "0") return false;
  return std::nullopt;
}

std::string ReferenceName(const ModelSettings& m) {
  switch (m.reference) {
    case ReferenceKind::Mean: return "mean";
    case ReferenceKind::Midpoint: return "midpoint";
    case ReferenceKind::Cylinder: return "cylinder" + std::to_string(m.referenceCylinder + 1);
  }
  return "mean";
}

bool ParseReference(std::string_view t, ModelSettings& m) {
  if (t == "mean") {
    m.reference = ReferenceKind::Mean;
  } else if (t == "midpoint") {
    m.reference = ReferenceKind::Midpoint;
  } else if (t.size() == 9 && t.starts_with("cylinder") && t[8] >= '1' && t[8] <= '4') {
    m.reference = ReferenceKind::Cylinder;
    m.referenceCylinder = t[8] - '1';
  } else {
    return false;
  }
  return true;
}

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string h;
  for (unsigned char b : bytes) h += {kDigits[b >> 4], kDigits[b & 15]};
  return h;
}

std::optional<std::string> Unhex(std::string_view h) {
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  if (h.size() % 2 != 0) return std::nullopt;
  std::string out;
  for (std::size_t i = 0; i < h.size(); i += 2) {
    const int hi = digit(h[i]), lo = digit(h[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out += static_cast<char>(hi * 16 + lo);
  }
  return out;
}

// "o1;o2;o3;o4;name": the name is the rest, so it may hold ';' itself.
std::optional<std::pair<std::string, ZeroOffsets>> ParseZero(std::string_view t) {
  ZeroOffsets o{};
  for (double& v : o) {
    const std::size_t semi = t.find(';');
    if (semi == std::string_view::npos) return std::nullopt;
    const auto n = ParseNumber(t.substr(0, semi));
    if (!n || std::abs(*n) > kMaxZeroSpreadMbar) return std::nullopt;
    v = *n;
    t.remove_prefix(semi + 1);
  }
  if (t.empty()) return std::nullopt;
  return std::pair{std::string(t), o};
}

// Reads the known keys; returns what was wrong, or "".
std::string Read(const IniText& ini, WorkshopSettings& s) {
  if (!ini.HasSection(kSection)) return "no [" + std::string(kSection) + "] section";
  auto get = [&](std::string_view key) { return ini.Get(kSection, key); };
  auto bad = [](std::string_view key, const std::string& value) {
    return std::string(key) + "=" + value.substr(0, 40);
  };
  if (auto v = get(kTheme)) {
    if (*v == "day")
      s.theme = Theme::Day;
    else if (*v == "night")
      s.theme = Theme::Night;
    else
      return bad(kTheme, *v);
  }
  if (auto v = get(kUnit)) {
    const auto u = UnitFromKey(*v);
    if (!u) return bad(kUnit, *v);
    s.model.unit = *u;
  }
  if (auto v = get(kReference); v && !ParseReference(*v, s.model)) return bad(kReference, *v);
  if (auto v = get(kPairMode)) {
    const auto f = ParseFlag(*v);
    if (!f) return bad(kPairMode, *v);
    s.model.pairMode = *f;
  }
  if (auto v = get(kTolerance)) {
    const auto n = ParseNumber(*v);
    if (!n || *n < kMinToleranceMbar || *n > kMaxToleranceMbar) return bad(kTolerance, *v);
    s.model.toleranceMbar = *n;
  }
  if (auto v = get(kDamping)) {
    const auto n = ParseNumber(*v);
    if (!n || !IsDampingStep(*n)) return bad(kDamping, *v);
    s.model.dampingSeconds = *n;
  }
  if (auto v = get(kZoom)) {
    const auto n = *v == "auto" ? std::optional<double>(0) : ParseNumber(*v);
    if (!n || (*n != 0 && !IsZoomStep(*n))) return bad(kZoom, *v);
    s.model.zoom = *n;
  }
  if (auto v = get(kSnapshotFolder)) {
    // A CR inside the line reads, but could never be written back.
    if (!IsValidIniValue(*v)) return bad(kSnapshotFolder, *v);
    s.snapshotFolder = *v;
  }
  if (auto v = get(kGeometry)) {
    auto bytes = Unhex(*v);
    if (!bytes) return bad(kGeometry, *v);
    s.geometry = std::move(*bytes);
  }
  if (auto v = get(kReconnect)) {
    const auto f = ParseFlag(*v);
    if (!f) return bad(kReconnect, *v);
    s.reconnect = *f;
  }
  for (const std::string& key : ini.Keys(kZeroSection)) {
    const std::string v = ini.Get(kZeroSection, key).value_or("");
    auto entry = ParseZero(v);
    if (!entry) {
      // Built by appending: GCC 12 raises a false overlap warning on the chained form.
      std::string why = "[";
      why.append(kZeroSection).append("] ").append(bad(key, v));
      return why;
    }
    s.zeroOffsets[entry->first] = entry->second;
  }
  return {};
}

std::optional<std::string> ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  return text;
}

}  // namespace

std::string SettingsText(const WorkshopSettings& s) {
  IniText ini;
  ini.Set(kSection, kTheme, s.theme == Theme::Night ? "night" : "day");
  ini.Set(kSection, kUnit, UnitKey(s.model.unit));
  ini.Set(kSection, kReference, ReferenceName(s.model));
  ini.Set(kSection, kPairMode, s.model.pairMode ? "1" : "0");
  ini.Set(kSection, kTolerance, Number(s.model.toleranceMbar));
  ini.Set(kSection, kDamping, Number(s.model.dampingSeconds));
  ini.Set(kSection, kZoom, s.model.zoom == 0 ? "auto" : Number(s.model.zoom));
  // A folder whose name holds a line break cannot be kept in a line: the
  // default folder is stored instead (it still serves until the program ends).
  ini.Set(kSection, kSnapshotFolder, IsValidIniValue(s.snapshotFolder) ? s.snapshotFolder : std::string());
  ini.Set(kSection, kGeometry, Hex(s.geometry));
  ini.Set(kSection, kReconnect, s.reconnect ? "1" : "0");
  for (const auto& [key, value] : s.more)
    if (IsValidIniKeyName(key) && IsValidIniValue(value)) ini.Set(kSection, key, value);
  int n = 0;
  for (const auto& [port, o] : s.zeroOffsets) {
    if (port.empty() || !IsValidIniValue(port)) continue;  // a name that could not be read back
    std::string value;
    for (double v : o) value += Number(v) + ";";
    ini.Set(kZeroSection, std::string(kZeroKeyPrefix) + std::to_string(++n), value + port);
  }
  return ini.Bytes();
}

ParsedSettings ParseSettings(std::string_view text, const MoreKeysReader& more) {
  ParsedSettings out;
  // Damaged or not, the other capabilities' keys are their defaults at least.
  auto defaults = [&] {
    if (more) (void)more(IniText(), out.settings.more);
  };
  if (text.find('\0') != std::string_view::npos) {
    out.problem = "binary data";
    defaults();
    return out;
  }
  const IniText ini(text);
  WorkshopSettings s;
  out.problem = Read(ini, s);
  if (out.problem.empty() && more) out.problem = more(ini, s.more);
  if (out.problem.empty()) {
    s.model = Sanitised(s.model);
    out.settings = std::move(s);
  } else {
    defaults();
  }
  return out;
}

std::filesystem::path DefaultSettingsPath() { return UserConfigDir() / keys::kFileName; }

WorkshopSettingsFile::WorkshopSettingsFile(std::filesystem::path path, MoreKeysReader more)
    : path_(std::move(path)), more_(std::move(more)) {}

ParsedSettings WorkshopSettingsFile::Load() {
  damaged_ = false;
  loaded_ = {};
  if (more_) (void)more_(IniText(), loaded_.more);
  std::error_code ec;
  const auto status = std::filesystem::status(path_, ec);
  if (status.type() == std::filesystem::file_type::not_found) return {loaded_, {}};
  const std::optional<std::string> text =
      status.type() == std::filesystem::file_type::regular ? ReadAll(path_) : std::nullopt;
  if (!text) {
    damaged_ = true;
    return {loaded_, path_.string() + ": cannot be read"};
  }
  ParsedSettings p = ParseSettings(*text, more_);
  if (!p.problem.empty()) {
    damaged_ = true;
    p.problem = path_.string() + ": " + p.problem;
  }
  loaded_ = p.settings;
  return p;
}

std::string WorkshopSettingsFile::Save(const WorkshopSettings& s) {
  if (damaged_) {
    WorkshopSettings a = s, b = loaded_;
    a.geometry = b.geometry = {};
    if (a == b) return {};
  }
  try {
    AtomicWriteFile(path_, SettingsText(s));
  } catch (const std::exception& e) {
    return path_.string() + ": " + e.what();
  }
  damaged_ = false;
  return {};
}

std::filesystem::path SnapshotFolder(const WorkshopSettings& s) {
  return s.snapshotFolder.empty() ? DefaultSnapshotFolder() : std::filesystem::path(s.snapshotFolder);
}

}  // namespace qv::workshop
