#pragma once
// The phone view's HTTP request parser: the request line and the headers of
// one request, as a browser sends them, checked against the limits the
// server keeps. Plain C++; it sees bytes only and decides nothing about access.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qv::phone {

// The request line and every header, with the blank line that ends them.
inline constexpr std::size_t kMaxRequestBytes = 8192;

enum class Method { kGet, kHead, kOther };

struct Request {
  Method method = Method::kOther;
  std::string path;   // the target up to '?', exactly as sent (never decoded)
  std::string query;  // after '?', without it
  int minorVersion = 1;
  std::optional<std::string> host;
  std::optional<std::string> origin;
  std::string cookie;  // every Cookie header, joined with "; "
  std::string acceptLanguage;
  bool hasBody = false;       // a Content-Length above 0 or a Transfer-Encoding
  std::size_t headBytes = 0;  // the request line and headers with the blank line
};

enum class ParseStatus {
  kIncomplete,  // more bytes may complete it
  kComplete,
  kTooLarge,  // the head passes kMaxRequestBytes: 431
  kBad,       // not a request we read: 400
  kVersion,   // an HTTP version other than 1.0 or 1.1: 505
};

struct ParseResult {
  ParseStatus status = ParseStatus::kIncomplete;
  Request request;  // filled when kComplete
};

// Parses the head of the request at the start of `bytes`; what follows it is
// left alone. Lines may end in CRLF or LF.
[[nodiscard]] ParseResult ParseRequest(std::string_view bytes);

// The value of `name` in a query ("a=1&t=..."), undecoded; the first one wins.
[[nodiscard]] std::optional<std::string_view> QueryValue(std::string_view query, std::string_view name);
// The value of the cookie `name` in a Cookie header ("a=b; qv=..."); the first one wins.
[[nodiscard]] std::optional<std::string_view> CookieValue(std::string_view cookie, std::string_view name);

// ASCII case-insensitive equality, as header names and host names compare.
[[nodiscard]] bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace qv::phone
