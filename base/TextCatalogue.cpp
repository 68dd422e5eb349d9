#include "TextCatalogue.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace qv {
namespace {

// "de_DE.UTF-8", "de-AT", "en" ...: the language part decides.
std::optional<Language> LanguageOf(std::string_view name) {
  const std::string_view lang = name.substr(0, name.find_first_of("_-.@"));
  if (lang == "de") return Language::German;
  if (lang == "en") return Language::English;
  return std::nullopt;
}

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

}  // namespace

Language LanguageForLocales(const std::vector<std::string>& names) {
  for (const std::string& n : names)
    if (const auto l = LanguageOf(n)) return *l;
  return Language::German;
}

Language LanguageFromEnvironment() {
  std::vector<std::string> names;
  const std::string list = Env("LANGUAGE");
  for (std::size_t at = 0; at < list.size();) {
    const std::size_t end = std::min(list.find(':', at), list.size());
    names.push_back(list.substr(at, end - at));
    at = end + 1;
  }
  for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    if (std::string v = Env(var); !v.empty()) {
      names.push_back(v);
      break;
    }
  }
  return LanguageForLocales(names);
}

std::string FillText(std::string_view pattern, std::initializer_list<std::string_view> args) {
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    const auto n = static_cast<std::size_t>(next - '1');
    if (pattern[i] == '%' && next >= '1' && next <= '9' && n < args.size()) {
      out += *(args.begin() + n);
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

}  // namespace qv
