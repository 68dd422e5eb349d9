#include "IniText.h"

#include "AsciiText.h"

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <stdexcept>

namespace qv {
namespace {

constexpr auto npos = std::string::npos;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool IsComment(std::string_view line) {
  line = Trim(line);
  return !line.empty() && (line.front() == ';' || line.front() == '#');
}

// The section name when the line is a header.
std::optional<std::string_view> HeaderName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  auto close = line.find(']');
  if (close == npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyLine> ParseKeyLine(std::string_view line) {
  if (IsComment(line) || HeaderName(line)) return std::nullopt;
  auto eq = line.find('=');
  if (eq == npos) return std::nullopt;
  return KeyLine{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
}

std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') return v.substr(1, v.size() - 2);
  return v;
}

// Builds a string from pieces (appending avoids GCC 12's false -Wrestrict
// alarms about operator+ on short strings).
std::string Join(std::initializer_list<std::string_view> parts) {
  std::string out;
  for (std::string_view p : parts) out += p;
  return out;
}

bool NeedsQuotes(std::string_view v) {
  if (v.empty()) return false;
  return IsBlank(v.front()) || IsBlank(v.back()) || (v.size() >= 2 && v.front() == '"' && v.back() == '"');
}

std::string EncodeValue(std::string_view v) {
  if (!NeedsQuotes(v)) return std::string(v);
  return Join({"\"", v, "\""});
}

bool IsBlankLine(std::string_view line) { return Trim(line).empty(); }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = AsciiLower(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

IniText::IniText(std::string_view bytes) {
  while (!bytes.empty()) {
    auto nl = bytes.find('\n');
    if (nl == npos) {
      lines_.push_back({std::string(bytes), {}});
      break;
    }
    std::string_view text = bytes.substr(0, nl);
    const bool crlf = !text.empty() && text.back() == '\r';
    if (crlf) text.remove_suffix(1);
    lines_.push_back({std::string(text), crlf ? std::string("\r\n") : std::string("\n")});
    bytes.remove_prefix(nl + 1);
  }
}

std::size_t IniText::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    auto name = HeaderName(lines_[i].text);
    if (name && SameTextIgnoringCase(*name, section)) return i;
  }
  return npos;
}

std::size_t IniText::SectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < lines_.size() && !HeaderName(lines_[i].text)) ++i;
  return i;
}

std::size_t IniText::FindKey(std::size_t header, std::string_view key) const {
  std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    auto kl = ParseKeyLine(lines_[i].text);
    if (kl && SameTextIgnoringCase(kl->key, key)) return i;
  }
  return npos;
}

std::optional<std::string> IniText::Get(std::string_view section, std::string_view key) const {
  if (key.empty()) return std::nullopt;
  auto header = FindSection(section);
  if (header == npos) return std::nullopt;
  auto at = FindKey(header, key);
  if (at == npos) return std::nullopt;
  return std::string(Unquote(ParseKeyLine(lines_[at].text)->value));
}

bool IniText::HasSection(std::string_view section) const { return FindSection(section) != npos; }

std::vector<std::string> IniText::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  auto header = FindSection(section);
  if (header == npos) return keys;
  auto end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    auto kl = ParseKeyLine(lines_[i].text);
    if (!kl || kl->key.empty()) continue;
    bool seen = false;
    for (const auto& k : keys) seen = seen || SameTextIgnoringCase(k, kl->key);
    if (!seen) keys.emplace_back(kl->key);
  }
  return keys;
}

std::string IniText::LineEnd() const {
  for (const auto& l : lines_)
    if (!l.end.empty()) return l.end;
  return "\n";
}

void IniText::InsertAfter(std::size_t index, std::string text) {
  // A last line without a line end keeps that shape: it gets one, the new
  // last line goes without.
  std::string end = LineEnd();
  if (lines_[index].end.empty()) {
    lines_[index].end = end;
    end.clear();
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index) + 1, Line{std::move(text), std::move(end)});
}

void IniText::Set(std::string_view section, std::string_view key, std::string_view value) {
  if (!IsValidIniSectionName(section)) throw std::invalid_argument("invalid INI section name");
  if (!IsValidIniKeyName(key)) throw std::invalid_argument("invalid INI key name");
  if (!IsValidIniValue(value)) throw std::invalid_argument("INI values cannot hold line breaks");
  std::string encoded = EncodeValue(value);

  auto header = FindSection(section);
  if (header == npos) {
    std::string keyLine = Join({key, "=", encoded});
    if (lines_.empty()) {
      lines_.push_back({Join({"[", section, "]"}), "\n"});
      lines_.push_back({std::move(keyLine), "\n"});
      return;
    }
    std::size_t last = lines_.size() - 1;
    InsertAfter(last++, Join({"[", section, "]"}));
    InsertAfter(last, std::move(keyLine));
    return;
  }

  auto at = FindKey(header, key);
  if (at != npos) {
    // Keep the line's own spelling of the key and the blanks after "=".
    std::string& text = lines_[at].text;
    std::size_t start = text.find('=') + 1;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
    text.replace(start, npos, encoded);
    return;
  }

  std::size_t last = header;
  for (std::size_t i = header + 1, end = SectionEnd(header); i < end; ++i)
    if (!IsBlankLine(lines_[i].text)) last = i;
  InsertAfter(last, Join({key, "=", encoded}));
}

std::string IniText::Bytes() const {
  std::string out;
  std::size_t size = 0;
  for (const auto& l : lines_) size += l.text.size() + l.end.size();
  out.reserve(size);
  for (const auto& l : lines_) out.append(l.text).append(l.end);
  return out;
}

bool IsValidIniSectionName(std::string_view name) {
  if (name.empty() || Trim(name).size() != name.size()) return false;
  return name.find_first_of("\r\n]") == npos;
}

bool IsValidIniKeyName(std::string_view name) {
  if (name.empty() || Trim(name).size() != name.size()) return false;
  if (name.front() == '[' || name.front() == ';' || name.front() == '#') return false;
  return name.find_first_of("\r\n=") == npos;
}

bool IsValidIniValue(std::string_view value) { return value.find_first_of("\r\n") == npos; }

std::optional<int> ParseIniInteger(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  bool hex = false;
  if (!text.empty() && text.front() == '$') {
    hex = true;
    text.remove_prefix(1);
  } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    hex = true;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;

  std::uint64_t magnitude = 0;
  const std::uint64_t limit = hex ? 0xFFFFFFFFull : static_cast<std::uint64_t>(std::numeric_limits<int>::max()) + 1;
  for (char c : text) {
    int d = hex ? HexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
    if (d < 0) return std::nullopt;
    magnitude = magnitude * (hex ? 16 : 10) + static_cast<std::uint64_t>(d);
    if (magnitude > limit) return std::nullopt;
  }
  if (hex) {
    auto bits = static_cast<std::uint32_t>(magnitude);
    if (negative) bits = 0u - bits;
    return static_cast<int>(bits);  // two's complement wrap, as stored colours expect
  }
  if (!negative && magnitude > static_cast<std::uint64_t>(std::numeric_limits<int>::max())) return std::nullopt;
  auto value = static_cast<std::int64_t>(magnitude);
  return static_cast<int>(negative ? -value : value);
}

}  // namespace qv
