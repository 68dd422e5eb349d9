#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>

#include "IniText.h"

using qv::IniText;
using qv::ParseIniInteger;

namespace {

// A byte string from a literal that may hold NUL bytes.
template <std::size_t N>
std::string Raw(const char (&s)[N]) {
  return std::string(s, N - 1);
}

std::string After(std::string_view before, std::string_view section, std::string_view key, std::string_view value) {
  IniText t(before);
  t.Set(section, key, value);
  return t.Bytes();
}

}  // namespace

TEST(IniTextRead, SectionsAndKeysIgnoreCaseAndTheFirstDuplicateWins) {
  IniText t(
      "k=outside\n"
      "[Color]\n"
      "One=1\n"
      "ONE=2\n"
      "[COLOR]\n"
      "two=2\n"
      "[speed]\n"
      "1=200\n");
  EXPECT_EQ(t.Get("color", "one"), "1");
  EXPECT_EQ(t.Get("COLOR", "One"), "1");
  // Only the first of two same-named sections is searched.
  EXPECT_EQ(t.Get("Color", "two"), std::nullopt);
  EXPECT_EQ(t.Get("SPEED", "1"), "200");
  // Lines before the first header belong to no section.
  EXPECT_EQ(t.Get("", "k"), std::nullopt);
  EXPECT_EQ(t.Get("missing", "1"), std::nullopt);
  EXPECT_EQ(t.Get("speed", "2"), std::nullopt);
  EXPECT_TRUE(t.HasSection("SPEED"));
  EXPECT_FALSE(t.HasSection("SPEEDY"));
  EXPECT_EQ(t.Keys("color"), (std::vector<std::string>{"One"}));
}

TEST(IniTextRead, BlanksAroundNamesAndValuesAndQuotesAreRemoved) {
  IniText t(
      "  [ Sec ]  trailing text\r\n"
      "\t key one \t=  value with  inner  blanks \t\r\n"
      "quoted=\" padded \"\r\n"
      "half=\"open\r\n"
      "empty=\r\n"
      "eq=a=b=c\r\n"
      "; comment=1\r\n"
      "# hash=1\r\n"
      "no equals sign\r\n");
  EXPECT_EQ(t.Get("sec", "key one"), "value with  inner  blanks");
  EXPECT_EQ(t.Get("sec", "quoted"), " padded ");
  EXPECT_EQ(t.Get("sec", "half"), "\"open");
  EXPECT_EQ(t.Get("sec", "empty"), "");
  EXPECT_EQ(t.Get("sec", "eq"), "a=b=c");
  EXPECT_EQ(t.Get("sec", "; comment"), std::nullopt);
  EXPECT_EQ(t.Get("sec", "# hash"), std::nullopt);
  EXPECT_EQ(t.Keys("sec"), (std::vector<std::string>{"key one", "quoted", "half", "empty", "eq"}));
}

TEST(IniTextRead, GarbageNeverBreaksTheLinesAroundIt) {
  std::string bytes = Raw("[a\n[b]\nk\0ey=v\0al\n=novalue\n\xff\xfe=\x01\n[c]]\nx=1");
  IniText t(bytes);
  EXPECT_EQ(t.Bytes(), bytes);
  // "[a" without "]" is no header, so "[b]" is the first section.
  EXPECT_EQ(t.Get("b", std::string("k\0ey", 4)), std::string("v\0al", 4));
  EXPECT_EQ(t.Get("b", "\xff\xfe"), "\x01");
  EXPECT_EQ(t.Get("b", ""), std::nullopt);  // an empty key is never found
  EXPECT_EQ(t.Get("c", "x"), "1");
  EXPECT_EQ(t.Keys("b").size(), 2u);

  std::string longLine(200000, 'v');
  IniText big("[s]\nk=" + longLine);
  EXPECT_EQ(big.Get("s", "k"), longLine);
}

TEST(IniTextIntegers, DecimalAndBothHexFormsAreRead) {
  EXPECT_EQ(ParseIniInteger("65280"), 65280);
  EXPECT_EQ(ParseIniInteger("-12"), -12);
  EXPECT_EQ(ParseIniInteger("+7"), 7);
  EXPECT_EQ(ParseIniInteger("  42 "), 42);
  EXPECT_EQ(ParseIniInteger("007"), 7);
  EXPECT_EQ(ParseIniInteger("0x0000FF"), 255);
  EXPECT_EQ(ParseIniInteger("0XfF"), 255);
  EXPECT_EQ(ParseIniInteger("$FF00"), 0xFF00);
  EXPECT_EQ(ParseIniInteger("-$10"), -16);
  EXPECT_EQ(ParseIniInteger("2147483647"), INT_MAX);
  EXPECT_EQ(ParseIniInteger("-2147483648"), INT_MIN);
  // Hex uses all 32 bits: system colours are stored with the high bit set.
  EXPECT_EQ(ParseIniInteger("$8000000F"), static_cast<int>(0x8000000Fu));
  EXPECT_EQ(ParseIniInteger("0xFFFFFFFF"), -1);
}

TEST(IniTextIntegers, AnythingElseGivesNoValue) {
  for (const char* bad : {"", " ", "abc", "12abc", "1 2", "1.5", "+", "-", "0x", "$", "0xG1", "$-1", "--1", "1e3",
                          "2147483648", "-2147483649", "99999999999999999999999", "0x100000000", "$123456789"}) {
    EXPECT_EQ(ParseIniInteger(bad), std::nullopt) << bad;
  }
}

TEST(IniTextWrite, ANewFileGetsSectionsInTheOrderWritten) {
  IniText t;
  t.Set("COLOR", "1", "32768");
  t.Set("COLOR", "2", "65280");
  t.Set("SPEED", "1", "200");
  t.Set("Einstellungen", "3", "0");
  EXPECT_EQ(t.Bytes(), "[COLOR]\n1=32768\n2=65280\n[SPEED]\n1=200\n[Einstellungen]\n3=0\n");
}

TEST(IniTextWrite, ReplacingAValueKeepsEveryOtherByte) {
  const std::string lf =
      "; settings\n"
      "[color]\n"
      "  1 =  0 \n"
      "unknown=keep me\n"
      "\n"
      "[Other]\n"
      "1=5\n";
  EXPECT_EQ(After(lf, "COLOR", "1", "65535"),
            "; settings\n"
            "[color]\n"
            "  1 =  65535\n"
            "unknown=keep me\n"
            "\n"
            "[Other]\n"
            "1=5\n");
  const std::string crlf = "[A]\r\nx=1\r\ny=2\r\n";
  EXPECT_EQ(After(crlf, "a", "Y", "3"), "[A]\r\nx=1\r\ny=3\r\n");
  // The first of duplicate keys is the one replaced.
  EXPECT_EQ(After("[s]\nk=1\nK=2\n", "s", "k", "9"), "[s]\nk=9\nK=2\n");
}

TEST(IniTextWrite, NewKeysGoToTheEndOfTheirSectionBeforeTrailingBlankLines) {
  EXPECT_EQ(After("[A]\nx=1\n\n\n[B]\ny=2\n", "A", "z", "3"), "[A]\nx=1\nz=3\n\n\n[B]\ny=2\n");
  EXPECT_EQ(After("[A]\r\nx=1\r\n; note\r\n\r\n[B]\r\n", "a", "z", "3"), "[A]\r\nx=1\r\n; note\r\nz=3\r\n\r\n[B]\r\n");
  EXPECT_EQ(After("[A]\n\n[B]\n", "A", "k", "v"), "[A]\nk=v\n\n[B]\n");
  // A file that ends without a line end still does afterwards.
  EXPECT_EQ(After("[A]\nx=1", "A", "z", "3"), "[A]\nx=1\nz=3");
  EXPECT_EQ(After("[A]\r\nx=1", "A", "z", "3"), "[A]\r\nx=1\r\nz=3");
}

TEST(IniTextWrite, NewSectionsAreAppendedInTheFileStyle) {
  EXPECT_EQ(After("[A]\r\nx=1\r\n", "B", "k", "v"), "[A]\r\nx=1\r\n[B]\r\nk=v\r\n");
  EXPECT_EQ(After("[A]\nx=1\n\n", "B", "k", "v"), "[A]\nx=1\n\n[B]\nk=v\n");
  EXPECT_EQ(After("; only a comment", "B", "k", "v"), "; only a comment\n[B]\nk=v");
  // A line before the first header is not a section of its own.
  EXPECT_EQ(After("k=1\n", "S", "k", "2"), "k=1\n[S]\nk=2\n");
}

TEST(IniTextWrite, ValuesComeBackExactlyAsWritten) {
  for (const std::string& v : std::vector<std::string>{"", " lead", "trail\t", "\"quoted\"", "\"", "a=b", "[x]",
                                                       "; not a comment", Raw("nul\0byte")}) {
    IniText t("[s]\nk=old\n");
    t.Set("s", "k", v);
    EXPECT_EQ(t.Get("s", "k"), v) << t.Bytes();
    IniText again(t.Bytes());
    EXPECT_EQ(again.Get("s", "k"), v);
  }
}

TEST(IniTextWrite, NamesAndValuesThatCannotBeReadBackAreRefused) {
  IniText t("[s]\nk=1\n");
  for (const char* section : {"", " s", "s ", "a]b", "a\nb", "a\rb"})
    EXPECT_THROW(t.Set(section, "k", "v"), std::invalid_argument) << section;
  for (const char* key : {"", " k", "k ", "a=b", "[k", ";k", "#k", "a\nb"})
    EXPECT_THROW(t.Set("s", key, "v"), std::invalid_argument) << key;
  EXPECT_THROW(t.Set("s", "k", "line\nbreak"), std::invalid_argument);
  EXPECT_THROW(t.Set("s", "k", "cr\r"), std::invalid_argument);
  EXPECT_EQ(t.Bytes(), "[s]\nk=1\n");
}

TEST(IniTextWrite, GarbageLinesSurviveAWrite) {
  std::string bytes = Raw("\x00\x01junk\n[a\nno header=1\n[s]\n=\n\xff\n");
  IniText t(bytes);
  t.Set("s", "k", "v");
  EXPECT_EQ(t.Bytes(), bytes + "k=v\n");
  t.Set("a", "k", "v");
  EXPECT_EQ(t.Bytes(), bytes + "k=v\n[a]\nk=v\n");
}
