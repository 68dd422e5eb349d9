#pragma once
// The jobs for the workshop's accounts: one CSV line per job and cylinder
// (RFC 4180, CRLF line ends, "." as decimal point). A typed field that a
// spreadsheet would take for a formula gets a leading apostrophe.
#include <string>

#include "JobRecord.h"

namespace qv::jobs {

[[nodiscard]] std::string JobCsvHeader();
// The job's lines: one per channel of its captures (four, or two in pair
// mode), with empty fields for a capture not taken.
[[nodiscard]] std::string JobCsvLines(const Job& job);
// One field as written: quoted where needed.
[[nodiscard]] std::string CsvField(const std::string& text);

}  // namespace qv::jobs
