#pragma once
// quorvel-jobs report ID -o FILE.pdf: the job's report written again.
#include <string>

#include "JobRecord.h"
#include "TextCatalogue.h"

namespace qv::jobs {

// Writes the report of `job` to `file` (replaced atomically), with the
// workshop's name from the program's settings. Returns the exit code.
int WriteReportCommand(const Job& job, const std::string& file, Language lang);

}  // namespace qv::jobs
