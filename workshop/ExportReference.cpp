#include "ExportReference.h"

#include "WorkshopSettings.h"

namespace qv::workshop {

rec::Reference ExportReferenceFor(ReferenceKind kind, int cylinder, bool pairMode) {
  using Kind = rec::Reference::Kind;
  switch (kind) {
    case ReferenceKind::Mean: return {};
    case ReferenceKind::Midpoint: return pairMode ? rec::Reference{} : rec::Reference{Kind::kMidpoint, 0};
    case ReferenceKind::Cylinder:
      if (cylinder < 0 || cylinder > 3) return {};
      return {pairMode ? Kind::kPair : Kind::kCylinder, cylinder};
  }
  return {};
}

rec::Reference ExportReferenceFor(const ModelSettings& choices) {
  return ExportReferenceFor(choices.reference, choices.referenceCylinder, choices.pairMode);
}

rec::Reference StoredExportReference(const std::filesystem::path& settingsFile) {
  // Only read: a file that cannot be understood gives the defaults, the mean.
  WorkshopSettingsFile file(settingsFile);
  return ExportReferenceFor(file.Load().settings.model);
}

}  // namespace qv::workshop
