#pragma once
// TFormPlacement: remembers where a window was (position, normal size,
// minimised/maximised state) in an INI file when it closes, and puts it back
// there when it is shown again.
//
// How the platform's window-placement record maps onto Qt (X11, Wayland, and
// anything else Qt runs on):
//  - "Flags": always written as 0; read and ignored (Qt has no such flags).
//  - "ShowCmd": 2 when the window is minimised, 3 when maximised or full
//    screen, else 1. Read: 1, 5, 9 normal; 2, 6, 7 minimised; 3 maximised.
//  - "MinMaxPos": "0,0,0,0": these platforms keep no positions for a
//    minimised or maximised window. Read and ignored.
//  - "NormPos": left, top, right, bottom of the window in its normal state,
//    where left/top is the position of the outer frame (what QWidget::pos()
//    reports and move() takes) and right/bottom are left/top plus the width
//    and height of the client area (what resize() takes). Unlike the outer
//    rectangle this round-trips exactly even before the window manager has
//    told us the frame size, so a sizeable window does not grow by its frame
//    at every opening. For a maximised window the normal geometry is used.
//  - "PixelsPerInch": the screen's logical dots per inch, rounded.
//  - The resolution suffix "(WxH)" uses the screen's size in device-independent
//    pixels, the same units as the positions.
//  - "Sizeable" means the window's minimum and maximum sizes differ; a window
//    with a fixed size (a dialog) keeps its size and only its position is
//    restored.
// The window and screen are the owner's (QWidget::screen()), the primary
// screen for a window that has none yet.
#include <QObject>
#include <QPointer>
#include <QRect>
#include <exception>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

class QWidget;
class TIniFile;

enum TPlacementOption { fpState, fpPosition, fpActiveControl };

class TPlacementOptions {
 public:
  constexpr TPlacementOptions() = default;
  constexpr TPlacementOptions(std::initializer_list<TPlacementOption> members) {
    for (auto m : members) bits_ |= 1u << m;
  }
  [[nodiscard]] constexpr bool contains(TPlacementOption m) const { return (bits_ >> m) & 1u; }
  friend constexpr bool operator==(TPlacementOptions a, TPlacementOptions b) { return a.bits_ == b.bits_; }

 private:
  unsigned bits_ = 0;
};

// Size limits of the window; all 0 means none. MinTrack and MaxTrack become
// the window's minimum and maximum size when a placement is loaded; the
// maximised size and position have no counterpart here and are only kept.
struct TWinMinMaxInfo {
  int MaxPosLeft = 0, MaxPosTop = 0, MaxSizeHeight = 0, MaxSizeWidth = 0;
  int MaxTrackHeight = 0, MaxTrackWidth = 0, MinTrackHeight = 0, MinTrackWidth = 0;
  [[nodiscard]] bool DefaultMinMaxInfo() const;
};

namespace qv {

// A window with its own rule for where it appears when shown (centred on the
// screen, say) implements this, so that a restored position is not overridden
// by that rule afterwards.
class PositionRule {
 public:
  virtual ~PositionRule() = default;
  [[nodiscard]] virtual bool CentresOnShow() const = 0;
  // Switch to the designed position, without moving the window.
  virtual void UseDesignedPosition() = 0;
};

// One window's placement as it is stored.
struct WindowPlacement {
  int showCmd = 1;
  QRect normal;  // frame position, client size
  QSize screen;
  int pixelsPerInch = 96;
};

}  // namespace qv

class TFormPlacement : public QObject {
  Q_OBJECT
 public:
  // Attaches to `owner` (a top-level window) and becomes its child. Loading
  // happens when the owner is shown, storing when it has been closed (for a
  // QDialog: when it has finished) and, if the last showing was not followed
  // by a store, when the owner or this object is destroyed.
  explicit TFormPlacement(QWidget* owner);
  ~TFormPlacement() override;
  TFormPlacement(const TFormPlacement&) = delete;
  TFormPlacement& operator=(const TFormPlacement&) = delete;

  [[nodiscard]] bool Active() const { return active_; }
  void SetActive(bool on) { active_ = on; }
  [[nodiscard]] const std::string& IniFileName() const { return ini_file_name_; }
  void SetIniFileName(std::string name) { ini_file_name_ = std::move(name); }
  [[nodiscard]] const std::string& IniSection() const { return ini_section_; }
  void SetIniSection(std::string section) { ini_section_ = std::move(section); }
  [[nodiscard]] TPlacementOptions Options() const { return options_; }
  void SetOptions(TPlacementOptions options) { options_ = options; }
  [[nodiscard]] int Version() const { return version_; }
  void SetVersion(int version) { version_ = version; }
  [[nodiscard]] bool PreventResize() const { return prevent_resize_; }
  void SetPreventResize(bool on) { prevent_resize_ = on; }
  [[nodiscard]] const TWinMinMaxInfo& MinMaxInfo() const { return min_max_info_; }
  void SetMinMaxInfo(const TWinMinMaxInfo& info) { min_max_info_ = info; }

  std::function<void()> OnSavePlacement;
  std::function<void()> OnRestorePlacement;
  // Receives errors of loads and stores run by the owner's show, close and
  // destruction, which go on all the same. Writes to stderr when unset.
  std::function<void(const std::exception&)> ErrorReporter;

  // The executable's name with ".INI"; a bare name lives in the per-user
  // configuration folder (qv::PlacementFilePath).
  [[nodiscard]] std::string DefaultPlacementFile() const;
  // The owner's class name without namespace ("TForm2"), taken when this is
  // made and whenever the owner is shown (while it is being destroyed the
  // owner no longer knows its own class).
  [[nodiscard]] std::string DefaultPlacementSection() const;
  [[nodiscard]] std::filesystem::path IniFilePath() const;
  [[nodiscard]] std::string Section() const;

  // Both may throw EIniFileError (the store: when the file cannot be written).
  void StorePlacement();
  void LoadPlacement();

  [[nodiscard]] bool PlacementRestored() const { return placement_restored_; }
  [[nodiscard]] bool PlacementSaved() const { return placement_saved_; }
  [[nodiscard]] bool SavingOnDestroy() const { return saving_on_destroy_; }

  // The store that destruction runs. An owner may call it from its destructor;
  // otherwise it runs when this object is destroyed, from the placement last
  // seen while the owner was alive. Runs once.
  void BeforeDestroy();

  // The owner's placement as it would be stored now.
  [[nodiscard]] qv::WindowPlacement CurrentPlacement() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

  virtual void WritePlacementKeys();
  virtual void ReadPlacementKeys(bool state, bool position);
  virtual std::string ReadString(const std::string& key, const std::string& def);
  virtual void WriteString(const std::string& key, const std::string& value);
  virtual void Save();
  virtual void Restore();

 private:
  void Report(const std::exception& e) const;
  void Closed();
  void Remember();
  void RememberClass();
  void ApplyLimits();
  [[nodiscard]] std::string ResolutionSuffix() const;

  QPointer<QWidget> owner_;
  bool active_ = true;
  std::string ini_file_name_;
  std::string ini_section_;
  TPlacementOptions options_{fpState, fpPosition};
  int version_ = 0;
  bool prevent_resize_ = false;
  TWinMinMaxInfo min_max_info_;

  bool placement_restored_ = false;
  bool placement_saved_ = false;
  bool saving_on_destroy_ = false;
  bool destroy_handled_ = false;
  bool forwarding_close_ = false;
  bool owner_gone_ = false;         // from here on only the remembered placement is used
  qv::WindowPlacement remembered_;  // refreshed whenever the owner moves, resizes or changes state
  std::string owner_class_;
  TIniFile* ini_ = nullptr;  // the file of the load or store that is running
};
