#include "DecodeCliOptions.h"

#include <algorithm>
#include <charconv>
#include <climits>

#include "CsvExport.h"

namespace qv {

const char* const kDecodeCliUsage =
    "Usage: quorvel-decode [OPTIONS] FILE\n"
    "Feeds the bytes of FILE, a recording (.qvrec) or a raw capture of the line, through\n"
    "the receive handler of the Synchrontester display and shows what was decoded. A\n"
    "recording is replayed in its own receive events unless --chunk or --chunks is given.\n"
    "\n"
    "Options:\n"
    "  --chunk N        events of N bytes each, the last one may be shorter (default 64)\n"
    "  --chunks A,B,... events of exactly these sizes in turn; the bytes left over form one\n"
    "                   last event (when the file ends earlier, the event it ends in is shorter)\n"
    "  --state          print the final measurement state as one JSON object instead of\n"
    "                   one line per decoded frame and per command written to the device\n"
    "  --csv            print every decoded maxima frame as CSV (time, values, mBar,\n"
    "                   differences to the reference); frames left waiting are drained\n"
    "  --reference R    the reference of the CSV's differences: mean (default), midpoint\n"
    "                   (of the smallest and largest), a cylinder 1..4, or the mean of\n"
    "                   a pair, 1+2 or 3+4\n"
    "  --help           show this text\n"
    "  --version        show the program's version\n"
    "\n"
    "A damaged recording is decoded up to its last whole record; a warning says where it\n"
    "stopped.\n"
    "\n"
    "Exit status: 0 on success, 2 for a bad command line or an unreadable file.\n";

namespace {

// A positive decimal number of at most INT_MAX (the port reports counts as int).
bool ParseSize(std::string_view text, std::size_t& out) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc{} || ptr != end || value <= 0 || text.front() == '+') return false;
  out = static_cast<std::size_t>(value);
  return true;
}

std::string ParseSizeList(std::string_view text, std::vector<std::size_t>& out) {
  out.clear();
  while (true) {
    const std::size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    std::size_t size = 0;
    if (!ParseSize(item, size)) return "bad chunk size '" + std::string(item) + "' (a whole number above 0 is needed)";
    out.push_back(size);
    if (comma == std::string_view::npos) return {};
    text.remove_prefix(comma + 1);
  }
}

}  // namespace

DecodeCliParse ParseDecodeCli(const std::vector<std::string>& args) {
  DecodeCliParse r;
  DecodeCliOptions& o = r.options;
  bool sizesGiven = false;
  bool fileGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    std::string_view value;
    bool hasValue = false;
    if (arg.starts_with("--")) {
      if (const std::size_t eq = arg.find('='); eq != std::string_view::npos) {
        value = arg.substr(eq + 1);
        arg = arg.substr(0, eq);
        hasValue = true;
      }
    }
    const bool takesValue = arg == "--chunk" || arg == "--chunks" || arg == "--reference";
    if (takesValue && !hasValue) {
      if (i + 1 >= args.size()) {
        r.error = "option " + std::string(arg) + " needs a value";
        return r;
      }
      value = args[++i];
    } else if (!takesValue && hasValue) {
      r.error = "option " + std::string(arg) + " takes no value";
      return r;
    }

    if (arg == "--help") {
      o.action = DecodeCliOptions::Action::kHelp;
      return r;
    } else if (arg == "--version") {
      o.action = DecodeCliOptions::Action::kVersion;
      return r;
    } else if (arg == "--state") {
      o.state = true;
    } else if (arg == "--csv") {
      o.csv = true;
    } else if (arg == "--reference") {
      if (!rec::ParseReference(value)) {
        r.error = "bad reference '" + std::string(value) + "' (mean, midpoint, a cylinder 1..4 or a pair 1+2, 3+4)";
        return r;
      }
      o.reference = std::string(value);
    } else if (takesValue) {
      if (sizesGiven) {
        r.error = "give --chunk or --chunks once";
        return r;
      }
      sizesGiven = true;
      o.sizes_given = true;
      o.repeat = arg == "--chunk";
      if (o.repeat) {
        std::size_t size = 0;
        if (!ParseSize(value, size)) {
          r.error = "bad chunk size '" + std::string(value) + "' (a whole number above 0 is needed)";
          return r;
        }
        o.sizes = {size};
      } else if (r.error = ParseSizeList(value, o.sizes); !r.error.empty()) {
        return r;
      }
    } else if (arg.starts_with("-") && arg != "-") {
      r.error = "unknown option " + std::string(arg);
      return r;
    } else if (fileGiven) {
      r.error = "only one capture file can be given";
      return r;
    } else {
      o.file = std::string(arg);
      fileGiven = true;
    }
  }
  if (!fileGiven)
    r.error = "no capture file given (see --help)";
  else if (o.csv && o.state)
    r.error = "give --csv or --state, not both";
  return r;
}

std::vector<std::size_t> EventSizes(const DecodeCliOptions& options, std::size_t total) {
  std::vector<std::size_t> events;
  std::size_t left = total;
  if (options.repeat) {
    const std::size_t size = options.sizes.at(0);
    while (left > 0) {
      events.push_back(std::min(size, left));
      left -= events.back();
    }
    return events;
  }
  for (const std::size_t size : options.sizes) {
    if (left == 0) break;
    events.push_back(std::min(size, left));
    left -= events.back();
  }
  // The port reports counts as int, so a huge rest is handed over in pieces.
  while (left > 0) {
    events.push_back(std::min<std::size_t>(left, INT_MAX));
    left -= events.back();
  }
  return events;
}

}  // namespace qv
