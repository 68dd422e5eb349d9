// The phone view's request handling on arbitrary bytes, as a phone on the
// network could send them:
//  - the parser never reads past its input, and a complete head is never
//    longer than the limit nor than the bytes given;
//  - a prefix of the bytes is never complete unless the whole is complete
//    with the same head (a request cannot change by arriving later);
//  - every answer is a well-formed response with the security headers; only
//    a paired phone's cookie ever gets one of the fixed resources, and only
//    the token, on a GET of the page, pairs.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "PhoneAccess.h"
#include "PhoneRequest.h"

namespace {

using namespace qv::phone;

void Check(bool ok) {
  if (!ok) std::abort();
}

const Site kSite{"127.0.0.1", 8080, "00112233445566778899aabbccddeeff", {"ffeeddccbbaa99887766554433221100"}};

void CheckAnswer(const ParseResult& parsed) {
  const Answer a = Decide(parsed, kSite);
  const std::string bytes = Serialize(a.response);
  Check(bytes.rfind("HTTP/1.1 ", 0) == 0);
  Check(bytes.find("\r\nCache-Control: no-store\r\n") != std::string::npos);
  Check(bytes.find("\r\nX-Content-Type-Options: nosniff\r\n") != std::string::npos);
  Check(bytes.find("\r\nContent-Security-Policy: ") != std::string::npos);
  Check(bytes.find("\r\n\r\n") != std::string::npos);
  if (parsed.status != ParseStatus::kComplete) {
    Check(a.resource == Resource::kNone && a.response.status >= 400);
    return;
  }
  const Request& q = parsed.request;
  const bool token = QueryValue(q.query, "t") == kSite.token;
  const bool cookie = CookieValue(q.cookie, kCookieName) == kSite.sessions[0];
  const bool fromHere = q.host && EqualsIgnoreCase(*q.host, "127.0.0.1:8080");
  if (a.resource == Resource::kPair) {
    Check(token && !cookie && fromHere && q.path == "/" && q.method == Method::kGet);
  } else if (a.resource != Resource::kNone || a.response.status == 200) {
    Check(cookie && fromHere && (q.method == Method::kGet || q.method == Method::kHead));
  } else if (a.response.status == 303) {
    Check(token && cookie && fromHere);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  const ParseResult whole = ParseRequest(all);
  if (whole.status == ParseStatus::kComplete) {
    Check(whole.request.headBytes <= all.size());
    Check(whole.request.headBytes <= kMaxRequestBytes);
    Check(!whole.request.path.empty() && whole.request.path[0] == '/');
  }
  if (whole.status != ParseStatus::kIncomplete) CheckAnswer(whole);

  for (const std::size_t split : {size / 2, size > 0 ? size - 1 : 0}) {
    const ParseResult part = ParseRequest(all.substr(0, split));
    if (part.status == ParseStatus::kComplete) {
      Check(whole.status == ParseStatus::kComplete);
      Check(part.request.headBytes == whole.request.headBytes);
      Check(part.request.path == whole.request.path && part.request.host == whole.request.host);
    }
  }
  return 0;
}
