#pragma once
// A phone view server on 127.0.0.1 for the loopback tests, with one phone
// paired (its cookie), the token for the next, and helpers to ask it the way
// the page does.
#include <gtest/gtest.h>

#include <QHostAddress>
#include <QUrl>
#include <QUrlQuery>
#include <string>

#include "LoopbackClient.h"
#include "PhoneServer.h"
#include "Session.h"

namespace qvtest {

struct PhoneServerTest : ::testing::Test {
  explicit PhoneServerTest(qv::phone::ServerLimits limits = {}) : server(limits) {}

  void SetUp() override {
    ASSERT_TRUE(server.Start(QHostAddress(QHostAddress::LocalHost))) << server.Error().toStdString();
    port = server.Port();
    host = "127.0.0.1:" + std::to_string(port);
    ASSERT_EQ(Token().size(), 32u);
    session = Pair(Token());
    ASSERT_EQ(session.size(), 32u);
    token = Token();
  }

  // The token the QR code holds now.
  std::string Token() const { return QUrlQuery(QUrl(server.Url())).queryItemValue("t").toStdString(); }

  // Loads the page with `t` as a phone that scanned it; the cookie it got, "" for none.
  std::string Pair(const std::string& t) const {
    const std::string reply = Ask(Get("/?t=" + t));
    const std::string cookie = HeaderOf(reply, "Set-Cookie");
    if (StatusOf(reply) != 303 || cookie.rfind("qv=", 0) != 0) return {};
    return cookie.substr(3, cookie.find(';') - 3);
  }

  std::string Get(const std::string& target, const std::string& extra = "") const {
    return "GET " + target + " HTTP/1.1\r\nHost: " + host + "\r\n" + extra + "\r\n";
  }
  std::string Cookie() const { return "Cookie: qv=" + session + "\r\n"; }
  std::string Ask(const std::string& request) const { return Exchange(port, request); }

  // A frame of the session with maxima, as the receive handler publishes one.
  static qv::session::Frame MaximaFrame() {
    qv::session::Frame f;
    f.hasMaxima = true;
    f.maxima = {350, 340, 360, 345};
    return f;
  }

  qv::phone::PhoneServer server;
  std::uint16_t port = 0;
  std::string host;
  std::string session;  // the paired phone's cookie
  std::string token;    // pairs the next phone
};

// The count of events of a kind in what a stream received.
inline int EventsIn(const std::string& received, const std::string& kind = "reading") {
  int n = 0;
  for (std::size_t at = received.find("event: " + kind + "\n"); at != std::string::npos;
       at = received.find("event: " + kind + "\n", at + 1))
    ++n;
  return n;
}

}  // namespace qvtest
