#pragma once
// The text form of one registry root, in the export format of the Windows
// registry editor ("Windows Registry Editor Version 5.00", [KEY] lines,
// "Name"="text" and "Name"=dword:0000e100 values). The program reads and
// writes string and 32-bit values; values of the other types (hex:, hex(n):,
// continued over several lines) and comment lines (";") are kept as written
// and written back unchanged. Plain data and two pure functions, so that the
// parser can be fed arbitrary bytes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// Other: a value of a type the program does not read, its data kept as the
// text after "=" (continuation lines included, joined by "\n").
// Comment: a comment line of the key, kept in text; it has no name and is
// passed over by every lookup.
enum class TRegValueType { String, DWord, Other, Comment };

struct TRegValue {
  std::string name;  // "" is the key's default value, written as @
  TRegValueType type = TRegValueType::String;
  std::string text;         // when String, Other or Comment
  std::uint32_t dword = 0;  // when DWord
  friend bool operator==(const TRegValue&, const TRegValue&) = default;
};

// One key: its path below the root (components joined by '\', spelled as when
// first created; "" is the root itself) and its values in creation order.
struct TRegKey {
  std::string path;
  std::vector<TRegValue> values;

  // Value names compare without regard to case, as the registry does.
  const TRegValue* Find(std::string_view name) const;
  // Replaces the data of an existing value (its name keeps its first
  // spelling and its place) or appends a new one.
  void Set(TRegValue value);
  friend bool operator==(const TRegKey&, const TRegKey&) = default;
};

// The keys of one root, kept in a stable order: by path components, compared
// without regard to case, so that a parent comes right before its children.
class TRegRootData {
 public:
  TRegKey* FindKey(std::string_view path);
  const TRegKey* FindKey(std::string_view path) const;
  // Returns the key, creating it and every missing key above it.
  TRegKey& CreateKey(std::string_view path);
  const std::vector<TRegKey>& Keys() const { return keys_; }
  // Comment lines between the header and the first key.
  std::vector<std::string>& Preamble() { return preamble_; }
  const std::vector<std::string>& Preamble() const { return preamble_; }
  friend bool operator==(const TRegRootData&, const TRegRootData&) = default;

 private:
  TRegKey& FindOrInsert(std::string_view path);
  std::vector<TRegKey> keys_;
  std::vector<std::string> preamble_;
};

struct TRegParseResult {
  TRegRootData data;
  // False when any line was not understood (or the header is missing): what
  // could be read is in data, but the file must not be written back, since
  // writing would drop what was not understood.
  bool clean = true;
  int firstBadLine = 0;   // 1-based; 0 when clean
  std::string badReason;  // why that line was not understood; "" when clean
};

// Parses the bytes of a root's file. Keys of other roots count as not understood.
[[nodiscard]] TRegParseResult ParseRegFile(std::string_view bytes, std::string_view rootName);

// The file text for the data: header, blank line, the preamble's comments
// (and a blank line after them), then every key followed by its values and
// comments and a blank line.
[[nodiscard]] std::string FormatRegFile(const TRegRootData& data, std::string_view rootName);

// Whether a text can be a value's name or string data: the file is line-based,
// and a registry string ends at a zero byte, so CR, LF and NUL are refused.
[[nodiscard]] bool IsStorableRegText(std::string_view text);

// Splits a key path into its components; false when a component is empty or
// holds a character that IsStorableRegText refuses. "" gives no components.
[[nodiscard]] bool SplitRegPath(std::string_view path, std::vector<std::string_view>& parts);

}  // namespace qv
