#pragma once
// The CSV file beside the snapshots: one line per snapshot (RFC 4180, CRLF
// line ends, "." as decimal point), a header line when the file is new.
#include <chrono>
#include <filesystem>
#include <string>

#include "WorkshopReading.h"

namespace qv::workshop {

inline constexpr const char* kSnapshotCsvName = "snapshots.csv";

// A path for a new snapshot picture in the folder: "quorvel-2027-01-15-090000.png"
// from the local time, with "-2", "-3", ... before ".png" when that is taken.
[[nodiscard]] std::filesystem::path NewSnapshotPath(const std::filesystem::path& folder,
                                                    std::chrono::system_clock::time_point when);

[[nodiscard]] std::string SnapshotCsvHeader();
// Time (local, ISO 8601 with the offset), unit, reference, reference value,
// tolerance, the four values, the four differences, the four scatters,
// zeroed, verdict. In pair mode the two pairs fill the first two places; with
// no data the numbers are empty.
[[nodiscard]] std::string SnapshotCsvLine(const Reading& r, std::chrono::system_clock::time_point when);

// Appends the line (and the header to a new or empty file) in one write,
// flushed to disk. Returns "" or what went wrong; on failure a partly written
// line is cut off again, so the lines already there are all that remains.
[[nodiscard]] std::string AppendSnapshotCsv(const std::filesystem::path& file, const Reading& r,
                                            std::chrono::system_clock::time_point when);

}  // namespace qv::workshop
