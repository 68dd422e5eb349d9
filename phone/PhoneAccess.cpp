#include "PhoneAccess.h"

#include "PhonePage.h"
#include "PhoneToken.h"

namespace qv::phone {
namespace {

std::string HtmlPage(Language lang, std::string_view title, std::string_view body) {
  std::string page = "<!DOCTYPE html><html lang=\"";
  page += lang == Language::English ? "en" : "de";
  page += "\"><head><meta charset=\"utf-8\"><meta name=\"viewport\" content=\"width=device-width\"><title>";
  page += title;
  page += "</title></head><body><h1>";
  page += title;
  page += "</h1><p>";
  page += body;
  page += "</p></body></html>\n";
  return page;
}

bool HostMatches(std::string_view host, const Site& site) {
  if (EqualsIgnoreCase(host, Authority(site))) return true;
  // A browser leaves out the default port.
  if (site.port != 80) return false;
  const std::string bare = site.host.find(':') == std::string::npos ? site.host : "[" + site.host + "]";
  return EqualsIgnoreCase(host, bare);
}

Response Asset(Resource which, bool headOnly) {
  const PageAsset a = AssetOf(which == Resource::kPage     ? PagePart::kHtml
                              : which == Resource::kScript ? PagePart::kScript
                                                           : PagePart::kStyle);
  Response r;
  r.contentType = std::string(a.contentType);
  r.body = std::string(a.body);
  r.headOnly = headOnly;
  return r;
}

}  // namespace

std::string Authority(const Site& site) {
  const bool v6 = site.host.find(':') != std::string::npos;
  return (v6 ? "[" + site.host + "]" : site.host) + ":" + std::to_string(site.port);
}

std::string PageUrl(const Site& site) { return "http://" + Authority(site) + "/?t=" + site.token; }

void AddSessionCookie(Response& r, std::string_view secret) {
  r.headers.emplace_back("Set-Cookie",
                         std::string(kCookieName) + "=" + std::string(secret) + "; Path=/; HttpOnly; SameSite=Strict");
}

Response Refusal(int status, Language lang, bool headOnly) {
  Response r;
  r.status = status;
  r.contentType = "text/html; charset=utf-8";
  r.headOnly = headOnly;
  if (status == 403) {
    r.body = HtmlPage(lang, Text(TextId::kForbiddenTitle, lang), Text(TextId::kForbiddenBody, lang));
  } else if (status == 503) {
    r.body = HtmlPage(lang, std::to_string(status), Text(TextId::kBusy, lang));
  } else {
    const std::string what = std::to_string(status) + " " + std::string(ReasonPhrase(status));
    r.body = HtmlPage(lang, what, Format(TextId::kRefused, lang, {what}));
  }
  if (status == 405) r.headers.emplace_back("Allow", "GET, HEAD");
  return r;
}

Answer Decide(const ParseResult& parsed, const Site& site) {
  const Request& q = parsed.request;
  const Language lang = LanguageOfAcceptLanguage(q.acceptLanguage);
  switch (parsed.status) {
    case ParseStatus::kComplete: break;
    case ParseStatus::kTooLarge: return {Refusal(431, lang), Resource::kNone};
    case ParseStatus::kVersion: return {Refusal(505, lang), Resource::kNone};
    case ParseStatus::kIncomplete:
    case ParseStatus::kBad: return {Refusal(400, lang), Resource::kNone};
  }
  if (q.method == Method::kOther) return {Refusal(405, lang), Resource::kNone};
  const bool head = q.method == Method::kHead;
  // Nothing is read from a phone: a request with a body is no request of the page's.
  if (q.hasBody) return {Refusal(400, lang, head), Resource::kNone};
  if (!q.host || !HostMatches(*q.host, site)) return {Refusal(421, lang, head), Resource::kNone};
  if (q.origin && !EqualsIgnoreCase(*q.origin, "http://" + Authority(site))) {
    return {Refusal(403, lang, head), Resource::kNone};
  }
  const auto fromQuery = QueryValue(q.query, "t");
  const auto fromCookie = CookieValue(q.cookie, kCookieName);
  // Every secret is compared in full, so the time taken tells nothing of how
  // close a guess came, nor which one it was near.
  bool paired = false;
  for (const std::string& secret : site.sessions)
    paired = (!secret.empty() && ConstantTimeEquals(fromCookie.value_or(""), secret)) || paired;
  const bool pairing = !site.token.empty() && ConstantTimeEquals(fromQuery.value_or(""), site.token);

  if (pairing && q.path == "/" && q.method == Method::kGet) {
    // The address bar (and the history) keeps the plain address. A phone
    // that is paired already keeps its cookie and leaves the token unused.
    Response r;
    r.status = 303;
    r.headers.emplace_back("Location", "/");
    return {r, paired ? Resource::kNone : Resource::kPair};
  }
  if (!paired) return {Refusal(403, lang, head), Resource::kNone};

  if (q.path == "/") return {Asset(Resource::kPage, head), Resource::kPage};
  if (q.path == "/app.js") return {Asset(Resource::kScript, head), Resource::kScript};
  if (q.path == "/app.css") return {Asset(Resource::kStyle, head), Resource::kStyle};
  if (q.path == "/events") {
    Response r;
    r.contentType = "text/event-stream; charset=utf-8";
    r.stream = true;
    r.headOnly = head;
    return {r, head ? Resource::kNone : Resource::kEvents};
  }
  return {Refusal(404, lang, head), Resource::kNone};
}

}  // namespace qv::phone
