#pragma once
// ASCII case folding for the names the program's files and tables compare
// without regard to case (INI sections and keys, registry keys and values,
// the port settings' value texts, port names). Bytes above 127 compare as they
// are, so no locale can change a stored file's meaning.
#include <algorithm>
#include <string>
#include <string_view>

namespace qv {

constexpr char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

inline bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// Orders without regard to case; texts equal but for case keep a stable order.
inline bool LessIgnoringCase(std::string_view a, std::string_view b) {
  const bool less = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                 [](char x, char y) { return AsciiLower(x) < AsciiLower(y); });
  if (less || !SameTextIgnoringCase(a, b)) return less;
  return a < b;
}

inline std::string AsciiUpperCopy(std::string s) {
  for (char& c : s) c = AsciiUpper(c);
  return s;
}

}  // namespace qv
