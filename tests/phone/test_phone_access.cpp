#include <gtest/gtest.h>

#include <set>
#include <string>

#include "BrowserRequests.h"
#include "PhoneAccess.h"
#include "PhoneToken.h"

using namespace qv::phone;

namespace {

const Site kSite{"192.168.1.20", 8080, qvtest::kToken, {qvtest::kOtherPhone, qvtest::kSession}};
const std::string kHost = "192.168.1.20:8080";
const std::string kCookie = std::string("qv=") + qvtest::kSession;

Answer Ask(const std::string& request, const Site& site = kSite) { return Decide(ParseRequest(request), site); }

std::string Get(const std::string& target, const std::string& extra = "", const std::string& host = kHost) {
  return "GET " + target + " HTTP/1.1\r\nHost: " + host + "\r\n" + extra + "\r\n";
}

}  // namespace

TEST(PhoneAccess, TheTokenPairsAPhoneWhoseCookieThenOpensThePaths) {
  const Answer a = Ask(qvtest::ChromiumPage(kHost, std::string("/?t=") + qvtest::kToken));
  EXPECT_EQ(a.resource, Resource::kPair);
  EXPECT_EQ(a.response.status, 303);
  Response paired = a.response;
  AddSessionCookie(paired, "0123");
  const std::string bytes = Serialize(paired);
  EXPECT_NE(bytes.find("\r\nLocation: /\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\nSet-Cookie: qv=0123; Path=/; HttpOnly; SameSite=Strict\r\n"), std::string::npos);
  // A phone that is paired already is sent on without using the token up.
  const Answer again = Ask(Get(std::string("/?t=") + qvtest::kToken, "Cookie: " + kCookie + "\r\n"));
  EXPECT_EQ(again.resource, Resource::kNone);
  EXPECT_EQ(again.response.status, 303);

  const Answer page = Ask(Get("/", "Cookie: " + kCookie + "\r\n"));
  EXPECT_EQ(page.resource, Resource::kPage);
  EXPECT_EQ(page.response.status, 200);
  EXPECT_NE(page.response.body.find("<html"), std::string::npos);
  EXPECT_EQ(Ask(Get("/", std::string("Cookie: qv=") + qvtest::kOtherPhone + "\r\n")).resource, Resource::kPage);
  EXPECT_EQ(Ask(qvtest::FirefoxScript(kHost, kCookie)).resource, Resource::kScript);
  EXPECT_EQ(Ask(Get("/app.css", "Cookie: " + kCookie + "\r\n")).resource, Resource::kStyle);
  const Answer events = Ask(qvtest::ChromiumEvents(kHost, "other=1; " + kCookie));
  EXPECT_EQ(events.resource, Resource::kEvents);
  EXPECT_TRUE(events.response.stream);
  EXPECT_EQ(events.response.contentType, "text/event-stream; charset=utf-8");
}

TEST(PhoneAccess, WithoutAPairedPhonesCookieEveryPathIsForbiddenWithAScanAgainPage) {
  const std::string wrong = "ffeeddccbbaa99887766554433221101";  // the last digit differs
  const std::string token = qvtest::kToken;
  // The token pairs on the page only: it is no cookie, and opens no other path.
  for (const std::string& target :
       {std::string("/"), std::string("/events"), std::string("/app.js"), std::string("/nothing"), "/?t=" + wrong,
        "/?t=" + token.substr(0, 31), std::string("/?t="), "/?x=" + token, "/events?t=" + token, "/app.js?t=" + token,
        "/nothing?t=" + token}) {
    for (const std::string& cookie :
         {std::string(), "Cookie: qv=" + wrong + "\r\n", std::string("Cookie: qv=\r\n"), "Cookie: qv=" + token + "\r\n",
          "Cookie: xqv=" + std::string(qvtest::kSession) + "\r\n"}) {
      const Answer a = Ask(Get(target, cookie));
      EXPECT_EQ(a.response.status, 403) << target << " " << cookie;
      EXPECT_EQ(a.resource, Resource::kNone);
      EXPECT_NE(a.response.body.find("QR-Code"), std::string::npos);
    }
  }
  const Answer en = Ask(Get("/", "Accept-Language: en-GB,en;q=0.9\r\n"));
  EXPECT_NE(en.response.body.find("Please scan the QR code"), std::string::npos);
  // HEAD with the token pairs nothing.
  EXPECT_EQ(Ask("HEAD /?t=" + token + " HTTP/1.1\r\nHost: " + kHost + "\r\n\r\n").response.status, 403);
  // With no token and no phones (the view is off), nothing is accepted, not even empty ones.
  EXPECT_EQ(Ask(Get("/?t=", "Cookie: qv=\r\n"), Site{"192.168.1.20", 8080, "", {""}}).response.status, 403);
}

TEST(PhoneAccess, OnlyTheBoundAddressAndThePagesOwnOrigin) {
  const std::string ok = "Cookie: " + kCookie + "\r\n";
  // A name that a rebinding page made point at us is not the address.
  EXPECT_EQ(Ask(Get("/", ok, "evil.example:8080")).response.status, 421);
  EXPECT_EQ(Ask(Get("/", ok, "192.168.1.20:8081")).response.status, 421);
  EXPECT_EQ(Ask(Get("/", ok, "192.168.1.20")).response.status, 421);
  EXPECT_EQ(Ask(Get("/", ok, "127.0.0.1:8080")).response.status, 421);
  EXPECT_EQ(Ask("GET / HTTP/1.0\r\n" + ok + "\r\n").response.status, 421);
  // On port 80 a browser leaves the port out.
  EXPECT_EQ(Ask(Get("/", "Cookie: " + kCookie + "\r\n", "192.168.1.20"),
                Site{"192.168.1.20", 80, qvtest::kToken, {qvtest::kSession}})
                .response.status,
            200);
  const Site v6{"fe80::1", 8080, qvtest::kToken, {qvtest::kSession}};
  EXPECT_EQ(Authority(v6), "[fe80::1]:8080");
  EXPECT_EQ(Ask(Get("/", ok, "[fe80::1]:8080"), v6).response.status, 200);

  EXPECT_EQ(Ask(Get("/events", ok + "Origin: http://192.168.1.20:8080\r\n")).resource, Resource::kEvents);
  for (const char* origin : {"http://evil.example", "null", "https://192.168.1.20:8080", "http://192.168.1.20:8081",
                             "http://192.168.1.20"}) {
    EXPECT_EQ(Ask(Get("/events", ok + "Origin: " + origin + "\r\n")).response.status, 403) << origin;
  }
}

TEST(PhoneAccess, MethodsBodiesPathsAndBrokenRequests) {
  const std::string ok = "Cookie: " + kCookie + "\r\n";
  for (const char* method : {"POST", "PUT", "DELETE", "OPTIONS", "PATCH", "CONNECT", "TRACE"}) {
    const Answer a = Ask(std::string(method) + " / HTTP/1.1\r\nHost: " + kHost + "\r\n" + ok + "\r\n");
    EXPECT_EQ(a.response.status, 405) << method;
    EXPECT_NE(Serialize(a.response).find("\r\nAllow: GET, HEAD\r\n"), std::string::npos);
  }
  EXPECT_EQ(Ask(Get("/", ok + "Content-Length: 3\r\n")).response.status, 400);
  for (const char* path : {"/index.html", "/../etc/passwd", "/app.js/", "/%2e%2e/", "/events/", "//", "/favicon.ico"})
    EXPECT_EQ(Ask(Get(path, ok)).response.status, 404) << path;
  EXPECT_EQ(Ask("GET / HTTP/1.1\r\nHost: " + kHost + "\r\nX: " + std::string(kMaxRequestBytes, 'x')).response.status,
            431);
  EXPECT_EQ(Ask("GARBAGE\r\n\r\n").response.status, 400);
  EXPECT_EQ(Ask("GET / HTTP/3.0\r\n\r\n").response.status, 505);

  // HEAD: the headers of what GET would give, no body.
  const Answer head = Ask("HEAD /app.js HTTP/1.1\r\nHost: " + kHost + "\r\n" + ok + "\r\n");
  const std::string bytes = Serialize(head.response);
  EXPECT_EQ(bytes.substr(bytes.size() - 4), "\r\n\r\n");
  EXPECT_NE(bytes.find("Content-Length: " + std::to_string(head.response.body.size())), std::string::npos);
  EXPECT_EQ(Ask("HEAD /events HTTP/1.1\r\nHost: " + kHost + "\r\n" + ok + "\r\n").resource, Resource::kNone);
}

TEST(PhoneAccess, EveryResponseCarriesTheSecurityHeaders) {
  const std::string ok = "Cookie: " + kCookie + "\r\n";
  for (const std::string& request : {Get("/", ok), Get("/app.js", ok), Get("/events", ok), Get("/"), Get("/x", ok),
                                     Get("/", ok, "x:1"), std::string("POST / HTTP/1.1\r\n\r\n"),
                                     std::string("\x01\r\n\r\n"), Get(std::string("/?t=") + qvtest::kToken)}) {
    const std::string bytes = Serialize(Ask(request).response);
    for (const char* header : {"\r\nCache-Control: no-store\r\n", "\r\nX-Content-Type-Options: nosniff\r\n",
                               "\r\nX-Frame-Options: DENY\r\n", "\r\nReferrer-Policy: no-referrer\r\n",
                               "\r\nContent-Security-Policy: default-src 'none'; script-src 'self'; "})
      EXPECT_NE(bytes.find(header), std::string::npos) << request << "\n" << header;
    EXPECT_NE(bytes.find("frame-ancestors 'none'"), std::string::npos);
    EXPECT_EQ(bytes.find("unsafe-inline"), std::string::npos);
  }
  EXPECT_EQ(Serialize(Refusal(503, qv::Language::German)).substr(0, 32), "HTTP/1.1 503 Service Unavailable");
}

TEST(PhoneToken, FreshSixteenRandomBytesAsHex) {
  std::set<std::string> seen;
  for (int i = 0; i < 64; ++i) {
    const auto t = MakeToken();
    ASSERT_TRUE(t);
    ASSERT_EQ(t->size(), 32u);
    EXPECT_EQ(t->find_first_not_of("0123456789abcdef"), std::string::npos);
    seen.insert(*t);
  }
  EXPECT_EQ(seen.size(), 64u);
  const unsigned char bytes[kTokenBytes] = {0x00, 0x01, 0x7f, 0x80, 0xff, 0x10, 0xab, 0xcd,
                                            0xef, 0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc, 0xde};
  EXPECT_EQ(HexToken(bytes), "00017f80ff10abcdef123456789abcde");
}

TEST(PhoneToken, ConstantTimeEqualsIsEquality) {
  EXPECT_TRUE(ConstantTimeEquals(qvtest::kToken, qvtest::kToken));
  EXPECT_TRUE(ConstantTimeEquals("", ""));
  EXPECT_FALSE(ConstantTimeEquals("abc", "abd"));
  EXPECT_FALSE(ConstantTimeEquals("abc", "bbc"));
  EXPECT_FALSE(ConstantTimeEquals("abc", "abcd"));
  EXPECT_FALSE(ConstantTimeEquals("", "a"));
  EXPECT_FALSE(ConstantTimeEquals(std::string_view("a\0b", 3), std::string_view("a\0c", 3)));
}
