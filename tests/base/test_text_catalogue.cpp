#include <gtest/gtest.h>

#include <cstdlib>

#include "TextCatalogue.h"

namespace qv {
namespace {

TEST(TextCatalogue, LanguageFollowsTheLocaleWithGermanByDefault) {
  EXPECT_EQ(LanguageForLocales({"en_GB.UTF-8"}), Language::English);
  EXPECT_EQ(LanguageForLocales({"en-US"}), Language::English);
  EXPECT_EQ(LanguageForLocales({"en"}), Language::English);
  EXPECT_EQ(LanguageForLocales({"de_AT.UTF-8"}), Language::German);
  EXPECT_EQ(LanguageForLocales({"C"}), Language::German);
  EXPECT_EQ(LanguageForLocales({}), Language::German);
  EXPECT_EQ(LanguageForLocales({"fr_FR", "en_GB"}), Language::English);
  EXPECT_EQ(LanguageForLocales({"fr_FR", "de_DE", "en_GB"}), Language::German);
  EXPECT_EQ(LanguageForLocales({"eng"}), Language::German);

  struct Env {
    const char *language, *all, *messages, *lang;
    Language expected;
  };
  const Env cases[] = {
      {nullptr, nullptr, nullptr, "en_US.UTF-8", Language::English},
      {nullptr, nullptr, nullptr, "de_DE.UTF-8", Language::German},
      {nullptr, nullptr, nullptr, nullptr, Language::German},
      {nullptr, "de_DE.UTF-8", nullptr, "en_US.UTF-8", Language::German},
      {nullptr, nullptr, "en_GB.UTF-8", "de_DE.UTF-8", Language::English},
      {"fr:en", nullptr, nullptr, "de_DE.UTF-8", Language::English},
      {"fr", nullptr, nullptr, "en_GB.UTF-8", Language::English},
  };
  for (const Env& e : cases) {
    auto set = [](const char* name, const char* v) { v ? setenv(name, v, 1) : unsetenv(name); };
    set("LANGUAGE", e.language);
    set("LC_ALL", e.all);
    set("LC_MESSAGES", e.messages);
    set("LANG", e.lang);
    EXPECT_EQ(LanguageFromEnvironment(), e.expected) << (e.lang ? e.lang : "-");
  }
  for (const char* v : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) unsetenv(v);
}

enum class Id { kA, kB, kCount };
constexpr CatalogueEntry<Id> kTable[] = {{Id::kA, "Zyl. %1: %2", "Cyl. %1: %2"}, {Id::kB, "B", "b"}};
constexpr CatalogueEntry<Id> kShuffled[] = {{Id::kB, "B", "b"}, {Id::kA, "A", "a"}};
static_assert(InIdOrder(kTable));
static_assert(!InIdOrder(kShuffled));

TEST(TextCatalogue, LooksUpByIdAndFillsArguments) {
  EXPECT_EQ(CatalogueText(kTable, Id::kB, Language::German), "B");
  EXPECT_EQ(CatalogueText(kTable, Id::kB, Language::English), "b");
  EXPECT_EQ(CatalogueText(kTable, Id::kCount, Language::German), "");
  EXPECT_EQ(FillText(CatalogueText(kTable, Id::kA, Language::English), {"3", "+14 mBar"}), "Cyl. 3: +14 mBar");
  // A missing argument stays visible; "%" before anything else is kept; the
  // arguments are not themselves filled.
  EXPECT_EQ(FillText("%1 %2 %3", {"a", "b"}), "a b %3");
  EXPECT_EQ(FillText("100% %x %", {}), "100% %x %");
  EXPECT_EQ(FillText("%1%2", {"%2", "x"}), "%2x");
  EXPECT_EQ(FillText("%9", {"1", "2", "3", "4", "5", "6", "7", "8", "nine"}), "nine");
}

}  // namespace
}  // namespace qv
