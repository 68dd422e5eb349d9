#pragma once
// Where reports go and what they are called: under the documents folder, a
// name from the vehicle and the date, and a file that never replaces another.
#include <filesystem>
#include <string>
#include <string_view>

#include "JobRecord.h"
#include "TextCatalogue.h"

namespace qv::jobs {

// $XDG_DOCUMENTS_DIR/Quorvel, else the documents folder of user-dirs.dirs, else ~/Documents/Quorvel.
[[nodiscard]] std::filesystem::path DefaultReportFolder();

// "Bericht-HH-QV-77-2026-12-09" from the registration (else the VIN, else
// make and model) and the date: letters and digits kept (any script), the rest
// made single dashes, at most 60 characters of the vehicle.
[[nodiscard]] std::string ReportStem(const Vehicle& v, std::string_view date, Language lang);

// Writes `bytes` to a new file "<stem>.pdf" in `folder` (made when missing),
// or "<stem>-2.pdf", "-3", ... when that exists: written to a temporary file,
// flushed, and linked to its name only where no file is. Returns the path.
// Throws std::system_error.
std::filesystem::path SaveNewReport(const std::filesystem::path& folder, const std::string& stem,
                                    std::string_view bytes);

}  // namespace qv::jobs
