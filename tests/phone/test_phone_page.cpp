#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "PhonePage.h"

using namespace qv::phone;

namespace {

std::string Part(PagePart p) { return std::string(AssetOf(p).body); }

}  // namespace

TEST(PhonePage, SmallAndSelfContained) {
  const std::string html = Part(PagePart::kHtml), js = Part(PagePart::kScript), css = Part(PagePart::kStyle);
  EXPECT_LT(html.size() + js.size() + css.size(), 30u * 1024u);
  EXPECT_EQ(AssetOf(PagePart::kHtml).contentType, "text/html; charset=utf-8");
  EXPECT_EQ(AssetOf(PagePart::kScript).contentType, "text/javascript; charset=utf-8");
  EXPECT_EQ(AssetOf(PagePart::kStyle).contentType, "text/css; charset=utf-8");
  // Its own script and style only, nothing inline that the policy would block.
  EXPECT_NE(html.find("<script src=\"/app.js\""), std::string::npos);
  EXPECT_NE(html.find("<link rel=\"stylesheet\" href=\"/app.css\">"), std::string::npos);
  EXPECT_EQ(std::regex_search(html, std::regex("<script>|<script [^>]*>[^<]|<style|style=|\\son[a-z]+=")), false);
  for (const std::string& part : {html, js, css}) {
    EXPECT_EQ(part.find("http:"), std::string::npos);
    EXPECT_EQ(part.find("https:"), std::string::npos);
    EXPECT_EQ(part.find("@import"), std::string::npos);
    EXPECT_EQ(part.find("url("), std::string::npos);
  }
  EXPECT_EQ(js.find("eval("), std::string::npos);
  EXPECT_EQ(js.find("innerHTML"), std::string::npos);  // text only, never markup from the stream
}

TEST(PhonePage, ItsWordsInBothLanguagesAndWhatItListensTo) {
  const std::string js = Part(PagePart::kScript);
  for (const char* word :
       {"'Keine Daten'", "'No data'", "'Verbindung verloren'", "'Connection lost'", "'SYNCHRON'", "'IN SYNC'", "'OK'",
        "'KNAPP'", "'NEAR'", "'WEIT'", "'FAR'", "Bildschirmsperre", "screen lock"})
    EXPECT_NE(js.find(word), std::string::npos) << word;
  for (const char* hook : {"new EventSource('/events')", "'visibilitychange'", "'pageshow'", "navigator.languages",
                           "'reading'", "'alive'"})
    EXPECT_NE(js.find(hook), std::string::npos) << hook;
  const std::string html = Part(PagePart::kHtml);
  for (const char* id : {"id=\"frames\"", "id=\"banner\"", "id=\"verdict\"", "id=\"c3\"", "id=\"note\""})
    EXPECT_NE(html.find(id), std::string::npos) << id;
}
