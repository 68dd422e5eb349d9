#pragma once
// The text of an INI file held line by line, so that a change touches exactly
// one line and everything else (comments, unknown sections and keys, blank
// lines, order, LF or CRLF line ends, a missing final newline, bytes we do not
// understand) comes back out unchanged.
//
// Reading rules, modelled on the Windows profile-string functions:
//  - A section starts at a line whose first non-blank character is "[" and
//    that holds a "]"; its name is the text between them, trimmed of blanks.
//    A line with "[" but no "]" is not a header and is kept as it is.
//  - Lines whose first non-blank character is ";" or "#" are comments.
//  - Any other line with an "=" is a key line: the key is the text before the
//    first "=", the value the text after it, both trimmed of blanks (space,
//    tab, CR). A value enclosed in a pair of double quotes loses the quotes.
//  - Lines before the first header belong to no section and are never found.
//  - Section and key names compare without regard to ASCII case; the first of
//    duplicate sections, and the first of duplicate keys in it, wins.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

class IniText {
 public:
  IniText() = default;
  explicit IniText(std::string_view bytes);

  [[nodiscard]] std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  [[nodiscard]] bool HasSection(std::string_view section) const;
  // Key names of the section in file order, duplicates (by case) left out.
  [[nodiscard]] std::vector<std::string> Keys(std::string_view section) const;

  // Replaces the value of an existing key in place, or appends the key at the
  // end of its section (before trailing blank lines), or appends the section
  // at the end of the text (right after its last line, as the Windows
  // functions do). New lines take the text's line-end style.
  // Throws std::invalid_argument for a name or value that could not be read
  // back as written (see the IsValid* functions).
  void Set(std::string_view section, std::string_view key, std::string_view value);

  [[nodiscard]] std::string Bytes() const;
  // "\r\n" when the first terminated line ends that way, else "\n".
  [[nodiscard]] std::string LineEnd() const;

 private:
  struct Line {
    std::string text;  // without its line end
    std::string end;   // "\n", "\r\n", or empty for a last line without one
  };
  // Index of the first header of `section`, or npos.
  [[nodiscard]] std::size_t FindSection(std::string_view section) const;
  // One past the last line of the section whose header is at `header`.
  [[nodiscard]] std::size_t SectionEnd(std::size_t header) const;
  [[nodiscard]] std::size_t FindKey(std::size_t header, std::string_view key) const;
  void InsertAfter(std::size_t index, std::string text);

  std::vector<Line> lines_;
};

// Names that can be written: a section name without CR, LF or "]" and without
// surrounding blanks; a key name without CR, LF or "=", without surrounding
// blanks, not starting with "[", ";" or "#". Neither may be empty.
[[nodiscard]] bool IsValidIniSectionName(std::string_view name);
[[nodiscard]] bool IsValidIniKeyName(std::string_view name);
// A value may hold anything but CR and LF; values that would otherwise lose
// blanks or quotes on reading are written inside double quotes.
[[nodiscard]] bool IsValidIniValue(std::string_view value);

// An integer as the settings store accepts it: optional sign, then decimal
// digits, or hexadecimal digits after "0x", "0X" or "$". Decimal values must
// fit into int; hexadecimal ones may use all 32 bits and wrap into int the way
// colours with the high bit set are stored ("$80000008" is negative). Blanks
// around the number are allowed; anything else gives no value.
[[nodiscard]] std::optional<int> ParseIniInteger(std::string_view text);

}  // namespace qv
