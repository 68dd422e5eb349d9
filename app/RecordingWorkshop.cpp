#include "RecordingWorkshop.h"

#include <QPointer>

#include "RecordingControl.h"
#include "TWorkshopView.h"
#include "WorkshopLauncher.h"
#include "WorkshopSettings.h"
#include "WorkshopSource.h"

namespace qv {

rec::Reference ExportReferenceFor(workshop::ReferenceKind kind, int cylinder, bool pairMode) {
  using Kind = rec::Reference::Kind;
  switch (kind) {
    case workshop::ReferenceKind::Mean: return {};
    case workshop::ReferenceKind::Midpoint: return pairMode ? rec::Reference{} : rec::Reference{Kind::kMidpoint, 0};
    case workshop::ReferenceKind::Cylinder:
      if (cylinder < 0 || cylinder > 3) return {};
      return {pairMode ? Kind::kPair : Kind::kCylinder, cylinder};
  }
  return {};
}

rec::Reference ExportReferenceFor(const workshop::ViewChoices& choices) {
  return ExportReferenceFor(choices.reference, choices.referenceCylinder, choices.pairMode);
}

rec::Reference WorkshopExportReference(const WorkshopLauncher& launcher, const std::filesystem::path& settingsFile) {
  if (const workshop::TWorkshopView* view = launcher.View()) return ExportReferenceFor(view->Choices());
  // Only read: a file that cannot be understood gives the defaults, the mean.
  workshop::WorkshopSettingsFile file(settingsFile);
  const workshop::ParsedSettings stored = file.Load();
  const workshop::ModelSettings& m = stored.settings.model;
  return ExportReferenceFor(m.reference, m.referenceCylinder, m.pairMode);
}

void JoinRecordingToWorkshop(TRecordingControl& recording, WorkshopLauncher& launcher) {
  // The settings file is looked up at each export, where the view keeps it.
  recording.ExportReference = [&launcher] {
    return WorkshopExportReference(launcher, workshop::DefaultSettingsPath());
  };
  if (workshop::TWorkshopView* view = launcher.View()) recording.AcceptDropsOn(*view);
  launcher.OnViewMade = [control = QPointer<TRecordingControl>(&recording)](workshop::TWorkshopView& view) {
    if (control) control->AcceptDropsOn(view);
  };
}

}  // namespace qv
