#pragma once
// Saving what the workshop view shows: the picture as a PNG and one line in
// a CSV file beside it. Plain functions on a folder, so tests can point them
// anywhere.
#include <QDateTime>
#include <QImage>
#include <QString>
#include <filesystem>

#include "ViewText.h"
#include "WorkshopReading.h"

namespace qv::workshop {

// The default folder: $XDG_PICTURES_DIR/Quorvel, else ~/Pictures/Quorvel.
[[nodiscard]] std::filesystem::path StandardSnapshotFolder();

struct SnapshotResult {
  bool ok = false;
  QString png;    // the picture's path when saved
  QString csv;    // the CSV file's path when the line was appended
  QString error;  // what went wrong, one sentence for the user
};

// Saves `picture` as quorvel-YYYYMMDD-HHMMSS.png (a number added when that
// name is taken) and appends a line describing `r` to snapshots.csv. The
// folder is made when missing. A failure leaves every file already there
// untouched: the picture is written to a temporary name first, and the CSV
// line is appended only after the picture is in place.
[[nodiscard]] SnapshotResult SaveSnapshot(const std::filesystem::path& folder, const QImage& picture, const Reading& r,
                                          const QDateTime& when, const ViewText& text);

}  // namespace qv::workshop
