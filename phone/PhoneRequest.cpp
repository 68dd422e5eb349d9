#include "PhoneRequest.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>

namespace qv::phone {
namespace {

bool IsTokenChar(unsigned char c) {
  if (c >= '0' && c <= '9') return true;
  if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') return true;
  return std::string_view("!#$%&'*+-.^_`|~").find(static_cast<char>(c)) != std::string_view::npos;
}

bool IsToken(std::string_view s) {
  return !s.empty() &&
         std::all_of(s.begin(), s.end(), [](char c) { return IsTokenChar(static_cast<unsigned char>(c)); });
}

// Visible ASCII, space, tab and bytes above 0x7f; no other control characters.
bool IsFieldValue(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char ch) {
    const auto c = static_cast<unsigned char>(ch);
    return c == '\t' || (c >= 0x20 && c != 0x7f);
  });
}

std::string_view TrimSpace(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The end of the head (just after the blank line), or npos.
std::size_t HeadEnd(std::string_view bytes) {
  for (std::size_t i = bytes.find('\n'); i != std::string_view::npos; i = bytes.find('\n', i + 1)) {
    if (i + 1 < bytes.size() && bytes[i + 1] == '\n') return i + 2;
    if (i + 2 < bytes.size() && bytes[i + 1] == '\r' && bytes[i + 2] == '\n') return i + 3;
  }
  return std::string_view::npos;
}

// The next line of `rest` without its line end; false at the end.
bool NextLine(std::string_view& rest, std::string_view& line) {
  const std::size_t nl = rest.find('\n');
  if (nl == std::string_view::npos) return false;
  line = rest.substr(0, nl);
  rest.remove_prefix(nl + 1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return true;
}

ParseStatus ParseRequestLine(std::string_view line, Request& r) {
  const std::size_t sp1 = line.find(' ');
  if (sp1 == std::string_view::npos) return ParseStatus::kBad;
  const std::size_t sp2 = line.find(' ', sp1 + 1);
  if (sp2 == std::string_view::npos || line.find(' ', sp2 + 1) != std::string_view::npos) return ParseStatus::kBad;
  const std::string_view method = line.substr(0, sp1);
  const std::string_view target = line.substr(sp1 + 1, sp2 - sp1 - 1);
  const std::string_view version = line.substr(sp2 + 1);
  if (!IsToken(method)) return ParseStatus::kBad;
  // Only the origin form: a path from the root, visible ASCII.
  if (target.empty() || target.front() != '/') return ParseStatus::kBad;
  if (!std::all_of(target.begin(), target.end(), [](char c) { return c > 0x20 && c < 0x7f; })) return ParseStatus::kBad;
  if (version == "HTTP/1.1") {
    r.minorVersion = 1;
  } else if (version == "HTTP/1.0") {
    r.minorVersion = 0;
  } else if (version.size() == 8 && version.substr(0, 5) == "HTTP/" && version[6] == '.' &&
             std::isdigit(static_cast<unsigned char>(version[5])) &&
             std::isdigit(static_cast<unsigned char>(version[7]))) {
    return ParseStatus::kVersion;
  } else {
    return ParseStatus::kBad;
  }
  r.method = method == "GET" ? Method::kGet : method == "HEAD" ? Method::kHead : Method::kOther;
  const std::size_t q = target.find('?');
  r.path = std::string(target.substr(0, q));
  if (q != std::string_view::npos) r.query = std::string(target.substr(q + 1));
  return ParseStatus::kComplete;
}

ParseStatus ParseHeader(std::string_view line, Request& r) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return ParseStatus::kBad;
  const std::string_view name = line.substr(0, colon);  // no space before the colon (RFC 9112 5.1)
  const std::string_view value = TrimSpace(line.substr(colon + 1));
  if (!IsToken(name) || !IsFieldValue(value)) return ParseStatus::kBad;
  if (EqualsIgnoreCase(name, "Host")) {
    if (r.host) return ParseStatus::kBad;
    r.host = std::string(value);
  } else if (EqualsIgnoreCase(name, "Origin")) {
    if (r.origin) return ParseStatus::kBad;
    r.origin = std::string(value);
  } else if (EqualsIgnoreCase(name, "Cookie")) {
    if (!r.cookie.empty()) r.cookie += "; ";
    r.cookie += value;
  } else if (EqualsIgnoreCase(name, "Accept-Language")) {
    r.acceptLanguage = std::string(value);
  } else if (EqualsIgnoreCase(name, "Content-Length")) {
    std::uint64_t length = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), length);
    if (ec != std::errc() || end != value.data() + value.size()) return ParseStatus::kBad;
    if (length > 0) r.hasBody = true;
  } else if (EqualsIgnoreCase(name, "Transfer-Encoding")) {
    r.hasBody = true;
  }
  return ParseStatus::kComplete;
}

}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c; };
           return lower(x) == lower(y);
         });
}

ParseResult ParseRequest(std::string_view bytes) {
  ParseResult result;
  // A blank line or two before the request line is skipped (RFC 9112 2.2).
  std::size_t skipped = 0;
  while (skipped < bytes.size() && skipped < 4 && (bytes[skipped] == '\r' || bytes[skipped] == '\n')) ++skipped;
  const std::size_t end = HeadEnd(bytes.substr(skipped));
  if (end == std::string_view::npos) {
    result.status = bytes.size() >= kMaxRequestBytes ? ParseStatus::kTooLarge : ParseStatus::kIncomplete;
    return result;
  }
  if (skipped + end > kMaxRequestBytes) {
    result.status = ParseStatus::kTooLarge;
    return result;
  }
  std::string_view rest = bytes.substr(skipped, end);
  Request& r = result.request;
  r.headBytes = skipped + end;
  std::string_view line;
  NextLine(rest, line);
  result.status = ParseRequestLine(line, r);
  if (result.status != ParseStatus::kComplete) return result;
  while (NextLine(rest, line) && !line.empty()) {
    // Folded lines (a header continued on the next) are not read (RFC 9112 5.2).
    if (line.front() == ' ' || line.front() == '\t') {
      result.status = ParseStatus::kBad;
      return result;
    }
    result.status = ParseHeader(line, r);
    if (result.status != ParseStatus::kComplete) return result;
  }
  // HTTP/1.1 requires a Host header (RFC 9112 3.2).
  if (r.minorVersion == 1 && !r.host) result.status = ParseStatus::kBad;
  return result;
}

std::optional<std::string_view> QueryValue(std::string_view query, std::string_view name) {
  while (!query.empty()) {
    const std::size_t amp = query.find('&');
    const std::string_view pair = query.substr(0, amp);
    const std::size_t eq = pair.find('=');
    if (pair.substr(0, eq) == name) return eq == std::string_view::npos ? std::string_view() : pair.substr(eq + 1);
    if (amp == std::string_view::npos) break;
    query.remove_prefix(amp + 1);
  }
  return std::nullopt;
}

std::optional<std::string_view> CookieValue(std::string_view cookie, std::string_view name) {
  while (!cookie.empty()) {
    const std::size_t semi = cookie.find(';');
    const std::string_view pair = TrimSpace(cookie.substr(0, semi));
    const std::size_t eq = pair.find('=');
    if (eq != std::string_view::npos && TrimSpace(pair.substr(0, eq)) == name) return TrimSpace(pair.substr(eq + 1));
    if (semi == std::string_view::npos) break;
    cookie.remove_prefix(semi + 1);
  }
  return std::nullopt;
}

}  // namespace qv::phone
