#pragma once
// The CSV export measures its differences against the reference the
// workshop view uses: the view's choices in the export's terms.
#include <filesystem>

#include "CsvExport.h"
#include "WorkshopModel.h"
#include "WorkshopReading.h"

namespace qv::workshop {

// The CSV's reference for the view's choice. Pair mode keeps one column per
// cylinder: a chosen cylinder's pair becomes the reference (the mean of its
// two), and mean and midpoint both give the mean of the four (the midpoint of
// the two pair values is their mean).
[[nodiscard]] rec::Reference ExportReferenceFor(ReferenceKind kind, int cylinder, bool pairMode);
[[nodiscard]] rec::Reference ExportReferenceFor(const ModelSettings& choices);

// The choice stored in `settingsFile` (only read); the mean when that is
// missing or not understood.
[[nodiscard]] rec::Reference StoredExportReference(const std::filesystem::path& settingsFile);

}  // namespace qv::workshop
