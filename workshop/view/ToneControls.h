#pragma once
// The workshop view's guidance tone: the tool bar's switch "Ton" (key T),
// the volume and the followed cylinder in the menu "Weitere" (Shift+T moves
// on to the next cylinder), the tone's state in the status bar and for
// screen readers. After every change of what the view shows it hands the
// followed difference, as shown, to the sound.
#include <QObject>
#include <QString>

#include "Guidance.h"
#include "ToneSettings.h"
#include "WorkshopReading.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;

namespace qv::workshop {

class AccessiblePart;
class TWorkshopView;
class ToneSound;
struct ViewLanguage;

class ToneControls : public QObject {
  Q_OBJECT

 public:
  // Adds the controls to the view's tool bar, its menu "Weitere" and its status bar.
  explicit ToneControls(TWorkshopView& view);
  ~ToneControls() override;

  // The sound to drive (may be null); it must outlive its use here.
  void SetSound(ToneSound* sound);
  void SetOn(bool on);
  void SetVolume(int percent);  // 0..100
  // 0..3, or tone::kFurthestOff.
  void SetCylinder(int cylinder);
  // furthest off, 1, 2, 3, 4, furthest off, ...
  void NextCylinder();
  [[nodiscard]] const tone::ToneSettings& Settings() const { return settings_; }
  // The stored settings, taken without storing them again.
  void Load(const tone::ToneSettings& s);

  // What the view shows changed (or the view was shown or hidden).
  void Follow(const Reading& shown);
  void SetVisible(bool visible);
  // The texts in the view's language.
  void Fill(const ViewLanguage& words);

  // What the status bar says of the tone ("" while it is off).
  [[nodiscard]] QString StateText() const;
  // What was last handed to the sound.
  [[nodiscard]] const tone::GuidanceInput& Input() const { return input_; }
  // The place of the accessible part: the view lays it over the drawing.
  [[nodiscard]] AccessiblePart* Part() const { return part_; }

 private:
  void Apply();
  void ShowState();

  TWorkshopView& view_;
  ToneSound* sound_ = nullptr;
  tone::ToneSettings settings_;
  tone::GuidanceInput input_;
  bool visible_ = false;
  bool sounding_ = false;  // the sound was told to start
  QAction* toggle_ = nullptr;
  QAction* next_ = nullptr;
  QMenu* volume_menu_ = nullptr;
  QMenu* follow_menu_ = nullptr;
  QActionGroup* volumes_ = nullptr;
  QActionGroup* cylinders_ = nullptr;
  QLabel* label_ = nullptr;
  AccessiblePart* part_ = nullptr;
};

}  // namespace qv::workshop
