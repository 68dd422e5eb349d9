#pragma once
// Command line of quorvel-decode and the receive events it makes of a capture.
#include <cstddef>
#include <string>
#include <vector>

namespace qv {

struct DecodeCliOptions {
  enum class Action { kDecode, kHelp, kVersion };
  Action action = Action::kDecode;
  std::string file;
  // --chunk N repeats one size; --chunks a,b,c takes the sizes in turn and
  // hands whatever is left to one last event.
  std::vector<std::size_t> sizes{64};
  bool repeat = true;
  bool sizes_given = false;  // a recording's own receive events are used unless sizes are given
  bool state = false;
  bool csv = false;                // --csv: one CSV line per decoded maxima frame
  std::string reference = "mean";  // --reference: mean, midpoint, a cylinder 1..4 or a pair 1+2, 3+4
};

struct DecodeCliParse {
  DecodeCliOptions options;
  std::string error;  // empty when the command line was understood
};

[[nodiscard]] DecodeCliParse ParseDecodeCli(const std::vector<std::string>& args);

// The sizes of the receive events for a capture of total bytes; each is above 0.
[[nodiscard]] std::vector<std::size_t> EventSizes(const DecodeCliOptions& options, std::size_t total);

extern const char* const kDecodeCliUsage;

}  // namespace qv
