// The phone view's server under phones that misbehave: slow heads, floods of
// requests and connections, and a stream nobody reads.
#include <QElapsedTimer>
#include <QTimer>
#include <memory>
#include <thread>
#include <vector>

#include "ServerFixture.h"
#include "support/QtWait.h"

using namespace qvtest;

TEST_F(PhoneServerTest, AHeadDribbledAByteASecondIsCut) {
  const std::string request = Get("/app.css", Cookie());
  LoopbackClient slow(port);
  QElapsedTimer t;
  t.start();
  std::size_t sent = 0;
  // Far too slow to finish (the head has over 60 bytes); the deadline of 5 s ends it.
  while (sent < request.size() && !slow.Closed() && t.elapsed() < 20000) {
    if (!slow.Send(request.substr(sent, 1))) break;
    ++sent;
    slow.WaitFor([](const std::string&) { return false; }, 1000);
  }
  EXPECT_TRUE(slow.WaitClosed(3000));
  EXPECT_LT(sent, request.size());
  EXPECT_GE(sent, 4u);  // it was not refused at once
  EXPECT_EQ(slow.Received(), "");
  EXPECT_TRUE(WaitFor([&] { return server.Connections() == 0; }));
}

TEST_F(PhoneServerTest, AThousandRequestsInARow) {
  const std::string request = Get("/app.css", Cookie());
  int ok = 0;
  for (int i = 0; i < 1000; ++i) ok += StatusOf(Ask(request)) == 200;
  EXPECT_EQ(ok, 1000);
  // Nothing is left behind.
  EXPECT_TRUE(WaitFor([&] { return server.Connections() == 0; }));
}

namespace {

// Heads that take their time (a minute): the eight held places stay taken
// until the phones let go, whatever the machine's load.
qv::phone::ServerLimits Patient() {
  qv::phone::ServerLimits l;
  l.client.requestMs = 60000;
  return l;
}

struct PhoneServerCapTest : PhoneServerTest {
  PhoneServerCapTest() : PhoneServerTest(Patient()) {}
};

}  // namespace

TEST_F(PhoneServerCapTest, FiftyConnectionsHeldOpenMeetTheCap) {
  // The redraw tick of a view beside the server.
  int ticks = 0;
  QTimer tick;
  tick.setTimerType(Qt::PreciseTimer);
  QObject::connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
  tick.start(150);
  QElapsedTimer t;
  t.start();

  ASSERT_TRUE(WaitFor([&] { return server.Connections() == 0; }));  // the pairing's connection has gone
  std::vector<std::unique_ptr<LoopbackClient>> held;
  for (int i = 0; i < 50; ++i) held.push_back(std::make_unique<LoopbackClient>(port));
  // Refused: answered (a head came) or cut (closed without a word, when too
  // many refusals are still closing).
  const auto refused = [](LoopbackClient& c) {
    c.Pump();
    return c.Received().find("\r\n\r\n") != std::string::npos || c.Closed();
  };
  const auto countRefused = [&] {
    int n = 0;
    for (auto& c : held) n += refused(*c);
    EXPECT_LE(server.Clients(), 8);
    return n;
  };
  ASSERT_TRUE(WaitFor([&] { return countRefused() >= 42; }));
  WaitFor([] { return false; }, 300);  // the eight held ones stay unanswered
  EXPECT_EQ(countRefused(), 42);
  int answered = 0, cut = 0;
  for (auto& c : held) {
    if (!refused(*c)) continue;
    if (c->Received().empty()) {
      ++cut;
      continue;
    }
    EXPECT_EQ(StatusOf(c->Received()), 503);
    EXPECT_NE(c->Received().find("Zu viele Telefone"), std::string::npos);
    ++answered;
  }
  EXPECT_EQ(answered + cut, 42);
  EXPECT_GE(answered, qv::phone::ServerLimits{}.maxClosing);
  EXPECT_EQ(server.Clients(), 8);
  EXPECT_EQ(server.Phones(), 0);
  // The refused phones go; a ninth, while the eight hold their places, is refused as well...
  for (auto& c : held)
    if (refused(*c)) c->Close();
  ASSERT_TRUE(WaitFor([&] { return server.Connections() == 8; }));
  EXPECT_EQ(StatusOf(Ask(Get("/app.css", Cookie()))), 503);
  // ...until they let go; then a phone is served again.
  held.clear();
  ASSERT_TRUE(WaitFor([&] { return server.Clients() == 0; }));
  EXPECT_EQ(StatusOf(Ask(Get("/app.css", Cookie()))), 200);
  // The event loop stayed free for the tick all along (its timing is a benchmark's).
  const qint64 expected = t.elapsed() / 150;
  EXPECT_GE(ticks, expected / 2) << ticks << " of " << expected;
}

TEST_F(PhoneServerTest, AStreamNobodyReadsIsDroppedNotBuffered) {
  LoopbackClient reader(port);
  reader.Send(Get("/events", Cookie()));
  ASSERT_TRUE(reader.WaitFor([](const std::string& r) { return EventsIn(r) == 1; }));
  LoopbackClient stuck(port, 4096);  // a small window, and never read
  stuck.Send(Get("/events", Cookie()));
  ASSERT_TRUE(WaitFor([&] { return server.Phones() == 2; }));

  qv::phone::PhoneReading r;
  r.status = qv::workshop::Status::Live;
  qint64 largest = 0;
  int sent = 0;
  for (; sent < 20000 && server.Phones() == 2; ++sent) {
    r.difference[0] = sent;  // every event differs
    server.SetReading(r);
    server.OnFrame(MaximaFrame());
    largest = std::max(largest, server.LargestBacklog());
    if (sent % 10 == 0) {
      QCoreApplication::processEvents();  // the writes go out
      reader.Pump();                      // and the reading phone keeps up
    }
  }
  EXPECT_EQ(server.Phones(), 1) << "after " << sent << " events";
  EXPECT_LE(largest, qv::phone::ServerLimits{}.client.maxBacklog);
  EXPECT_TRUE(stuck.WaitClosed());
  // The phone that reads saw every frame up to the last.
  const std::string last = "\"n\":" + std::to_string(sent) + ",";
  EXPECT_TRUE(reader.WaitFor([&](const std::string& got) { return got.find(last) != std::string::npos; }));
  EXPECT_FALSE(reader.Closed());
}
