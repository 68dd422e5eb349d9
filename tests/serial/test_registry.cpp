#include <gtest/gtest.h>
#include <sys/resource.h>
#include <csignal>
#include <string>
#include <vector>

#include "Registry.h"
#include "support/TestEnv.h"

namespace {

using qvtest::ReadFile;
using qvtest::ScratchDir;
using qvtest::WriteFile;

constexpr const char* kHeader = "Windows Registry Editor Version 5.00\n\n";

class RegistryTest : public ::testing::Test {
 protected:
  ScratchDir dir;
  std::filesystem::path Hklm() const { return dir / "HKEY_LOCAL_MACHINE.reg"; }
  std::filesystem::path Hkcu() const { return dir / "HKEY_CURRENT_USER.reg"; }
};

TEST_F(RegistryTest, WritesTheExportFormatWithParentsSortedKeysAndValuesInCreationOrder) {
  TRegistry reg(dir.path());
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey("Software\\Quorvel\\ComPort1", true));
  reg.WriteString("Port", "COM1");
  reg.WriteInteger("CustomBaudRate", 57600);
  reg.WriteInteger("Negative", -1);
  reg.WriteString("Quoted", "a \"b\" c:\\d\\");
  ASSERT_TRUE(reg.OpenKey("\\Software\\Alpha", true));
  reg.WriteString("", "default");
  EXPECT_EQ(ReadFile(Hklm()), std::string(kHeader) +
                                  "[HKEY_LOCAL_MACHINE\\Software]\n\n"
                                  "[HKEY_LOCAL_MACHINE\\Software\\Alpha]\n"
                                  "@=\"default\"\n\n"
                                  "[HKEY_LOCAL_MACHINE\\Software\\Quorvel]\n\n"
                                  "[HKEY_LOCAL_MACHINE\\Software\\Quorvel\\ComPort1]\n"
                                  "\"Port\"=\"COM1\"\n"
                                  "\"CustomBaudRate\"=dword:0000e100\n"
                                  "\"Negative\"=dword:ffffffff\n"
                                  "\"Quoted\"=\"a \\\"b\\\" c:\\\\d\\\\\"\n\n");
  EXPECT_FALSE(std::filesystem::exists(Hkcu()));

  TRegistry again(dir.path());
  again.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(again.OpenKey("Software\\Quorvel\\ComPort1", false));
  EXPECT_EQ(again.ReadString("Quoted"), "a \"b\" c:\\d\\");
  EXPECT_EQ(again.ReadInteger("CustomBaudRate"), 57600);
  EXPECT_EQ(again.ReadInteger("Negative"), -1);
  EXPECT_EQ(again.GetValueNames(), (std::vector<std::string>{"Port", "CustomBaudRate", "Negative", "Quoted"}));
}

TEST_F(RegistryTest, KeyAndValueNamesCompareWithoutCaseAndKeepTheirFirstSpelling) {
  TRegistry reg(dir.path());
  ASSERT_TRUE(reg.OpenKey("Software\\Quorvel", true));
  reg.WriteString("Port", "COM1");
  ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\quorvel", false));
  EXPECT_EQ(reg.CurrentPath(), "Software\\Quorvel");
  EXPECT_EQ(reg.ReadString("PORT"), "COM1");
  EXPECT_TRUE(reg.ValueExists("port"));
  reg.WriteString("pOrT", "COM2");
  EXPECT_EQ(reg.GetValueNames(), std::vector<std::string>{"Port"});
  EXPECT_EQ(reg.ReadString("Port"), "COM2");
  EXPECT_TRUE(reg.KeyExists("\\software"));
  EXPECT_EQ(ReadFile(Hkcu()), std::string(kHeader) +
                                  "[HKEY_CURRENT_USER\\Software]\n\n"
                                  "[HKEY_CURRENT_USER\\Software\\Quorvel]\n\"Port\"=\"COM2\"\n\n");
}

TEST_F(RegistryTest, MissingAndMistypedValues) {
  TRegistry reg(dir.path());
  ASSERT_TRUE(reg.OpenKey("K", true));
  reg.WriteString("Text", "x");
  reg.WriteInteger("Number", 7);
  EXPECT_EQ(reg.ReadString("Missing"), "");
  EXPECT_FALSE(reg.ValueExists("Missing"));
  EXPECT_THROW((void)reg.ReadString("Number"), ERegistryException);
  EXPECT_THROW((void)reg.ReadInteger("Missing"), ERegistryException);
  EXPECT_THROW((void)reg.ReadInteger("Text"), ERegistryException);
  // Writing another type replaces the value.
  reg.WriteInteger("Text", 3);
  EXPECT_EQ(reg.ReadInteger("Text"), 3);
}

TEST_F(RegistryTest, OpeningKeys) {
  TRegistry reg(dir.path());
  EXPECT_FALSE(reg.OpenKey("A\\B", false));
  EXPECT_FALSE(std::filesystem::exists(Hkcu()));
  EXPECT_FALSE(reg.HasCurrentKey());
  ASSERT_TRUE(reg.OpenKey("A\\B", true));
  EXPECT_TRUE(reg.KeyExists("\\A"));
  // Relative to the open key, and absolute with a leading backslash.
  ASSERT_TRUE(reg.OpenKey("C", true));
  EXPECT_EQ(reg.CurrentPath(), "A\\B\\C");
  ASSERT_TRUE(reg.OpenKey("\\A", false));
  EXPECT_EQ(reg.CurrentPath(), "A");
  EXPECT_TRUE(reg.OpenKey("B\\", false));  // a trailing backslash is tolerated
  EXPECT_EQ(reg.CurrentPath(), "A\\B");
  // Empty components and line breaks are no key names; the failed open leaves no key open.
  EXPECT_FALSE(reg.OpenKey("\\A\\\\B", true));
  EXPECT_FALSE(reg.HasCurrentKey());
  EXPECT_FALSE(reg.OpenKey("X\nY", true));
  EXPECT_FALSE(reg.KeyExists("\\A\\\\B"));
  // The root itself.
  EXPECT_TRUE(reg.OpenKey("\\", false));
  EXPECT_EQ(reg.CurrentPath(), "");
  // A root of its own file; changing the root closes the key.
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_FALSE(reg.HasCurrentKey());
  EXPECT_FALSE(reg.KeyExists("A"));
  // An unknown root opens nothing.
  reg.SetRootKey(0x80000003);
  EXPECT_FALSE(reg.OpenKey("A", true));
}

TEST_F(RegistryTest, WithoutAnOpenKeyReadsAreEmptyAndWritesFail) {
  TRegistry reg(dir.path());
  EXPECT_EQ(reg.ReadString("Port"), "");
  EXPECT_TRUE(reg.GetValueNames().empty());
  EXPECT_THROW((void)reg.ReadInteger("X"), ERegistryException);
  EXPECT_THROW(reg.WriteString("Port", "COM1"), ERegistryException);
  EXPECT_THROW(reg.WriteInteger("X", 1), ERegistryException);
  EXPECT_FALSE(std::filesystem::exists(Hkcu()));
}

TEST_F(RegistryTest, TextsThatALineCannotHoldAreRefused) {
  TRegistry reg(dir.path());
  ASSERT_TRUE(reg.OpenKey("K", true));
  reg.WriteString("Port", "COM1");
  const std::string before = ReadFile(Hkcu());
  EXPECT_THROW(reg.WriteString("Port", "a\nb"), ERegistryException);
  EXPECT_THROW(reg.WriteString("Port", std::string("a\0b", 3)), ERegistryException);
  EXPECT_THROW(reg.WriteString("Bad\rName", "x"), ERegistryException);
  EXPECT_EQ(ReadFile(Hkcu()), before);
}

TEST_F(RegistryTest, WritesGoToDiskAtOnceAndKeepOtherAccessorsValues) {
  TRegistry a(dir.path());
  TRegistry b(dir.path());
  ASSERT_TRUE(a.OpenKey("K", true));
  ASSERT_TRUE(b.OpenKey("K", true));
  a.WriteString("FromA", "1");
  b.WriteString("FromB", "2");  // b read its key before a wrote
  TRegistry c(dir.path());
  ASSERT_TRUE(c.OpenKey("K", false));
  EXPECT_EQ(c.ReadString("FromA"), "1");
  EXPECT_EQ(c.ReadString("FromB"), "2");
}

TEST_F(RegistryTest, AFolderThatCannotBeWrittenFailsCreationAndWrites) {
  // A regular file where the folder should be: root cannot be stopped by permission bits.
  WriteFile(dir / "blocked", "");
  TRegistry reg(dir / "blocked" / "quorvel");
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_FALSE(reg.OpenKey("Software\\Quorvel\\ComPort1", true));
  EXPECT_EQ(reg.ReadString("Port"), "");
  EXPECT_THROW(reg.WriteString("Port", "COM1"), ERegistryException);
  EXPECT_TRUE(reg.OpenKey("\\", true));  // the root exists without a file
  EXPECT_THROW(reg.WriteString("Port", "COM1"), ERegistryException);
}

TEST_F(RegistryTest, AFileThatDidNotParseCleanlyIsReadButNeverReplaced) {
  const std::string text = std::string(kHeader) +
                           "[HKEY_CURRENT_USER\\Software\\Quorvel\\ComPort1]\n"
                           "\"Port\"=\"COM3\"\n"
                           "Port: COM4, written by hand\n"
                           "\"BaudRate\"=\"9600\"\n\n";
  WriteFile(Hkcu(), text);
  TRegistry reg(dir.path());
  ASSERT_TRUE(reg.OpenKey("Software\\Quorvel\\ComPort1", true));
  EXPECT_EQ(reg.ReadString("Port"), "COM3");
  EXPECT_EQ(reg.ReadString("BaudRate"), "9600");
  try {
    reg.WriteString("Port", "COM1");
    ADD_FAILURE() << "a file that is not understood was written";
  } catch (const ERegistryException& e) {
    // The message says which file, which line and why.
    EXPECT_NE(std::string(e.what()).find("line 5 of " + Hkcu().string()), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("neither a key, a value nor a comment"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(reg.OpenKey("Software\\Other", true));
  try {
    reg.WriteString("Port", "COM1");
    ADD_FAILURE() << "a write without an open key succeeded";
  } catch (const ERegistryException& e) {
    EXPECT_NE(std::string(e.what()).find("Software\\Other is missing and cannot be created: line 5 of"),
              std::string::npos)
        << e.what();
  }
  EXPECT_EQ(ReadFile(Hkcu()), text);
}

TEST_F(RegistryTest, CommentsAndValuesOfEveryTypeAreKeptByteForByte) {
  const std::string before = std::string(kHeader) +
                             "; port settings of the workshop laptop\n"
                             "\n"
                             "[HKEY_CURRENT_USER\\Software]\n"
                             "\n"
                             "[HKEY_CURRENT_USER\\Software\\Quorvel]\n"
                             "\n"
                             "[HKEY_CURRENT_USER\\Software\\Quorvel\\ComPort1]\n"
                             "; COM3 is the adapter on the left\n"
                             "\"Port\"=\"COM3\"\n"
                             "\"Path\"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,00,00\n"
                             "\"Blob\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\n"
                             "  17,18,19,1a\n"
                             "\"Big\"=hex(b):00,01,00,00,00,00,00,00\n"
                             "\"Empty\"=hex:\n"
                             "\"Notes\"=\"set by hand\"\n"
                             "\n";
  WriteFile(Hkcu(), before);
  TRegistry reg(dir.path());
  ASSERT_TRUE(reg.OpenKey("Software\\Quorvel\\ComPort1", false));
  EXPECT_EQ(reg.GetValueNames(), (std::vector<std::string>{"Port", "Path", "Blob", "Big", "Empty", "Notes"}));
  EXPECT_TRUE(reg.ValueExists("Blob"));
  EXPECT_THROW((void)reg.ReadString("Blob"), ERegistryException);
  EXPECT_THROW((void)reg.ReadInteger("Big"), ERegistryException);
  reg.WriteString("Port", "COM4");
  std::string after = before;
  after.replace(after.find("COM3\""), 4, "COM4");
  EXPECT_EQ(ReadFile(Hkcu()), after);
  // A value of another type that the program writes becomes the program's type.
  reg.WriteString("Empty", "x");
  EXPECT_EQ(reg.ReadString("Empty"), "x");
  EXPECT_NE(ReadFile(Hkcu()).find("\"Empty\"=\"x\"\n\"Notes\""), std::string::npos);
}

TEST_F(RegistryTest, AFailedWriteLeavesTheOldFile) {
  TRegistry reg(dir.path());
  ASSERT_TRUE(reg.OpenKey("K", true));
  reg.WriteString("Port", "COM1");
  const std::string before = ReadFile(Hkcu());
  // Files may not grow beyond a few bytes: the replacement fails with EFBIG.
  auto old = std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit tiny = saved;
  tiny.rlim_cur = 16;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
  EXPECT_THROW(reg.WriteString("Port", "COM2"), ERegistryException);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, old);
  EXPECT_EQ(ReadFile(Hkcu()), before);
  EXPECT_EQ(reg.ReadString("Port"), "COM1");
}

// The parser on its own.
TEST(RegFileTest, ParsesWhatItWritesAndFlagsEverythingElse) {
  using qv::ParseRegFile;
  auto ok = ParseRegFile(
      "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\a\\b]\r\n"
      "\"x\"=dword:1F\r\n@=\"d\"\r\n",
      "HKEY_CURRENT_USER");
  EXPECT_TRUE(ok.clean);
  ASSERT_EQ(ok.data.Keys().size(), 2u);  // the parent is implied
  const auto* key = ok.data.FindKey("A\\B");
  ASSERT_NE(key, nullptr);
  ASSERT_NE(key->Find("X"), nullptr);
  EXPECT_EQ(key->Find("X")->dword, 0x1Fu);
  EXPECT_EQ(key->Find("")->text, "d");
  EXPECT_TRUE(ParseRegFile("", "HKEY_CURRENT_USER").clean);

  struct Case {
    const char* body;
    int badLine;
  };
  const Case bad[] = {
      {"[HKEY_CURRENT_USER\\k]\n", 1},                                         // no header
      {"Windows Registry Editor Version 5.00\n\"v\"=\"x\"\n", 2},              // a value before any key
      {"Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\k]\n", 2},  // another root
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\a\\\\b]\n", 2},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\k]\n\"v\"=dword:123456789\n", 3},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\k]\n\"v\"=dword:\n", 3},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\k]\n\"v\"=\"a\\n\"\n", 3},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\k]\n\"v\"=\"a\" \n", 3},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\k]\n\"v\" = \"a\"\n", 3},
      {"Windows Registry Editor Version 5.00\n[-HKEY_CURRENT_USER\\k]\n", 2},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\k]\n\"v\"=hex:1,02\n", 3},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\k]\n\"v\"=hex:01,,02\n", 3},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\k]\n\"v\"=hex:0g\n", 3},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\k]\n\"v\"=hex(x):01\n", 3},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\k]\n\"v\"=hex(2)01\n", 3},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\k]\n\"v\"=hex:01,\\", 3},  // continued into nothing
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\k]\n\"v\"=hex:01,\\\n zz\n", 3},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\k]\n\"v\"=-\n", 3},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\k]\n\"a\"=hex:01,\\\n 02\njunk\n", 5},
      {"; a comment above the header\nWindows Registry Editor Version 5.00\n", 1},
  };
  for (const auto& c : bad) {
    auto r = ParseRegFile(c.body, "HKEY_CURRENT_USER");
    EXPECT_FALSE(r.clean) << c.body;
    EXPECT_EQ(r.firstBadLine, c.badLine) << c.body;
    EXPECT_FALSE(r.badReason.empty()) << c.body;
  }

  // Comments, hex values of every kind, continued lines and CRLF line ends.
  auto edited = ParseRegFile(
      "Windows Registry Editor Version 5.00\r\n\r\n  ; above the keys\r\n[HKEY_CURRENT_USER\\k]\r\n;inside\r\n"
      "\"m\"=hex(7):41,00,00,00,\\\r\n  00,00\r\n\"q\"=hex(b):01,00,00,00,00,00,00,00\r\n@=hex:\r\n",
      "HKEY_CURRENT_USER");
  EXPECT_TRUE(edited.clean) << edited.firstBadLine << ": " << edited.badReason;
  EXPECT_EQ(edited.data.Preamble(), std::vector<std::string>{"  ; above the keys"});
  const auto* k = edited.data.FindKey("k");
  ASSERT_NE(k, nullptr);
  ASSERT_EQ(k->values.size(), 4u);
  EXPECT_EQ(k->values[0].type, qv::TRegValueType::Comment);
  EXPECT_EQ(k->Find("m")->text, "hex(7):41,00,00,00,\\\n  00,00");
  EXPECT_EQ(k->Find("q")->type, qv::TRegValueType::Other);
  EXPECT_EQ(k->Find("")->text, "hex:");
  EXPECT_EQ(qv::FormatRegFile(edited.data, "HKEY_CURRENT_USER"),
            "Windows Registry Editor Version 5.00\n\n  ; above the keys\n\n[HKEY_CURRENT_USER\\k]\n;inside\n"
            "\"m\"=hex(7):41,00,00,00,\\\n  00,00\n\"q\"=hex(b):01,00,00,00,00,00,00,00\n@=hex:\n\n");

  // Line ends converted twice (CR CR LF): a comment keeps no CR of them, so
  // what is written back reads the same.
  auto twice = ParseRegFile(
      "Windows Registry Editor Version 5.00\r\r\n\r\r\n; note\r\r\n[HKEY_CURRENT_USER\\k]\r\r\n"
      ";inside\r\r\n\"v\"=\"x\"\r\r\n",
      "HKEY_CURRENT_USER");
  EXPECT_TRUE(twice.clean) << twice.firstBadLine << ": " << twice.badReason;
  EXPECT_EQ(twice.data.Preamble(), std::vector<std::string>{"; note"});
  ASSERT_NE(twice.data.FindKey("k"), nullptr);
  EXPECT_EQ(twice.data.FindKey("k")->values.front().text, ";inside");
  const auto written = qv::FormatRegFile(twice.data, "HKEY_CURRENT_USER");
  EXPECT_EQ(written.find('\r'), std::string::npos);
  EXPECT_TRUE(ParseRegFile(written, "HKEY_CURRENT_USER").data == twice.data);
}

TEST(RegFileTest, ADeeplyNestedKeyMakesEachParentOnce) {
  // A hand-edited or damaged file may name a key a hundred levels deep.
  std::string path = "k";
  for (int i = 0; i < 100; ++i) path += "\\k";
  auto r = qv::ParseRegFile("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\" + path + "]\n",
                            "HKEY_CURRENT_USER");
  EXPECT_TRUE(r.clean);
  ASSERT_EQ(r.data.Keys().size(), 101u);  // every level is implied
  EXPECT_EQ(r.data.Keys().back().path, path);
  EXPECT_NE(r.data.FindKey("K\\K\\K"), nullptr);
}

}  // namespace
