#pragma once
// Saving what the workshop view shows: the picture as a PNG named by
// NewSnapshotPath and one line in the snapshots.csv beside it, written by the
// workshop model's AppendSnapshotCsv. Plain functions on a folder, so tests
// can point them anywhere.
#include <QImage>
#include <chrono>
#include <filesystem>
#include <string>

#include "WorkshopReading.h"

namespace qv::workshop {

struct SnapshotResult {
  std::filesystem::path png;  // the picture's path once saved
  std::filesystem::path csv;  // the CSV file's path
  std::string pictureError;   // why the picture was not saved ("" when it was)
  std::string csvError;       // why the line was not appended ("" when it was)
  [[nodiscard]] bool Ok() const { return pictureError.empty() && csvError.empty(); }
};

// Makes the folder when missing, saves `picture` under a new name (through a
// temporary file, so a failure leaves no half picture) and then appends the
// line describing `r`; without the picture no line is written.
[[nodiscard]] SnapshotResult SaveSnapshot(const std::filesystem::path& folder, const QImage& picture, const Reading& r,
                                          std::chrono::system_clock::time_point when);

}  // namespace qv::workshop
