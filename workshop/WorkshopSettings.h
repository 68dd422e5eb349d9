#pragma once
// The workshop view's own settings and their file,
// $XDG_CONFIG_HOME/quorvel/workshop.ini. The file is replaced atomically; a
// file that cannot be understood gives the defaults and a message, and is left
// as it is until the user changes a setting.
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "WorkshopModel.h"

namespace qv {
class IniText;
}

namespace qv::workshop {

enum class Theme { Day, Night };

// Section, key and value names of the file.
namespace keys {
inline constexpr std::string_view kFileName = "workshop.ini";
inline constexpr std::string_view kSection = "Workshop";
inline constexpr std::string_view kTheme = "Theme";
inline constexpr std::string_view kUnit = "Unit";
inline constexpr std::string_view kReference = "Reference";            // mean, midpoint, cylinder1..cylinder4
inline constexpr std::string_view kPairMode = "PairMode";              // 0 or 1
inline constexpr std::string_view kTolerance = "Tolerance";            // mBar
inline constexpr std::string_view kDamping = "Damping";                // seconds
inline constexpr std::string_view kZoom = "Zoom";                      // auto, or the full scale in the unit
inline constexpr std::string_view kSnapshotFolder = "SnapshotFolder";  // empty: the default folder
inline constexpr std::string_view kGeometry = "Geometry";              // the window's bytes in hexadecimal
inline constexpr std::string_view kReconnect = "Reconnect";            // 0 or 1
// One key per port: value "o1;o2;o3;o4;port name", the offsets in mBar.
inline constexpr std::string_view kZeroSection = "ZeroOffsets";
inline constexpr std::string_view kZeroKeyPrefix = "Port";
}  // namespace keys

struct WorkshopSettings {
  Theme theme = Theme::Day;
  ModelSettings model;                             // unit, reference, pair mode, tolerance, damping, zoom
  std::string snapshotFolder;                      // empty: DefaultSnapshotFolder()
  std::map<std::string, ZeroOffsets> zeroOffsets;  // by port name
  std::string geometry;                            // as the window gave it, any bytes
  bool reconnect = true;
  // Keys other capabilities keep in the [Workshop] section (the guidance
  // tone's, the engine guard's), as their owners write them.
  std::map<std::string, std::string> more;

  bool operator==(const WorkshopSettings&) const = default;
};

// Reads the keys of other capabilities from the file's text: fills `keys`
// with them as they are to be written back (their defaults where missing) and
// returns what could not be understood, "" when nothing. The view's file
// alone does not know them; the program's assembly gives this.
using MoreKeysReader = std::function<std::string(const IniText& file, std::map<std::string, std::string>& keys)>;

// The text of the file for these settings, and the settings of a text: an
// empty `problem` when everything was understood, else the defaults and what
// was wrong (a missing section, a key and its value).
[[nodiscard]] std::string SettingsText(const WorkshopSettings& s);
struct ParsedSettings {
  WorkshopSettings settings;
  std::string problem;
};
[[nodiscard]] ParsedSettings ParseSettings(std::string_view text, const MoreKeysReader& more = {});

[[nodiscard]] std::filesystem::path DefaultSettingsPath();

class WorkshopSettingsFile {
 public:
  explicit WorkshopSettingsFile(std::filesystem::path path = DefaultSettingsPath(), MoreKeysReader more = {});

  // A missing file gives the defaults without a problem.
  [[nodiscard]] ParsedSettings Load();
  // Writes the settings; returns "" or why they could not be written. While
  // the file loaded was damaged it is only replaced once a setting differs
  // from what Load gave (the window's geometry alone does not count).
  [[nodiscard]] std::string Save(const WorkshopSettings& s);

  [[nodiscard]] bool Damaged() const { return damaged_; }
  [[nodiscard]] const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
  MoreKeysReader more_;
  bool damaged_ = false;
  WorkshopSettings loaded_;
};

// The folder snapshots go to: the chosen one, or the default.
[[nodiscard]] std::filesystem::path SnapshotFolder(const WorkshopSettings& s);

}  // namespace qv::workshop
