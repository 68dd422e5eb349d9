#pragma once
// A phone view server on 127.0.0.1 for the loopback tests, with the token it
// made and helpers to ask it the way the page does.
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
    token = QUrlQuery(QUrl(server.Url())).queryItemValue("t").toStdString();
    ASSERT_EQ(token.size(), 32u);
  }

  std::string Get(const std::string& target, const std::string& extra = "") const {
    return "GET " + target + " HTTP/1.1\r\nHost: " + host + "\r\n" + extra + "\r\n";
  }
  std::string Cookie() const { return "Cookie: qv=" + token + "\r\n"; }
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
  std::string token;
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
