#pragma once
// The phone view's HTTP responses as bytes: every one carries the same
// security headers (no caching, no sniffing, only the page's own resources,
// no framing, no referrer) and ends the connection, except the event stream,
// which stays open until one side closes it.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qv::phone {

// Only the page's own script, style and event stream; nothing inline, no
// frames, no forms, no plug-ins.
inline constexpr std::string_view kContentSecurityPolicy =
    "default-src 'none'; script-src 'self'; style-src 'self'; connect-src 'self'; img-src 'self'; "
    "base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

struct Response {
  int status = 200;
  std::string contentType;  // empty: no body and no Content-Type
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;  // beyond the security headers
  bool headOnly = false;                                     // HEAD: the headers of the body, without the body
  bool stream = false;  // an event stream: no Content-Length, the body follows as events
};

[[nodiscard]] std::string_view ReasonPhrase(int status);
[[nodiscard]] std::string Serialize(const Response& r);

}  // namespace qv::phone
