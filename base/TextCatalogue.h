#pragma once
// What the program's own text catalogues share: the two languages, the choice
// between them from the user's locale, a table of German and English texts
// looked up by an enumeration, and "%1".."%9" filled with arguments.
//
// The language follows the locale as Qt's translations do: the entries of
// LANGUAGE, then LC_ALL, LC_MESSAGES or LANG (the first that is set); the first
// entry naming German or English decides, anything else gives German.
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

enum class Language { German, English };

[[nodiscard]] Language LanguageFromEnvironment();
// The language for locale names in order of preference ("de_DE.UTF-8",
// "en-GB", "C", ...), for a caller that asks its toolkit for them.
[[nodiscard]] Language LanguageForLocales(const std::vector<std::string>& names);

[[nodiscard]] constexpr std::string_view Pick(Language lang, std::string_view de, std::string_view en) {
  return lang == Language::English ? en : de;
}

// The pattern with "%n" replaced by the n-th argument; a missing argument
// leaves "%n" visible rather than dropping it.
[[nodiscard]] std::string FillText(std::string_view pattern, std::initializer_list<std::string_view> args);

// One text of a catalogue; a catalogue is an array of these in the order of
// its enumeration, so that looking one up is an index.
template <typename Id>
struct CatalogueEntry {
  Id id;
  std::string_view de;
  std::string_view en;
};

template <typename Id, std::size_t N>
[[nodiscard]] constexpr bool InIdOrder(const CatalogueEntry<Id> (&table)[N]) {
  for (std::size_t i = 0; i < N; ++i)
    if (static_cast<std::size_t>(table[i].id) != i) return false;
  return true;
}

// The text of `id`; "" for an id beyond the table.
template <typename Id, std::size_t N>
[[nodiscard]] constexpr std::string_view CatalogueText(const CatalogueEntry<Id> (&table)[N], Id id, Language lang) {
  const auto i = static_cast<std::size_t>(id);
  return i < N ? Pick(lang, table[i].de, table[i].en) : std::string_view();
}

}  // namespace qv
