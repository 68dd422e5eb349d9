#pragma once
// What quorvel-decode prints: a line per decoded frame and per command
// written, or the final measurement state as JSON.
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "Decoder.h"
#include "Measurement.h"

namespace qv {

// Lower-case hex of every byte.
[[nodiscard]] std::string HexOf(std::string_view bytes);

// A JSON string literal, quotes included; bytes above 0x7f are taken as
// Latin-1 characters, so the result is always valid UTF-8.
[[nodiscard]] std::string JsonString(std::string_view bytes);

void PrintFrameLine(std::ostream& out, int frameNumber, const FrameReport& report, const TMeasurement& state);
void PrintWriteLine(std::ostream& out, std::string_view written);
void PrintStateJson(std::ostream& out, const TMeasurement& state, int frames, const std::vector<std::string>& writes);

}  // namespace qv
