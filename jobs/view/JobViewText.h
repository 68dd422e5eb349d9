#pragma once
// The job's texts are kept as UTF-8; the views show them as Qt strings.
#include <QString>
#include <string>

namespace qv::jobs {

inline QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace qv::jobs
