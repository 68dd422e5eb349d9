#pragma once
// Who gets what from the phone view's server: a request is answered only when
// it names the bound address (no DNS rebinding), comes from the page's own
// origin, uses GET or HEAD, carries the current token (in the query once, then
// in a cookie), and asks for one of the few fixed paths. Nothing here reads a
// file or changes anything: the answers are the page, its script and style,
// and the event stream.
#include <cstdint>
#include <string>
#include <string_view>

#include "PhoneRequest.h"
#include "PhoneResponse.h"
#include "PhoneTexts.h"

namespace qv::phone {

// The cookie that carries the token after the first visit.
inline constexpr std::string_view kCookieName = "qv";

// Where the server listens and the token it accepts now.
struct Site {
  std::string host;  // the bound address as text: "192.168.1.20", "fe80::1"
  std::uint16_t port = 0;
  std::string token;
};

// "192.168.1.20:8080", "[fe80::1]:8080": what Host must say.
[[nodiscard]] std::string Authority(const Site& site);
// "http://192.168.1.20:8080/?t=TOKEN": what the QR code holds.
[[nodiscard]] std::string PageUrl(const Site& site);

enum class Resource { kNone, kPage, kScript, kStyle, kEvents };

struct Answer {
  Response response;  // for kEvents: the head of the stream
  Resource resource = Resource::kNone;
};

// The answer to a parsed request (any status but kIncomplete).
[[nodiscard]] Answer Decide(const ParseResult& parsed, const Site& site);

// A refusal with its short page in the language given.
[[nodiscard]] Response Refusal(int status, Language lang, bool headOnly = false);

}  // namespace qv::phone
