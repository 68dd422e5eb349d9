#include "CommandLine.h"

#include <arpa/inet.h>

#include <algorithm>
#include <array>
#include <string_view>

namespace qv {
namespace {

// Options that Qt's own application object understands; they are handed on
// to it untouched instead of being refused.
constexpr std::array<std::string_view, 11> kToolkitWithValue = {
    "-platform",   "-platformpluginpath", "-platformtheme", "-plugin",       "-display", "-style",
    "-stylesheet", "-qwindowgeometry",    "-qwindowicon",   "-qwindowtitle", "-session"};
constexpr std::array<std::string_view, 4> kToolkitFlags = {"-reverse", "-nograb", "-dograb", "-widgetcount"};

template <std::size_t N>
bool IsOneOf(std::string_view arg, const std::array<std::string_view, N>& list) {
  return std::find(list.begin(), list.end(), arg) != list.end();
}

// Splits "-name=value" into its two halves; value is empty without "=".
std::pair<std::string_view, std::optional<std::string_view>> SplitValue(std::string_view arg) {
  const auto eq = arg.find('=');
  if (eq == std::string_view::npos) return {arg, std::nullopt};
  return {arg.substr(0, eq), arg.substr(eq + 1)};
}

// Whether the text is an IPv4 or IPv6 address ("fe80::1%wlan0" with its interface).
bool IsAddress(std::string_view text) {
  const std::string ip(text.substr(0, text.find('%')));
  if (ip.size() != text.size() && ip.find(':') == std::string::npos) return false;  // a scope is IPv6's only
  unsigned char buf[16];
  return inet_pton(AF_INET, ip.c_str(), buf) == 1 || inet_pton(AF_INET6, ip.c_str(), buf) == 1;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine cl;
  if (!args.empty()) cl.toolkitArgs.push_back(args.front());
  auto fail = [&cl](std::string message) {
    cl.action = CommandLine::Action::Error;
    cl.error = std::move(message);
    return cl;
  };

  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const auto [name, inlineValue] = SplitValue(arg);
    if (arg == "--help" || arg == "-h") {
      cl.action = CommandLine::Action::Help;
      return cl;
    }
    if (arg == "--version") {
      cl.action = CommandLine::Action::Version;
      return cl;
    }
    if (arg == "--workshop") {
      cl.workshop = true;
      continue;
    }
    if (name == "--phone") {
      // The address only with "=": "--phone FILE" must not swallow what follows.
      if (inlineValue && !IsAddress(*inlineValue))
        return fail("option --phone needs an IP address of this computer, not '" + std::string(*inlineValue) + "'");
      cl.phone = inlineValue ? std::string(*inlineValue) : std::string();
      continue;
    }
    if (name == "--port" || name == "--record" || name == "--replay") {
      const char* what = name == "--port" ? "a port name" : name == "--record" ? "a folder" : "a file";
      std::string value;
      if (inlineValue) {
        value = *inlineValue;
      } else if (i + 1 < args.size()) {
        value = args[++i];
      }
      if (value.empty()) return fail("option " + std::string(name) + " needs " + what);
      (name == "--port" ? cl.port : name == "--record" ? cl.record : cl.replay) = value;
      continue;
    }
    // Qt accepts its options with one dash or two.
    const std::string_view single = (name.size() > 2 && name.substr(0, 2) == "--") ? name.substr(1) : name;
    if (IsOneOf(single, kToolkitWithValue)) {
      cl.toolkitArgs.emplace_back(arg);
      if (!inlineValue) {
        if (i + 1 >= args.size()) return fail("option " + std::string(name) + " needs a value");
        cl.toolkitArgs.push_back(args[++i]);
      }
      continue;
    }
    if (!inlineValue && IsOneOf(single, kToolkitFlags)) {
      cl.toolkitArgs.emplace_back(arg);
      continue;
    }
    if (!arg.empty() && arg.front() == '-') return fail("unknown option " + std::string(arg));
    return fail("unexpected argument " + std::string(arg));
  }
  if (cl.record && cl.replay) return fail("options --record and --replay cannot be used together");
  return cl;
}

std::string UsageText(const std::string& program) {
  return "Usage: " + program +
         " [options]\n"
         "Shows the live readings of a four-channel Synchrontester on a serial port.\n"
         "\n"
         "Options:\n"
         "  --port NAME      use the serial port NAME for this run (e.g. /dev/ttyUSB0);\n"
         "                   this choice is not stored by itself\n"
         "  --workshop       open the workshop view (large display with a verdict)\n"
         "                   beside the main window at start\n"
         "  --record FOLDER  record every scan of this run into FOLDER\n"
         "  --replay FILE    start by replaying the recording (or raw capture) FILE\n"
         "  --phone[=ADDRESS]\n"
         "                   open the workshop view with its phone view on: the\n"
         "                   readings on a phone's browser, offered on ADDRESS\n"
         "                   (one of this computer's) or else on the address of\n"
         "                   the network the default route leaves by; prints the\n"
         "                   page's address\n"
         "  --version        print the program's version and exit\n"
         "  --help           print this help and exit\n"
         "\n"
         "Qt's own options (-platform NAME, -style NAME, ...) are passed on to Qt.\n";
}

}  // namespace qv
