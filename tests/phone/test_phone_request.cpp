#include <gtest/gtest.h>

#include <string>

#include "BrowserRequests.h"
#include "PhoneRequest.h"

using namespace qv::phone;

namespace {

ParseResult Parse(const std::string& s) { return ParseRequest(s); }

}  // namespace

TEST(PhoneRequest, BrowsersRequestsAreReadWhole) {
  const std::string page = qvtest::ChromiumPage("192.168.1.20:8080", "/?t=abc&x=1");
  const ParseResult p = Parse(page + "trailing bytes");
  ASSERT_EQ(p.status, ParseStatus::kComplete);
  EXPECT_EQ(p.request.method, Method::kGet);
  EXPECT_EQ(p.request.path, "/");
  EXPECT_EQ(p.request.query, "t=abc&x=1");
  EXPECT_EQ(p.request.host, "192.168.1.20:8080");
  EXPECT_FALSE(p.request.origin);
  EXPECT_EQ(p.request.acceptLanguage, "de-DE,de;q=0.9,en-US;q=0.8,en;q=0.7");
  EXPECT_EQ(p.request.headBytes, page.size());
  EXPECT_FALSE(p.request.hasBody);

  const ParseResult ff = Parse(qvtest::FirefoxScript("h:1", "a=b; qv=123"));
  ASSERT_EQ(ff.status, ParseStatus::kComplete);
  EXPECT_EQ(ff.request.path, "/app.js");
  EXPECT_EQ(ff.request.query, "");
  EXPECT_EQ(ff.request.cookie, "a=b; qv=123");
}

TEST(PhoneRequest, EveryPrefixOfARequestIsIncomplete) {
  const std::string events = qvtest::ChromiumEvents("10.0.0.2:9000", "qv=1");
  for (std::size_t n = 0; n < events.size(); ++n)
    ASSERT_EQ(ParseRequest(std::string_view(events).substr(0, n)).status, ParseStatus::kIncomplete) << n;
  EXPECT_EQ(Parse(events).status, ParseStatus::kComplete);
}

TEST(PhoneRequest, LineEndsMethodsAndVersions) {
  const auto lf = Parse("HEAD /app.css HTTP/1.1\nHost: a:1\n\n");
  ASSERT_EQ(lf.status, ParseStatus::kComplete);
  EXPECT_EQ(lf.request.method, Method::kHead);
  EXPECT_EQ(Parse("\r\nGET / HTTP/1.1\r\nHost: a:1\r\n\r\n").status, ParseStatus::kComplete);
  EXPECT_EQ(Parse("POST / HTTP/1.1\r\nHost: a:1\r\n\r\n").request.method, Method::kOther);
  EXPECT_EQ(Parse("get / HTTP/1.1\r\nHost: a:1\r\n\r\n").request.method, Method::kOther);  // methods are case-sensitive
  const auto http10 = Parse("GET / HTTP/1.0\r\n\r\n");
  ASSERT_EQ(http10.status, ParseStatus::kComplete);  // HTTP/1.0 may leave out Host
  EXPECT_FALSE(http10.request.host);
  EXPECT_EQ(http10.request.minorVersion, 0);
  EXPECT_EQ(Parse("GET / HTTP/2.0\r\nHost: a:1\r\n\r\n").status, ParseStatus::kVersion);
  EXPECT_EQ(Parse("GET / HTTP/1.1\r\n\r\n").status, ParseStatus::kBad);  // HTTP/1.1 without Host
}

TEST(PhoneRequest, MalformedHeadsAreBad) {
  for (const char* head : {
           "GET / HTTP/1.1 extra\r\nHost: a\r\n\r\n",
           "GET  / HTTP/1.1\r\nHost: a\r\n\r\n",
           "GET http://a/ HTTP/1.1\r\nHost: a\r\n\r\n",  // absolute form
           "GET * HTTP/1.1\r\nHost: a\r\n\r\n",
           "GET /\x01 HTTP/1.1\r\nHost: a\r\n\r\n",
           "GET / HTTP/1.1\r\nHost : a\r\n\r\n",  // space before the colon
           "GET / HTTP/1.1\r\nHost: a\r\n folded\r\n\r\n",
           "GET / HTTP/1.1\r\nHost: a\r\nno colon\r\n\r\n",
           "GET / HTTP/1.1\r\nHost: a\r\nHost: b\r\n\r\n",
           "GET / HTTP/1.1\r\nHost: a\r\nOrigin: x\r\nOrigin: y\r\n\r\n",
           "GET / HTTP/1.1\r\nHost: a\x7f\r\n\r\n",
           "GET / HTTP/1.1\r\nHost: a\r\nContent-Length: 1x\r\n\r\n",
           "GET / HTTP/1.1\r\nHost: a\r\nX\x01: 1\r\n\r\n",
           "GET / HTTPS/1.1\r\nHost: a\r\n\r\n",
       }) {
    EXPECT_EQ(Parse(head).status, ParseStatus::kBad) << head;
  }
}

TEST(PhoneRequest, ABodyIsNoticed) {
  EXPECT_TRUE(Parse("GET / HTTP/1.1\r\nHost: a\r\nContent-Length: 5\r\n\r\n").request.hasBody);
  EXPECT_TRUE(Parse("GET / HTTP/1.1\r\nHost: a\r\nTransfer-Encoding: chunked\r\n\r\n").request.hasBody);
  EXPECT_FALSE(Parse("GET / HTTP/1.1\r\nHost: a\r\nContent-Length: 0\r\n\r\n").request.hasBody);
}

TEST(PhoneRequest, TheHeadIsAtMostEightKibibytes) {
  const std::string start = "GET / HTTP/1.1\r\nHost: a:1\r\nX: ";
  const std::string end = "\r\n\r\n";
  const std::string fits = start + std::string(kMaxRequestBytes - start.size() - end.size(), 'x') + end;
  ASSERT_EQ(fits.size(), kMaxRequestBytes);
  EXPECT_EQ(Parse(fits).status, ParseStatus::kComplete);
  const std::string over = start + std::string(kMaxRequestBytes - start.size() - end.size() + 1, 'x') + end;
  EXPECT_EQ(Parse(over).status, ParseStatus::kTooLarge);
  // Without its end, a head is too large as soon as it has reached the limit.
  const std::string open = start + std::string(kMaxRequestBytes, 'x');
  EXPECT_EQ(ParseRequest(std::string_view(open).substr(0, kMaxRequestBytes - 1)).status, ParseStatus::kIncomplete);
  EXPECT_EQ(ParseRequest(std::string_view(open).substr(0, kMaxRequestBytes)).status, ParseStatus::kTooLarge);
}

TEST(PhoneRequest, QueryAndCookieValues) {
  EXPECT_EQ(QueryValue("t=abc", "t"), "abc");
  EXPECT_EQ(QueryValue("x=1&t=abc&t=def", "t"), "abc");
  EXPECT_EQ(QueryValue("tt=abc&t", "t"), "");
  EXPECT_FALSE(QueryValue("tt=abc", "t"));
  EXPECT_FALSE(QueryValue("", "t"));
  EXPECT_EQ(CookieValue("a=b; qv=123; qv=456", "qv"), "123");
  EXPECT_EQ(CookieValue("qv = 123 ", "qv"), "123");
  EXPECT_FALSE(CookieValue("xqv=1; qvx=2; qv", "qv"));
}
