// The phone view's server on the loopback interface: the access rules as a
// browser meets them, the event stream, and switching off.
#include <QSignalSpy>
#include <memory>
#include <vector>

#include "MachineNetwork.h"
#include "ServerFixture.h"
#include "support/QtWait.h"
#include "support/TestEnv.h"

using namespace qvtest;
using qv::phone::PhoneReading;

TEST(PhoneServerStart, OnlyOneAddressAndAFreshTokenEachTime) {
  qv::phone::PhoneServer server;
  for (const QHostAddress& any : {QHostAddress(QHostAddress::Any), QHostAddress(QHostAddress::AnyIPv4),
                                  QHostAddress(QHostAddress::AnyIPv6), QHostAddress(), QHostAddress("::")}) {
    EXPECT_FALSE(server.Start(any)) << any.toString().toStdString();
    EXPECT_FALSE(server.Running());
    EXPECT_FALSE(server.Error().isEmpty());
  }
  QSignalSpy urls(&server, &qv::phone::PhoneServer::UrlChanged);
  ASSERT_TRUE(server.Start(QHostAddress::LocalHost));
  const QString first = server.Url();
  EXPECT_TRUE(first.startsWith(QStringLiteral("http://127.0.0.1:%1/?t=").arg(server.Port()))) << first.toStdString();
  EXPECT_EQ(server.Address(), QStringLiteral("127.0.0.1:%1").arg(server.Port()));
  server.Stop();
  EXPECT_FALSE(server.Running());
  EXPECT_TRUE(server.Url().isEmpty());
  ASSERT_TRUE(server.Start(QHostAddress::LocalHost));
  EXPECT_NE(server.Url().section('=', 1), first.section('=', 1));
  const QString second = server.Url();
  server.DisconnectAll();
  EXPECT_NE(server.Url(), second);
  EXPECT_EQ(urls.count(), 4);  // started, stopped, started, new token
}

TEST_F(PhoneServerTest, AScanPairsOnePhoneAndUsesTheTokenUp) {
  QSignalSpy urls(&server, &qv::phone::PhoneServer::UrlChanged);
  const std::string first = Ask(Get("/?t=" + token));
  EXPECT_EQ(StatusOf(first), 303);
  EXPECT_EQ(HeaderOf(first, "Location"), "/");
  const std::string cookie = HeaderOf(first, "Set-Cookie");
  ASSERT_EQ(cookie.size(), 3u + 32u + 35u) << cookie;
  EXPECT_EQ(cookie.substr(35), "; Path=/; HttpOnly; SameSite=Strict");
  const std::string secret = cookie.substr(3, 32);
  EXPECT_NE(secret, token);
  EXPECT_NE(secret, session);
  // The code shown changes; the used one pairs no other phone (a photo of
  // it, the address in a history).
  EXPECT_EQ(urls.count(), 1);
  EXPECT_NE(Token(), token);
  EXPECT_EQ(StatusOf(Ask(Get("/?t=" + token))), 403);

  const std::string page = Ask(Get("/", "Cookie: qv=" + secret + "\r\n"));
  EXPECT_EQ(StatusOf(page), 200);
  EXPECT_EQ(HeaderOf(page, "Content-Type"), "text/html; charset=utf-8");
  EXPECT_EQ(HeaderOf(page, "Cache-Control"), "no-store");
  EXPECT_EQ(HeaderOf(page, "X-Content-Type-Options"), "nosniff");
  EXPECT_EQ(HeaderOf(page, "X-Frame-Options"), "DENY");
  EXPECT_NE(HeaderOf(page, "Content-Security-Policy").find("frame-ancestors 'none'"), std::string::npos);
  const std::size_t bodyAt = page.find("\r\n\r\n") + 4;
  EXPECT_EQ(std::to_string(page.size() - bodyAt), HeaderOf(page, "Content-Length"));
  EXPECT_EQ(StatusOf(Ask(Get("/app.js", Cookie()))), 200);
  EXPECT_EQ(StatusOf(Ask(Get("/app.css", Cookie()))), 200);
  const std::string head = Ask("HEAD /app.js HTTP/1.1\r\nHost: " + host + "\r\n" + Cookie() + "\r\n");
  EXPECT_EQ(StatusOf(head), 200);
  EXPECT_EQ(head.substr(head.size() - 4), "\r\n\r\n");
}

TEST_F(PhoneServerTest, EveryRefusalOverTheWire) {
  const std::string scan = "QR-Code";
  const std::string none = Ask(Get("/"));
  EXPECT_EQ(StatusOf(none), 403);
  EXPECT_NE(none.find(scan), std::string::npos);
  std::string wrong = token;
  wrong[5] = wrong[5] == 'a' ? 'b' : 'a';
  EXPECT_EQ(StatusOf(Ask(Get("/?t=" + wrong))), 403);
  std::string wrongCookie = session;
  wrongCookie[31] = wrongCookie[31] == 'a' ? 'b' : 'a';
  EXPECT_EQ(StatusOf(Ask(Get("/events", "Cookie: qv=" + wrongCookie + "\r\n"))), 403);
  EXPECT_EQ(StatusOf(Ask(Get("/events", "Cookie: qv=" + token + "\r\n"))), 403);  // the token is no cookie
  // A rebinding page's name for this address, or another port.
  EXPECT_EQ(
      StatusOf(Ask("GET / HTTP/1.1\r\nHost: rebind.example:" + std::to_string(port) + "\r\n" + Cookie() + "\r\n")),
      421);
  EXPECT_EQ(StatusOf(Ask("GET / HTTP/1.1\r\nHost: localhost:" + std::to_string(port) + "\r\n" + Cookie() + "\r\n")),
            421);
  EXPECT_EQ(StatusOf(Ask(Get("/events", Cookie() + "Origin: http://rebind.example\r\n"))), 403);
  LoopbackClient own(port);  // the page's own origin may (a stream, so it stays open)
  own.Send(Get("/events", Cookie() + "Origin: http://" + host + "\r\n"));
  EXPECT_TRUE(own.WaitFor([](const std::string& r) { return EventsIn(r) == 1; }));
  EXPECT_EQ(StatusOf(own.Received()), 200);
  const std::string post =
      Ask("POST /events HTTP/1.1\r\nHost: " + host + "\r\n" + Cookie() + "Content-Length: 4\r\n\r\nport");
  EXPECT_EQ(StatusOf(post), 405);
  EXPECT_EQ(HeaderOf(post, "Allow"), "GET, HEAD");
  EXPECT_EQ(StatusOf(Ask(Get("/etc/passwd", Cookie()))), 404);
  EXPECT_EQ(StatusOf(Ask(Get("/../../etc/passwd", Cookie()))), 404);
  // Nine kibibytes of headers: refused once eight have come, whatever follows.
  LoopbackClient big(port);
  big.Send(Get("/", Cookie() + "X-Big: " + std::string(9 * 1024, 'x') + "\r\n"));
  ASSERT_TRUE(big.WaitClosed());
  EXPECT_EQ(StatusOf(big.Received()), 431);
}

TEST_F(PhoneServerTest, TheLogNeverHoldsATokenOrACookie) {
  std::vector<std::string> log;
  server.OnLog = [&log](const std::string& line) { log.push_back(line); };
  const std::string paired = Pair(token);
  ASSERT_FALSE(paired.empty());
  Ask(Get("/", Cookie()));
  Ask(Get("/events?t=" + Token() + "&x=1", Cookie() + "Origin: http://x\r\n"));
  Ask(Get("/nothing?t=" + Token(), Cookie()));
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0], "GET / 303");
  EXPECT_EQ(log[1], "GET / 200");
  EXPECT_EQ(log[2], "GET /events 403");
  EXPECT_EQ(log[3], "GET /nothing 404");
  for (const std::string& line : log)
    for (const std::string& secret : {token, Token(), session, paired})
      EXPECT_EQ(line.find(secret), std::string::npos) << line;
}

TEST_F(PhoneServerTest, EachMaximaFrameReachesEveryStream) {
  QSignalSpy phones(&server, &qv::phone::PhoneServer::PhonesChanged);
  std::vector<std::unique_ptr<LoopbackClient>> streams;
  for (int i = 0; i < 3; ++i) {
    streams.push_back(std::make_unique<LoopbackClient>(port));
    streams.back()->Send(Get("/events", Cookie()));
    ASSERT_TRUE(streams.back()->WaitFor([](const std::string& r) { return EventsIn(r) == 1; }));
  }
  EXPECT_EQ(server.Phones(), 3);
  EXPECT_EQ(phones.count(), 3);
  const std::string& first = streams[0]->Received();
  EXPECT_EQ(StatusOf(first), 200);
  EXPECT_EQ(HeaderOf(first, "Content-Type"), "text/event-stream; charset=utf-8");
  EXPECT_EQ(HeaderOf(first, "Content-Length"), "");
  EXPECT_NE(first.find("\r\n\r\nretry: 1000\n\nevent: reading\ndata: {\"n\":0,"), std::string::npos);

  qv::session::Frame channelOnly;
  channelOnly.channel = 2;
  for (int i = 0; i < 5; ++i) {
    server.OnFrame(MaximaFrame());
    server.OnFrame(channelOnly);  // no maxima: no event
  }
  for (auto& s : streams) {
    ASSERT_TRUE(s->WaitFor([](const std::string& r) { return r.find("\"n\":5,") != std::string::npos; }));
    EXPECT_EQ(EventsIn(s->Received()), 6);
  }
  // What the page shows changes: sent at once, with the same frame count.
  PhoneReading r;
  r.status = qv::workshop::Status::Live;
  r.difference = {1, -2, 3, -4};
  server.SetReading(r);
  server.SetReading(r);  // unchanged: nothing more
  qv::session::SessionState scanning;
  scanning.state = qv::session::State::kScanning;
  server.OnState(scanning);
  for (auto& s : streams) {
    ASSERT_TRUE(
        s->WaitFor([](const std::string& r) { return r.find("\"n\":5,\"active\":true") != std::string::npos; }));
    EXPECT_EQ(EventsIn(s->Received()), 8);
    EXPECT_NE(s->Received().find("\"d\":[1,-2,3,-4]"), std::string::npos);
  }
  // Signs of life between frames.
  ASSERT_TRUE(streams[0]->WaitFor([](const std::string& r) { return EventsIn(r, "alive") >= 1; }, 5000));
  // Whatever a phone sends on its stream goes nowhere, and the stream goes on.
  streams[1]->Send("POST / HTTP/1.1\r\n\r\nSET PORT");
  server.OnFrame(MaximaFrame());
  ASSERT_TRUE(streams[1]->WaitFor([](const std::string& r) { return r.find("\"n\":6,") != std::string::npos; }));
  streams[2]->Close();
  ASSERT_TRUE(WaitFor([&] { return server.Phones() == 2; }));
  EXPECT_EQ(phones.takeLast().at(0).toInt(), 2);
}

TEST_F(PhoneServerTest, SwitchingOffClosesEveryStreamAtOnce) {
  std::vector<std::unique_ptr<LoopbackClient>> streams;
  for (int i = 0; i < 5; ++i) {
    streams.push_back(std::make_unique<LoopbackClient>(port));
    streams.back()->Send(Get("/events", Cookie()));
    ASSERT_TRUE(streams.back()->WaitFor([](const std::string& r) { return EventsIn(r) == 1; }));
  }
  LoopbackClient pending(port);  // a head not yet sent
  ASSERT_TRUE(WaitFor([&] { return server.Connections() == 6; }));
  QSignalSpy phones(&server, &qv::phone::PhoneServer::PhonesChanged);
  server.Stop();
  EXPECT_EQ(server.Phones(), 0);
  EXPECT_EQ(server.Connections(), 0);
  ASSERT_EQ(phones.count(), 1);
  EXPECT_EQ(phones.at(0).at(0).toInt(), 0);
  for (auto& s : streams) EXPECT_TRUE(s->WaitClosed(2000));
  EXPECT_TRUE(pending.WaitClosed(2000));
  LoopbackClient after(port);
  EXPECT_FALSE(after.Connected());  // nobody listens any more
}

TEST_F(PhoneServerTest, DisconnectAllClosesTheStreamsAndForgetsEveryPhone) {
  LoopbackClient stream(port);
  stream.Send(Get("/events", Cookie()));
  ASSERT_TRUE(stream.WaitFor([](const std::string& r) { return EventsIn(r) == 1; }));
  const std::string old = Cookie();
  server.DisconnectAll();
  EXPECT_EQ(server.Phones(), 0);
  EXPECT_TRUE(stream.WaitClosed(2000));
  EXPECT_EQ(StatusOf(Ask(Get("/events", old))), 403);
  EXPECT_EQ(Pair(token), "");  // the token before it pairs no more either
  const std::string fresh = Pair(Token());
  ASSERT_FALSE(fresh.empty());
  EXPECT_EQ(StatusOf(Ask(Get("/app.css", "Cookie: qv=" + fresh + "\r\n"))), 200);
}

TEST(PhoneAddressOfMachine, AGivenAddressMustBeOneOfThisMachines) {
  QString error;
  const auto loopback = qv::phone::PhoneAddress(QStringLiteral("127.0.0.1"), qv::Language::German, &error);
  ASSERT_TRUE(loopback);
  EXPECT_EQ(*loopback, QHostAddress(QHostAddress::LocalHost));
  // 203.0.113.0/24 is reserved for documentation: no machine has it.
  for (const char* foreign : {"203.0.113.7", "0.0.0.0", "::", "not an address"}) {
    error.clear();
    EXPECT_FALSE(qv::phone::PhoneAddress(QString::fromLatin1(foreign), qv::Language::German, &error)) << foreign;
    EXPECT_TRUE(error.contains(QStringLiteral("keine Adresse dieses Rechners"))) << error.toStdString();
  }
  error.clear();
  EXPECT_FALSE(qv::phone::PhoneAddress(QStringLiteral("203.0.113.7"), qv::Language::English, &error));
  EXPECT_TRUE(error.contains(QStringLiteral("is not an address of this computer")));
  // The default choice is never an unspecified address (what it is depends on the machine).
  if (const auto chosen = qv::phone::PhoneAddress(QString(), qv::Language::German, &error))
    EXPECT_FALSE(qv::phone::IsUnspecified(chosen->toString().toStdString()));
  else
    EXPECT_FALSE(error.isEmpty());
}

TEST(PhoneAddressOfMachine, TheRouteTableIsReadFromItsFile) {
  qvtest::ScratchDir dir;
  const std::string table = "Iface\tDestination\tGateway\nwlan0\t00000000\t0101A8C0\n";
  qvtest::WriteFile(dir / "route", table);
  EXPECT_EQ(qv::phone::ReadRouteTable(QString::fromStdString((dir / "route").string())), table);
  EXPECT_EQ(qv::phone::ReadRouteTable(QString::fromStdString((dir / "missing").string())), "");
}
