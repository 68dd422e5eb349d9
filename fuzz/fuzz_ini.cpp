// Feeds arbitrary bytes to the INI text model as a file, writes one key and
// checks that the key reads back, that every other key reads as before, and
// that every line of the original that does not hold that key is unchanged.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "IniText.h"

namespace {

constexpr const char* kSections[] = {"COLOR", "speed", "Einstellungen", "TForm2", "s", "A"};
constexpr const char* kKeys[] = {"1", "3", "NormPos", "k", "FormVersion", "x"};

struct Line {
  std::string text, end;
  bool operator==(const Line&) const = default;
};

std::vector<Line> Split(std::string_view bytes) {
  std::vector<Line> lines;
  while (!bytes.empty()) {
    auto nl = bytes.find('\n');
    if (nl == std::string_view::npos) {
      lines.push_back({std::string(bytes), ""});
      break;
    }
    std::string_view text = bytes.substr(0, nl);
    std::string end = "\n";
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1), end = "\r\n";
    lines.push_back({std::string(text), end});
    bytes.remove_prefix(nl + 1);
  }
  return lines;
}

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "fuzz_ini: %s\n", what);
    std::abort();
  }
}

bool SameAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto l = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (l(a[i]) != l(b[i])) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const std::string section = kSections[data[0] % std::size(kSections)];
  const std::string key = kKeys[data[1] % std::size(kKeys)];
  std::size_t valueLen = data[2];
  std::string_view rest(reinterpret_cast<const char*>(data + 3), size - 3);
  if (valueLen > rest.size()) valueLen = rest.size();
  const std::string value(rest.substr(0, valueLen));
  const std::string file(rest.substr(valueLen));

  if (auto n = qv::ParseIniInteger(value)) Check(qv::ParseIniInteger(std::to_string(*n)) == n, "integer round trip");

  qv::IniText before(file);
  Check(before.Bytes() == file, "parsing and writing back changed the bytes");

  qv::IniText after = before;
  if (!qv::IsValidIniValue(value)) {
    bool threw = false;
    try {
      after.Set(section, key, value);
    } catch (const std::invalid_argument&) {
      threw = true;
    }
    Check(threw && after.Bytes() == file, "a refused value changed the text");
    return 0;
  }
  after.Set(section, key, value);
  Check(after.Get(section, key) == value, "value does not read back");
  Check(qv::IniText(after.Bytes()).Get(section, key) == value, "value does not read back after reparsing");
  for (const char* s : kSections)
    for (const char* k : kKeys) {
      if (SameAscii(s, section) && SameAscii(k, key)) continue;
      Check(before.Get(s, k) == after.Get(s, k), "another key changed");
    }

  const auto oldLines = Split(file);
  const auto newLines = Split(after.Bytes());
  if (before.Get(section, key)) {
    Check(oldLines.size() == newLines.size(), "replacing a value changed the line count");
    int differing = 0;
    for (std::size_t i = 0; i < oldLines.size(); ++i) differing += oldLines[i] == newLines[i] ? 0 : 1;
    Check(differing <= 1, "replacing a value changed more than one line");
    return 0;
  }
  // Inserting: the old lines appear in order; the only new lines are the key
  // line and the section header. A last line without a
  // line end may have gained one.
  std::size_t i = 0, j = 0, inserted = 0;
  auto isNewLine = [&](const Line& l) { return l.text == "[" + section + "]" || l.text.rfind(key + "=", 0) == 0; };
  while (i < oldLines.size() && j < newLines.size()) {
    const Line& o = oldLines[i];
    const Line& n = newLines[j];
    // (A last line ending in a lone CR reads as a CRLF line once it has an LF.)
    if (o == n || (o.end.empty() && i + 1 == oldLines.size() && (n.text + n.end).rfind(o.text, 0) == 0)) {
      ++i, ++j;
      continue;
    }
    Check(isNewLine(n), "an unexpected line appeared");
    ++inserted, ++j;
  }
  Check(i == oldLines.size(), "an original line was lost or changed");
  for (; j < newLines.size(); ++j, ++inserted) Check(isNewLine(newLines[j]), "an unexpected line was appended");
  Check(inserted >= 1 && inserted <= 2, "wrong number of inserted lines");
  return 0;
}
