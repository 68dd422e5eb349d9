#include "RegFile.h"

#include <algorithm>
#include <charconv>

#include "AsciiText.h"

namespace qv {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kDwordPrefix = "dword:";

// Orders paths component by component without regard to case; "" (the root) first.
bool PathLess(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  for (;; ++i) {
    if (i == a.size() || i == b.size()) return a.size() < b.size();
    // A separator sorts before every other character, so "a\b" precedes "a b".
    char ca = a[i] == '\\' ? '\0' : AsciiLower(a[i]);
    char cb = b[i] == '\\' ? '\0' : AsciiLower(b[i]);
    if (ca != cb) return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb);
  }
}

std::string Quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

// Reads a quoted text at the start of s; on success s is left after the
// closing quote. Only \\ and \" are escapes.
bool TakeQuoted(std::string_view& s, std::string& out) {
  if (s.empty() || s[0] != '"') return false;
  out.clear();
  for (std::size_t i = 1; i < s.size(); ++i) {
    char c = s[i];
    if (c == '"') {
      s.remove_prefix(i + 1);
      return true;
    }
    if (c == '\\') {
      if (i + 1 == s.size() || (s[i + 1] != '\\' && s[i + 1] != '"')) return false;
      c = s[++i];
    }
    if (c == '\0' || c == '\r') return false;
    out += c;
  }
  return false;
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// The byte list of a hex value: two-digit bytes separated by commas, with
// blanks and line continuations ("\" at the end of a line) between them.
bool IsHexByteList(std::string_view s) {
  int digits = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (IsHexDigit(c)) {
      if (++digits > 2) return false;
      continue;
    }
    if (digits == 1) return false;
    if (c == ',') {
      if (digits == 0 && i > 0) return false;  // an empty byte
      digits = 0;
    } else if (c == '\\') {
      if (i + 1 == s.size() || s[i + 1] != '\n') return false;
      ++i;
    } else if (c != ' ' && c != '\t') {
      return false;
    }
  }
  return digits != 1;
}

// "hex:" or "hex(n):" with n of one to eight hex digits; the prefix's length, or 0.
std::size_t HexPrefixLength(std::string_view data) {
  if (data.substr(0, 4) == "hex:") return 4;
  if (data.substr(0, 4) != "hex(") return 0;
  const auto close = data.find(')');
  if (close == data.npos || close == 4 || close > 12 || close + 1 >= data.size() || data[close + 1] != ':') return 0;
  for (std::size_t i = 4; i < close; ++i)
    if (!IsHexDigit(data[i])) return 0;
  return close + 2;
}

// A value line; why is set when it is not understood.
bool ParseValueLine(std::string_view line, TRegValue& value, const char*& why) {
  if (line.substr(0, 2) == "@=") {
    value.name.clear();
    line.remove_prefix(2);
  } else {
    if (!TakeQuoted(line, value.name) || line.empty() || line[0] != '=') {
      why = "neither a key, a value nor a comment";
      return false;
    }
    line.remove_prefix(1);
  }
  value.text.clear();
  value.dword = 0;
  if (line.substr(0, kDwordPrefix.size()) == kDwordPrefix) {
    auto digits = line.substr(kDwordPrefix.size());
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value.dword, 16);
    if (digits.empty() || digits.size() > 8 || ec != std::errc() || end != digits.data() + digits.size()) {
      why = "a dword value needs one to eight hexadecimal digits";
      return false;
    }
    value.type = TRegValueType::DWord;
    return true;
  }
  if (const std::size_t prefix = HexPrefixLength(line)) {
    if (!IsHexByteList(line.substr(prefix))) {
      why = "a hex value needs two-digit bytes separated by commas";
      return false;
    }
    value.type = TRegValueType::Other;
    value.text.assign(line);
    return true;
  }
  if (!TakeQuoted(line, value.text) || !line.empty()) {
    why = "the value's data is neither a quoted text, dword: nor hex:";
    return false;
  }
  value.type = TRegValueType::String;
  return true;
}

// "[ROOT]" or "[ROOT\path]" → path; false for another root or a bad path.
bool ParseKeyLine(std::string_view line, std::string_view rootName, std::string& path) {
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return false;
  auto inner = line.substr(1, line.size() - 2);
  if (inner.size() < rootName.size() || !SameTextIgnoringCase(inner.substr(0, rootName.size()), rootName)) return false;
  inner.remove_prefix(rootName.size());
  if (!inner.empty()) {
    if (inner[0] != '\\') return false;
    inner.remove_prefix(1);
    if (inner.empty()) return false;
  }
  std::vector<std::string_view> parts;
  if (!SplitRegPath(inner, parts)) return false;
  path.assign(inner);
  return true;
}

bool IsBlank(std::string_view line) {
  return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

bool IsComment(std::string_view line) {
  const auto first = line.find_first_not_of(" \t");
  return first != line.npos && line[first] == ';';
}

// Takes the next line from bytes, without its line break and the CRs before
// it: a file whose line ends were converted twice ends its lines in CR CR LF,
// and a CR kept at the end of a comment would not survive being written back.
std::string_view TakeLine(std::string_view& bytes) {
  auto nl = bytes.find('\n');
  auto line = bytes.substr(0, nl);
  bytes.remove_prefix(nl == bytes.npos ? bytes.size() : nl + 1);
  while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// A hex value's data may go on over the following lines, each but the last
// ending in "\".
bool ContinuesOnNextLine(std::string_view line) {
  const auto eq = line.find("=hex");
  return eq != line.npos && !line.empty() && line.back() == '\\';
}

}  // namespace

bool IsStorableRegText(std::string_view text) { return text.find_first_of(std::string_view("\r\n\0", 3)) == text.npos; }

bool SplitRegPath(std::string_view path, std::vector<std::string_view>& parts) {
  parts.clear();
  if (path.empty()) return true;
  if (!IsStorableRegText(path)) return false;
  std::size_t start = 0;
  for (;;) {
    auto sep = path.find('\\', start);
    auto part = path.substr(start, sep == path.npos ? path.npos : sep - start);
    if (part.empty()) return false;
    parts.push_back(part);
    if (sep == path.npos) return true;
    start = sep + 1;
  }
}

const TRegValue* TRegKey::Find(std::string_view name) const {
  for (const auto& v : values)
    if (v.type != TRegValueType::Comment && SameTextIgnoringCase(v.name, name)) return &v;
  return nullptr;
}

void TRegKey::Set(TRegValue value) {
  for (auto& v : values) {
    if (v.type != TRegValueType::Comment && SameTextIgnoringCase(v.name, value.name)) {
      value.name = v.name;
      v = std::move(value);
      return;
    }
  }
  values.push_back(std::move(value));
}

const TRegKey* TRegRootData::FindKey(std::string_view path) const {
  auto it = std::lower_bound(keys_.begin(), keys_.end(), path,
                             [](const TRegKey& k, std::string_view p) { return PathLess(k.path, p); });
  if (it != keys_.end() && SameTextIgnoringCase(it->path, path)) return &*it;
  return nullptr;
}

TRegKey* TRegRootData::FindKey(std::string_view path) {
  return const_cast<TRegKey*>(static_cast<const TRegRootData*>(this)->FindKey(path));
}

TRegKey& TRegRootData::FindOrInsert(std::string_view path) {
  auto it = std::lower_bound(keys_.begin(), keys_.end(), path,
                             [](const TRegKey& k, std::string_view p) { return PathLess(k.path, p); });
  if (it != keys_.end() && SameTextIgnoringCase(it->path, path)) return *it;
  return *keys_.insert(it, TRegKey{std::string(path), {}});
}

TRegKey& TRegRootData::CreateKey(std::string_view path) {
  // Parents first: "a\b\c" makes "a", "a\b" and "a\b\c", each parent once
  // (making each parent's own parents again would take exponential time).
  for (std::size_t sep = path.find('\\'); sep != path.npos; sep = path.find('\\', sep + 1))
    FindOrInsert(path.substr(0, sep));
  return FindOrInsert(path);
}

TRegParseResult ParseRegFile(std::string_view bytes, std::string_view rootName) {
  TRegParseResult result;
  auto bad = [&](int lineNo, const char* why) {
    if (result.clean) {
      result.firstBadLine = lineNo;
      result.badReason = why;
    }
    result.clean = false;
  };
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) bytes.remove_prefix(kUtf8Bom.size());
  bool seenHeader = false;
  bool inKey = false;  // a key line was read, though perhaps one we did not take
  TRegKey* current = nullptr;
  int lineNo = 0;
  std::string path;
  while (!bytes.empty()) {
    ++lineNo;
    const int firstLine = lineNo;
    std::string_view line = TakeLine(bytes);
    if (IsBlank(line)) continue;
    if (!seenHeader) {
      seenHeader = true;
      if (line != kHeader) {
        bad(lineNo, "the first line is not \"Windows Registry Editor Version 5.00\"");
      } else {
        continue;
      }
    }
    if (IsComment(line)) {
      if (current)
        current->values.push_back(TRegValue{{}, TRegValueType::Comment, std::string(line), 0});
      else if (!inKey)
        result.data.Preamble().emplace_back(line);
      continue;
    }
    if (line[0] == '[') {
      inKey = true;
      if (ParseKeyLine(line, rootName, path)) {
        current = &result.data.CreateKey(path);
      } else {
        current = nullptr;  // the values below it belong to a key we did not take
        bad(lineNo, "a key line that does not name a key of this file's root");
      }
      continue;
    }
    std::string joined;
    if (ContinuesOnNextLine(line)) {
      joined.assign(line);
      while (!joined.empty() && joined.back() == '\\' && !bytes.empty()) {
        ++lineNo;
        joined += '\n';
        joined += TakeLine(bytes);
      }
      line = joined;
    }
    TRegValue value;
    const char* why = "";
    if (!current) {
      bad(firstLine, inKey ? "a value of a key that was not understood" : "a value before the first key");
    } else if (ParseValueLine(line, value, why)) {
      current->Set(std::move(value));
    } else {
      bad(firstLine, why);
    }
  }
  return result;
}

std::string FormatRegFile(const TRegRootData& data, std::string_view rootName) {
  std::string out(kHeader);
  out += "\n\n";
  for (const auto& comment : data.Preamble()) {
    out += comment;
    out += '\n';
  }
  if (!data.Preamble().empty()) out += '\n';
  for (const auto& key : data.Keys()) {
    out += '[';
    out += rootName;
    if (!key.path.empty()) out += '\\' + key.path;
    out += "]\n";
    for (const auto& v : key.values) {
      if (v.type == TRegValueType::Comment) {
        out += v.text;
        out += '\n';
        continue;
      }
      out += v.name.empty() ? std::string("@") : Quote(v.name);
      out += '=';
      if (v.type == TRegValueType::Other) {
        out += v.text;
      } else if (v.type == TRegValueType::DWord) {
        char hex[9];
        auto [end, ec] = std::to_chars(hex, hex + 8, v.dword, 16);
        (void)ec;
        out += kDwordPrefix;
        out.append(8 - static_cast<std::size_t>(end - hex), '0');
        out.append(hex, end);
      } else {
        out += Quote(v.text);
      }
      out += '\n';
    }
    out += '\n';
  }
  return out;
}

}  // namespace qv
