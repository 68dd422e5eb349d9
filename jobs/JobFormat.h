#pragma once
// A job as text: its numbers in the unit it was taken in, the reference's
// name, and the whole job for quorvel-jobs show. Plain C++.
#include <string>

#include "JobRecord.h"
#include "TextCatalogue.h"

namespace qv::jobs {

// The value with the unit's resolution and the language's decimal separator;
// `sign` writes "+" before positive values; a scatter is shown with one
// decimal more, as the view shows it.
[[nodiscard]] std::string Number(double value, workshop::Unit unit, Language lang, bool sign = false);
[[nodiscard]] std::string ScatterNumber(double value, workshop::Unit unit, Language lang);
// "Mittelwert", "Mitte", "Zylinder 2" (or "Zylinder 1+2" in pair mode).
[[nodiscard]] std::string ReferenceName(const Capture& c, Language lang);
// "Zyl. 3", or "Zyl. 3+4" for the second channel in pair mode.
[[nodiscard]] std::string ChannelName(const Capture& c, int channel, Language lang);
// "5 min 12 s".
[[nodiscard]] std::string Duration(double seconds, Language lang);
// "Honda CB 750 Four, HH-QV 77".
[[nodiscard]] std::string VehicleLine(const Vehicle& v);
// Every field and value of the job, one per line.
[[nodiscard]] std::string ShowText(const Job& job, Language lang);

}  // namespace qv::jobs
