#pragma once
// The program's windows ask for their fonts by the names "Arial" and
// "MS Sans Serif"; this maps those names onto fonts a Linux desktop has.

namespace qv {

// "Arial" -> Liberation Sans (metric-compatible), "MS Sans Serif" -> the
// desktop's default sans-serif family. Call once at start, after the
// application object exists; calling again does no harm.
void InstallFontSubstitutions();

}  // namespace qv
