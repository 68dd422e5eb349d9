#pragma once
// The workshop view: a window of its own that shows the four cylinders large
// enough to read from the engine, with a verdict. On its own tick (50 ms) it
// reads the main window's measurement state through WorkshopInputs, hands new
// maxima frames to the calculation and redraws only when the reading changed.
// It never writes the measurement state, the port or the main window's
// settings.
#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>

#include "WorkshopRenderer.h"
#include "WorkshopSource.h"

class QAction;
class QComboBox;
class QLabel;
class QSpinBox;
class QToolBar;

namespace qv::workshop {

class AccessiblePart;
class WorkshopCanvas;

// What the view reads of the main window, each time it ticks.
struct WorkshopInputs {
  std::function<bool()> portOpen;
  std::function<std::uint64_t()> frames;                // frames decoded so far
  std::function<bool()> lastFrameHadMaxima;             // the last frame set MAXIMA
  std::function<std::array<std::int32_t, 4>()> maxima;  // MAXIMA
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
  void SetText(const ViewText& text);

  [[nodiscard]] const Reading& Shown() const { return shown_; }
  [[nodiscard]] const QImage& Picture() const { return picture_; }
  [[nodiscard]] const WorkshopRenderer& Renderer() const { return renderer_; }
  [[nodiscard]] std::uint64_t Redraws() const { return redraws_; }
  [[nodiscard]] QString StatusText() const;
  [[nodiscard]] QToolBar* Controls() const { return toolbar_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  friend class WorkshopCanvas;
  void BuildControls();
  void BuildShortcuts();
  void FillControls();
  void ChoicesFromControls();
  void Redraw();
  void UpdateAccessibleParts();
  void ShowMessage(const QString& text);
  void LoadSettings();
  void SaveSettings();
  double Now() const { return static_cast<double>(clock_.nsecsElapsed()) * 1e-9; }

  WorkshopSource& source_;
  WorkshopInputs inputs_;
  WorkshopRenderer renderer_;
  ViewChoices choices_;
  Reading shown_;
  bool drawn_ = false;  // shown_ has been drawn at the canvas's size
  bool held_ = false;
  std::uint64_t last_frames_ = 0;
  std::uint64_t redraws_ = 0;
  std::filesystem::path snapshot_folder_;  // empty: the default
  ViewSettingsStore* store_ = nullptr;
  bool loading_ = false;
  QElapsedTimer clock_;
  QTimer tick_;
  QImage picture_;
  WorkshopCanvas* canvas_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  QLabel* status_ = nullptr;
  QComboBox* reference_ = nullptr;
  QComboBox* unit_ = nullptr;
  QSpinBox* tolerance_ = nullptr;
  QComboBox* damping_ = nullptr;
  QComboBox* zoom_ = nullptr;
  QAction* pair_ = nullptr;
  QAction* night_ = nullptr;
  QAction* hold_ = nullptr;
  std::array<AccessiblePart*, 4> difference_parts_{};
  std::array<AccessiblePart*, 4> absolute_parts_{};
  AccessiblePart* reference_part_ = nullptr;
  AccessiblePart* unit_part_ = nullptr;
  AccessiblePart* verdict_part_ = nullptr;
};

}  // namespace qv::workshop
