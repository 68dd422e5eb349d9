#pragma once
// Who gets what from the phone view's server: a request is answered only when
// it names the bound address (no DNS rebinding), comes from the page's own
// origin, uses GET or HEAD, comes from a paired phone, and asks for one of the
// few fixed paths. A phone pairs by loading the QR code's address: its token
// is used up and swapped for a secret cookie of that phone's own. Nothing here reads a
// file or changes anything: the answers are the page, its script and style,
// and the event stream.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "PhoneRequest.h"
#include "PhoneResponse.h"
#include "PhoneTexts.h"

namespace qv::phone {

// The cookie that carries a paired phone's secret.
inline constexpr std::string_view kCookieName = "qv";

// Where the server listens, the token that pairs the next phone, and the
// secrets of the phones paired.
struct Site {
  std::string host;  // the bound address as text: "192.168.1.20", "fe80::1"
  std::uint16_t port = 0;
  std::string token;  // "" when no phone may pair
  std::vector<std::string> sessions;
};

// "192.168.1.20:8080", "[fe80::1]:8080": what Host must say.
[[nodiscard]] std::string Authority(const Site& site);
// "http://192.168.1.20:8080/?t=TOKEN": what the QR code holds.
[[nodiscard]] std::string PageUrl(const Site& site);

enum class Resource {
  kNone,
  kPair,  // the token was right: the server makes the phone's secret, adds it (AddSessionCookie) and a new token
  kPage,
  kScript,
  kStyle,
  kEvents
};

struct Answer {
  Response response;  // for kEvents: the head of the stream
  Resource resource = Resource::kNone;
};

// The cookie that pairs a phone with `secret`, on the answer of kPair.
void AddSessionCookie(Response& r, std::string_view secret);

// The answer to a parsed request (any status but kIncomplete).
[[nodiscard]] Answer Decide(const ParseResult& parsed, const Site& site);

// A refusal with its short page in the language given.
[[nodiscard]] Response Refusal(int status, Language lang, bool headOnly = false);

}  // namespace qv::phone
