#pragma once
// Recording and the workshop view side by side: the program's CSV export
// measures its differences against the reference the workshop view uses, and
// a file dropped on the view is replayed as one dropped on the main window.
#include <filesystem>

#include "CsvExport.h"
#include "WorkshopReading.h"

namespace qv::workshop {
struct ModelSettings;
using ViewChoices = ModelSettings;
}  // namespace qv::workshop

namespace qv {

class TRecordingControl;
class WorkshopLauncher;

// The CSV's reference for the view's choice. Pair mode keeps one column per
// cylinder: a chosen cylinder's pair becomes the reference (the mean of its
// two), and mean and midpoint both give the mean of the four (the midpoint of
// the two pair values is their mean).
[[nodiscard]] rec::Reference ExportReferenceFor(workshop::ReferenceKind kind, int cylinder, bool pairMode);
[[nodiscard]] rec::Reference ExportReferenceFor(const workshop::ViewChoices& choices);

// The open view's current choice; before the view is first opened, the one
// stored in `settingsFile`; the mean when that is missing or not understood.
[[nodiscard]] rec::Reference WorkshopExportReference(const WorkshopLauncher& launcher,
                                                     const std::filesystem::path& settingsFile);

// Joins the two. The launcher must outlive the control, as it does in the
// program: the launcher is the main window's child, the control goes first.
void JoinRecordingToWorkshop(TRecordingControl& recording, WorkshopLauncher& launcher);

}  // namespace qv
