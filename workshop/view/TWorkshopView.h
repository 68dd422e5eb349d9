#pragma once
// The workshop view: a window of its own that shows the four cylinders large
// enough to read from the engine, with a verdict. On its own tick (50 ms) it
// reads the main window's measurement state through WorkshopInputs, hands it
// to the calculation and redraws only when the reading changed. It never
// writes the measurement state, the port or the main window's settings.
#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "JobControls.h"
#include "ShortcutHelp.h"
#include "WorkshopRenderer.h"
#include "WorkshopSource.h"

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QDoubleSpinBox;
class QMenu;
class QToolBar;

namespace qv::workshop {

class AccessiblePart;
class GuardPanel;
class ToneControls;
class ToneSound;
class WorkshopCanvas;

// What a replay shows in the view's banner.
struct ReplayShown {
  bool on = false;
  bool paused = false;
  std::string file;    // its path
  double seconds = 0;  // the recorded time of the frame shown
  bool operator==(const ReplayShown&) const = default;
};

// What the view reads of its source of readings, each time it ticks (the
// session, through SessionLook; tests give their own).
struct WorkshopInputs {
  std::function<bool()> active;                         // a scan or a replay delivers
  std::function<std::uint64_t()> maximaFrames;          // frames whose maxima went into MAXIMA, so far
  std::function<std::array<std::int32_t, 4>()> maxima;  // MAXIMA
  std::function<double()> now;                          // the source's time (unset: the view's own clock)
  std::function<std::uint64_t()> restarts;              // moves on when the source jumped (a replay sought)
  std::function<ReplayShown()> replay;                  // unset: never a replay
};

// What the view says of the link to the device while reconnecting is on.
enum class ConnectionNotice {
  kNone,     // connected, or no scan
  kWaiting,  // the device vanished during a scan and is waited for
  kLost      // the device vanished and cannot be waited for
};

class TWorkshopView : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr QSize kMinSize{640, 400};
  static constexpr QSize kInitialSize{1024, 640};
  static constexpr int kTickMs = 50;

  // `store`, when given, must outlive the view: the settings are read from it
  // now and written to it whenever the user changes one.
  TWorkshopView(WorkshopSource& source, WorkshopInputs inputs, ViewSettingsStore* store = nullptr,
                QWidget* parent = nullptr);
  ~TWorkshopView() override;

  // One tick, as the timer runs it (tests call it directly).
  void Tick();
  void SetChoices(const ViewChoices& c);
  [[nodiscard]] const ViewChoices& Choices() const { return choices_; }
  void SetHold(bool on);
  [[nodiscard]] bool Held() const { return held_; }
  void SetTheme(ThemeKind kind);
  void ResetDamping();
  void Zero();
  void ClearZero();
  void ToggleFullScreen();
  // Saves the picture and its CSV line into SnapshotFolder(); the message
  // shown afterwards is StatusText().
  void Snapshot();
  // An empty folder means the default one.
  void SetSnapshotFolder(const std::filesystem::path& folder);
  [[nodiscard]] std::filesystem::path SnapshotFolder() const;
  void SetLanguage(const ViewLanguage& language);

  // Reconnecting while the view is open (stored with its settings). The hook
  // hears every change the user makes.
  void SetReconnect(bool on);
  [[nodiscard]] bool Reconnect() const { return reconnect_; }
  std::function<void(bool)> OnReconnectChanged;
  // The link's state, shown large while the device is waited for.
  void SetConnectionNotice(ConnectionNotice notice);
  [[nodiscard]] ConnectionNotice Notice() const { return notice_; }

  // The phone view's switch in the menu "Weitere": the hook hears the user's
  // click, the check mark shows what the owner says with SetPhone.
  std::function<void(bool)> OnPhone;
  void SetPhone(bool on);
  [[nodiscard]] bool Phone() const;

  [[nodiscard]] const Reading& Shown() const { return shown_; }
  // Hears the reading shown each time it changes. While it is set, the view
  // keeps working out its reading when minimised, for whoever listens.
  std::function<void(const Reading&)> OnShown;
  [[nodiscard]] const QImage& Picture() const { return picture_; }
  [[nodiscard]] const WorkshopRenderer& Renderer() const { return renderer_; }
  [[nodiscard]] std::uint64_t Redraws() const { return redraws_; }
  // Called when the canvas has put a picture on screen, with the maxima
  // frame count of the look whose reading it shows (for measuring the delay
  // from a frame to the screen).
  std::function<void(std::uint64_t maximaFrames)> OnPainted;
  [[nodiscard]] QString StatusText() const;
  // The replay banner's text, empty while no replay shows.
  [[nodiscard]] QString BannerText() const;
  [[nodiscard]] QToolBar* Controls() const { return toolbar_; }
  // The tool bar's menu of the choices used less often.
  [[nodiscard]] QMenu* MoreMenu() const { return more_; }

  // The job around the measurement (JobControls.h): what the tool bar's scan,
  // recording and replay controls call, and the state they show.
  void SetJobActions(JobActions actions);
  void SetJobState(const JobState& state);
  [[nodiscard]] const JobState& Job() const { return job_; }

  // The list of the view's keys over the window (F1, "?"; Esc or a click closes it).
  void ShowShortcuts(bool on);
  [[nodiscard]] bool ShortcutsShown() const;
  [[nodiscard]] std::vector<ShortcutLine> Shortcuts() const;

  // The guidance tone (ToneControls.h) and the sound it drives, which must
  // outlive the view or be taken back with nullptr.
  void SetToneSound(ToneSound* sound);
  [[nodiscard]] ToneControls& Tone() const { return *tone_; }
  // The engine guard whose running time, notice and drift are shown
  // (GuardPanel.h); the same rule.
  void SetEngineGuard(guard::EngineGuard* guard);
  [[nodiscard]] GuardPanel& Guard() const { return *guard_panel_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  friend class WorkshopCanvas;
  friend class ToneControls;
  friend class GuardPanel;
  void BuildControls();
  void BuildJobControls();
  void BuildShortcuts();
  void FillControls();
  void FillJobControls();
  void ShowJobState();
  void ChoicesFromControls();
  void Redraw();
  void UpdateAccessibleParts();
  void ShowMessage(const QString& text);
  void ShowReplay(const ReplayShown& replay);
  void LoadSettings();
  void SaveSettings();
  double Now() const { return static_cast<double>(clock_.nsecsElapsed()) * 1e-9; }

  WorkshopSource& source_;
  WorkshopInputs inputs_;
  WorkshopRenderer renderer_;
  ViewChoices choices_;
  Reading shown_;
  std::uint64_t shown_frames_ = 0;  // the maxima frame count of the look shown_ came from
  std::uint64_t drawn_frames_ = 0;  // ... and of the picture drawn last
  bool drawn_ = false;              // shown_ has been drawn at the canvas's size
  bool held_ = false;
  std::uint64_t redraws_ = 0;
  std::uint64_t restarts_ = 0;             // the inputs' restart count last seen
  ReplayShown replay_shown_;               // what the banner says
  std::filesystem::path snapshot_folder_;  // empty: the default
  ViewSettingsStore* store_ = nullptr;
  bool loading_ = false;
  bool reconnect_ = true;
  ConnectionNotice notice_ = ConnectionNotice::kNone;
  QElapsedTimer clock_;
  QTimer tick_;
  QImage picture_;
  WorkshopCanvas* canvas_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* banner_ = nullptr;
  QToolBar* banner_bar_ = nullptr;
  QComboBox* reference_ = nullptr;
  QComboBox* unit_ = nullptr;
  QDoubleSpinBox* tolerance_ = nullptr;
  QActionGroup* damping_ = nullptr;
  QActionGroup* zoom_ = nullptr;
  QMenu* more_ = nullptr;
  QMenu* damping_menu_ = nullptr;
  QMenu* zoom_menu_ = nullptr;
  QAction* pair_ = nullptr;
  QAction* night_ = nullptr;
  QAction* hold_ = nullptr;
  QAction* reconnect_action_ = nullptr;
  QAction* phone_ = nullptr;
  bool phone_on_ = false;
  JobActions job_actions_;
  JobState job_;
  QAction* start_scan_ = nullptr;
  QAction* stop_scan_ = nullptr;
  QAction* record_ = nullptr;
  QAction* replay_ = nullptr;
  QAction* pause_replay_ = nullptr;
  QAction* end_replay_ = nullptr;
  QLabel* job_label_ = nullptr;
  ShortcutHelp* help_ = nullptr;
  std::array<AccessiblePart*, 4> difference_parts_{};
  std::array<AccessiblePart*, 4> absolute_parts_{};
  std::array<AccessiblePart*, 4> scatter_parts_{};
  AccessiblePart* reference_part_ = nullptr;
  AccessiblePart* unit_part_ = nullptr;
  AccessiblePart* tolerance_part_ = nullptr;
  AccessiblePart* verdict_part_ = nullptr;
  AccessiblePart* connection_part_ = nullptr;
  ToneControls* tone_ = nullptr;
  GuardPanel* guard_panel_ = nullptr;
};

}  // namespace qv::workshop
