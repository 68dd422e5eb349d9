#pragma once
// The engine guard in the workshop view: how long the engine has run in this
// scan ("Motor läuft: 12:34") and the idle drift in the status bar, and the
// large notice after the set time in a bar over the drawing that blocks
// nothing and can be dismissed. All three are also parts for screen readers.
// The guard itself is a session subscriber the program makes; the panel
// reads it on the view's tick.
#include <QObject>
#include <QString>

#include "EngineGuard.h"

class QActionGroup;
class QLabel;
class QMenu;
class QToolBar;
class QToolButton;

namespace qv::workshop {

class AccessiblePart;
class TWorkshopView;
struct ViewLanguage;
struct WorkshopLayout;

class GuardPanel : public QObject {
  Q_OBJECT

 public:
  explicit GuardPanel(TWorkshopView& view);

  // The guard to show (may be null: nothing shown); it must outlive its use here.
  void SetGuard(guard::EngineGuard* guard);
  // The stored settings; handed on to the guard.
  void Load(const guard::GuardSettings& s);
  [[nodiscard]] const guard::GuardSettings& Settings() const { return settings_; }

  // Reads the guard again (the view's tick).
  void Update();
  void Fill(const ViewLanguage& words);
  void Place(const WorkshopLayout& layout);
  // Hides the notice for another notice time of running.
  void Dismiss();
  // The notice's time, as chosen in the menu "Weitere" (stored).
  void SetNoticeMinutes(int minutes);

  // What is shown: each empty while there is nothing to say.
  [[nodiscard]] QString RunningText() const { return running_; }
  [[nodiscard]] QString NoticeText() const { return notice_; }
  [[nodiscard]] QString DriftText() const { return drift_; }

 private:
  void Show(const QString& running, const QString& notice, const QString& drift);

  TWorkshopView& view_;
  guard::EngineGuard* guard_ = nullptr;
  guard::GuardSettings settings_;
  QString running_, notice_, drift_;
  bool force_ = false;  // Show() sets every text, changed or not
  QLabel* running_label_ = nullptr;
  QLabel* drift_label_ = nullptr;
  QToolBar* notice_bar_ = nullptr;
  QLabel* notice_label_ = nullptr;
  QToolButton* dismiss_ = nullptr;
  QMenu* notice_menu_ = nullptr;
  QActionGroup* notice_times_ = nullptr;
  AccessiblePart* running_part_ = nullptr;
  AccessiblePart* notice_part_ = nullptr;
  AccessiblePart* drift_part_ = nullptr;
};

}  // namespace qv::workshop
