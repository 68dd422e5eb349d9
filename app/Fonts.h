#pragma once
// Font names used by the program's windows are those of the original platform
// ("Arial", "MS Sans Serif"); this maps them onto fonts a Linux desktop has.

namespace qv {

// "Arial" -> Liberation Sans (metric-compatible), "MS Sans Serif" -> the
// desktop's default sans-serif family. Call once at start, after the
// application object exists; calling again does no harm.
void InstallFontSubstitutions();

}  // namespace qv
