// Line events and the data path on a pseudo-terminal: received bytes announced
// on the user-interface thread, reading and writing, the three hand-over
// methods, failing handlers and a device that goes away.
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

#include "CPort.h"
#include "support/PtyPair.h"

namespace {

using qvtest::PtyPair;
using qvtest::WaitFor;

class PortEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.ok());
    port.SetPort(pty.slave());
    port.SetBaudRate(br57600);
    threads = qvtest::CountThreads();
    fds = qvtest::CountFds();
  }
  // Reads in the handler, as the main window does, and keeps what came.
  void ReadInHandler() {
    port.OnRxChar = [this](TCustomComPort* sender, int count) {
      ++rx_events;
      on_ui = on_ui && QThread::currentThread() == QCoreApplication::instance()->thread();
      std::string s;
      const int n = sender->ReadString(s, count);
      counts_match = counts_match && n == count && static_cast<int>(s.size()) == n;
      received += s;
    };
  }
  void TearDown() override {
    qvtest::ClearHandlers(port);
    port.Close();
  }
  PtyPair pty;
  TComPort port;
  int threads = 0;
  int fds = 0;
  int rx_events = 0;
  bool on_ui = true;
  bool counts_match = true;
  std::string received;
};

TEST_F(PortEvents, BytesAreAnnouncedOnTheUserInterfaceThreadWithTheirCount) {
  ReadInHandler();
  port.Open();
  ASSERT_TRUE(pty.Write("hello"));
  ASSERT_TRUE(WaitFor([&] { return received.size() >= 5; }));
  EXPECT_EQ(received, "hello");
  EXPECT_TRUE(on_ui);
  EXPECT_TRUE(counts_match);
  ASSERT_TRUE(
      pty.Write(std::string("\x00\xff"
                            "bin",
                            5)));
  ASSERT_TRUE(WaitFor([&] { return received.size() >= 10; }));
  EXPECT_EQ(received, std::string("hello\x00\xff"
                                  "bin",
                                  10));
}

TEST_F(PortEvents, ReadStringCounts) {
  port.SetEvents({});
  port.Open();
  ASSERT_TRUE(pty.Write("abc"));
  ASSERT_TRUE(WaitFor([&] { return port.InputCount() == 3; }));
  std::string s = "junk";
  EXPECT_EQ(port.ReadString(s, 0), 0);
  EXPECT_EQ(s, "");
  s = "junk";
  EXPECT_EQ(port.ReadString(s, -5), 0);
  EXPECT_EQ(s, "");
  EXPECT_EQ(port.InputCount(), 3);
  EXPECT_EQ(port.ReadString(s, 2), 2);
  EXPECT_EQ(s, "ab");
  EXPECT_EQ(port.ReadString(s, 100), 1);
  EXPECT_EQ(s, "c");
  EXPECT_EQ(port.ReadString(s, 100), 0);
  EXPECT_EQ(s, "");
  EXPECT_EQ(port.WriteString(""), 0);
  EXPECT_EQ(port.WriteString("b"), 1);
  EXPECT_TRUE(WaitFor([&] { return pty.ReadAvailable() == "b"; }));
}

TEST_F(PortEvents, ClosedPortFailsReadsWritesAndQueries) {
  port.Open();
  port.Close();
  const auto expectCode = [](auto&& call, int code) {
    try {
      call();
      ADD_FAILURE() << "no error " << code;
    } catch (const EComPort& e) {
      EXPECT_EQ(e.Code(), code);
      EXPECT_EQ(e.WinCode(), EBADF);
    }
  };
  std::string s;
  expectCode([&] { port.WriteString("a"); }, 2);
  expectCode([&] { port.ReadString(s, 1); }, 3);
  expectCode([&] { (void)port.InputCount(); }, 10);
  expectCode([&] { (void)port.LineErrors(); }, 10);
  expectCode([&] { (void)port.LineSignals(); }, 11);
  EXPECT_EQ(port.ReadString(s, 0), 0);
  EXPECT_EQ(port.WriteString(""), 0);

  // The closed port's old descriptor now belongs to another device: the write
  // must not reach it.
  PtyPair other;
  TComPort second;
  second.SetPort(other.slave());
  second.Open();
  EXPECT_THROW(port.WriteString("stray"), EComPort);
  EXPECT_EQ(other.ReadAvailable(), "");
}

TEST_F(PortEvents, CloseDiscardsWaitingBytes) {
  int announced = 0;
  port.OnRxChar = [&](TCustomComPort*, int count) { announced = count; };
  port.Open();
  ASSERT_TRUE(pty.Write("old"));
  ASSERT_TRUE(WaitFor([&] { return announced == 3; }));
  port.Close();
  ReadInHandler();
  port.Open();
  ASSERT_TRUE(pty.Write("new"));
  ASSERT_TRUE(WaitFor([&] { return received.size() >= 3; }));
  EXPECT_EQ(received, "new");
}

TEST_F(PortEvents, BytesSentWhileThePortWasClosedAreNotAnnouncedAfterOpening) {
  // The pseudo-terminal keeps its input queue while its other side stays
  // open, as a driver that went on receiving does.
  port.Open();
  port.Close();
  ASSERT_TRUE(pty.Write("MUXA#Maxima stale End_Data"));
  ReadInHandler();
  port.Open();
  ASSERT_TRUE(pty.Write("new"));
  ASSERT_TRUE(WaitFor([&] { return received.size() >= 3; }));
  QCoreApplication::processEvents();
  EXPECT_EQ(received, "new");
}

TEST_F(PortEvents, FailedPurgeStillClosesThePortAndStopsItsThreadThenReports) {
  std::vector<std::string> journal;
  port.OnAfterClose = [&](TCustomComPort* p) { journal.push_back(p->Connected() ? "open" : "closed"); };
  port.Open();
  ASSERT_GT(qvtest::CountThreads(), threads);
  // The descriptor no longer refers to a terminal, so discarding its queues fails.
  int pipeFds[2];
  ASSERT_EQ(pipe2(pipeFds, O_CLOEXEC), 0);
  ASSERT_EQ(dup2(pipeFds[0], port.Handle()), port.Handle());
  try {
    port.Close();
    ADD_FAILURE() << "the failed purge was not reported";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.Code(), 5);
    EXPECT_EQ(e.WinCode(), ENOTTY);
    journal.push_back("reported");
  }
  EXPECT_EQ(journal, (std::vector<std::string>{"closed", "reported"}));
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(port.Handle(), -1);
  EXPECT_EQ(qvtest::CountThreads(), threads);
  close(pipeFds[0]);
  close(pipeFds[1]);
  EXPECT_EQ(qvtest::CountFds(), fds);
  port.Open();  // and it opens again as usual
  EXPECT_TRUE(port.Connected());
}

TEST_F(PortEvents, ReadingReusesTheCallersString) {
  port.SetEvents({});
  port.Open();
  std::string buffer;
  buffer.reserve(4096);
  const char* storage = buffer.data();
  for (int i = 0; i < 20; ++i) {
    const std::string chunk(64 + i * 50, static_cast<char>('a' + i));
    ASSERT_TRUE(pty.Write(chunk));
    ASSERT_TRUE(WaitFor([&] { return port.InputCount() == static_cast<int>(chunk.size()); }));
    ASSERT_EQ(port.ReadString(buffer, 4096), static_cast<int>(chunk.size()));
    EXPECT_EQ(buffer, chunk);
    EXPECT_EQ(buffer.data(), storage) << "read " << i << " replaced the string's storage";
  }
}

TEST_F(PortEvents, CommandWrittenJustBeforeCloseStillReachesTheDevice) {
  // The stop command goes out right before the port closes; closing must not
  // throw it away with the received bytes.
  ReadInHandler();
  for (int i = 0; i < 50; ++i) {
    port.Open();
    ASSERT_TRUE(pty.Write(std::string(300, 'x')));
    ASSERT_TRUE(WaitFor([&] { return received.size() >= 300; }));
    received.clear();
    ASSERT_TRUE(pty.Write(std::string(100, 'y')));
    ASSERT_EQ(port.WriteString("a"), 1);
    port.Close();
    std::string got;
    ASSERT_TRUE(WaitFor([&] { return (got += pty.ReadAvailable()).size() >= 1; })) << "cycle " << i;
    EXPECT_EQ(got, "a") << "cycle " << i;
  }
}

TEST_F(PortEvents, WriteTimesOutWhenTheDeviceTakesNothing) {
  TComTimeouts t;
  t.SetWriteTotalConstant(50);
  t.SetWriteTotalMultiplier(0);
  port.SetTimeouts(t);
  port.Open();
  try {
    port.WriteString(std::string(1 << 20, 'x'));
    FAIL();
  } catch (const EComPort& e) {
    EXPECT_EQ(e.Code(), 2);
    EXPECT_EQ(e.WinCode(), ETIMEDOUT);
  }
  EXPECT_TRUE(port.Connected());
  port.Close();
}

TEST_F(PortEvents, FullQueueHoldsBackWithoutLosingBytes) {
  port.Open();  // no handler: nobody reads until the queue is full
  std::string sent;
  for (int i = 0; i < 60000; ++i) sent.push_back(static_cast<char>('A' + i % 26));
  std::size_t written = 0;
  std::string got;
  ASSERT_TRUE(WaitFor([&] {
    const ssize_t n = ::write(pty.master(), sent.data() + written, std::min<std::size_t>(4096, sent.size() - written));
    if (n > 0) written += static_cast<std::size_t>(n);
    if (n < 0 && written < sent.size()) {
      // The far side is full: everything before it sits in the port's queue
      // or the kernel's; drain a little.
      std::string s;
      port.ReadString(s, 1000);
      got += s;
    }
    if (written == sent.size()) {
      std::string s;
      port.ReadString(s, 1 << 20);
      got += s;
    }
    return got.size() == sent.size();
  }));
  EXPECT_EQ(got, sent);
}

TEST_F(PortEvents, TxEmptyRxFlagAndRx80Full) {
  int txEmpty = 0, rxFlag = 0, rx80 = 0;
  port.OnTxEmpty = [&](TCustomComPort*) { ++txEmpty; };
  port.OnRxFlag = [&](TCustomComPort*) { ++rxFlag; };
  port.OnRx80Full = [&](TCustomComPort*) { ++rx80; };
  port.SetEventChar('\n');
  port.Buffer().SetInputSize(100);
  port.Open();
  EXPECT_EQ(port.WriteString("b"), 1);
  ASSERT_TRUE(WaitFor([&] { return txEmpty == 1; }));
  ASSERT_TRUE(pty.Write("abc"));
  ASSERT_TRUE(WaitFor([&] { return port.InputCount() == 3; }));
  EXPECT_EQ(rxFlag, 0);
  ASSERT_TRUE(pty.Write("d\ne"));
  ASSERT_TRUE(WaitFor([&] { return rxFlag == 1; }));
  EXPECT_EQ(rx80, 0);
  ASSERT_TRUE(pty.Write(std::string(80, 'z')));
  ASSERT_TRUE(WaitFor([&] { return rx80 == 1; }));
  EXPECT_EQ(port.InputCount(), 86);
}

TEST_F(PortEvents, DiscardNullAndParityMarking) {
  port.SetDiscardNull(true);
  port.Parity().SetCheck(true);
  ReadInHandler();
  port.Open();
  ASSERT_TRUE(
      pty.Write(std::string("a\x00"
                            "b\xff"
                            "c",
                            5)));
  ASSERT_TRUE(WaitFor([&] { return received.size() >= 4; }));
  EXPECT_EQ(received,
            "ab\xff"
            "c");
}

TEST_F(PortEvents, FailingHandlerStopsEventsSilentlyUntilReopened) {
  int reported = 0;
  port.SetErrorReporter([&](const std::exception&) { ++reported; });
  int calls = 0;
  port.OnRxChar = [&](TCustomComPort*, int) {
    ++calls;
    throw std::runtime_error("handler failed");
  };
  port.Open();
  ASSERT_TRUE(pty.Write("1"));
  ASSERT_TRUE(WaitFor([&] { return calls == 1; }));
  // The event thread ends; afterwards nothing can announce bytes any more.
  ASSERT_TRUE(WaitFor([&] { return qvtest::CountThreads() == threads; }));
  ASSERT_TRUE(pty.Write("23"));
  ASSERT_TRUE(WaitFor([&] { return port.InputCount() == 3; }));
  QCoreApplication::processEvents();
  EXPECT_EQ(calls, 1);
  std::string s;
  EXPECT_EQ(port.ReadString(s, 10), 3);
  EXPECT_EQ(s, "123");
  port.Close();
  EXPECT_EQ(reported, 0);
  port.OnRxChar = [&](TCustomComPort* p, int count) {
    ++calls;
    std::string r;
    p->ReadString(r, count);
  };
  port.Open();
  ASSERT_TRUE(pty.Write("4"));
  ASSERT_TRUE(WaitFor([&] { return calls == 2; }));
}

TEST_F(PortEvents, WindowSyncReportsHandlerErrorsAndGoesOn) {
  std::vector<std::string> reported;
  port.SetErrorReporter([&](const std::exception& e) { reported.push_back(e.what()); });
  port.SetSyncMethod(smWindowSync);
  int calls = 0;
  bool ui = true;
  port.OnRxChar = [&](TCustomComPort* p, int count) {
    ui = ui && QThread::currentThread() == QCoreApplication::instance()->thread();
    std::string s;
    p->ReadString(s, count);
    if (++calls == 1) throw std::runtime_error("first");
  };
  port.Open();
  ASSERT_TRUE(pty.Write("a"));
  ASSERT_TRUE(WaitFor([&] { return calls == 1; }));
  ASSERT_TRUE(pty.Write("b"));
  ASSERT_TRUE(WaitFor([&] { return calls == 2; }));
  EXPECT_TRUE(ui);
  EXPECT_EQ(reported, std::vector<std::string>{"first"});
  port.Close();
}

TEST_F(PortEvents, NoSyncRunsHandlersOnTheEventThreadAndMayCloseFromThere) {
  port.SetSyncMethod(smNone);
  std::atomic<bool> offUi{false};
  std::atomic<int> calls{0};
  port.OnRxChar = [&](TCustomComPort* p, int count) {
    offUi = QThread::currentThread() != QCoreApplication::instance()->thread();
    std::string s;
    p->ReadString(s, count);
    if (s.find('q') != std::string::npos) p->Close();
    ++calls;
  };
  port.Open();
  ASSERT_TRUE(pty.Write("a"));
  ASSERT_TRUE(WaitFor([&] { return calls.load() >= 1; }));
  EXPECT_TRUE(offUi.load());
  ASSERT_TRUE(pty.Write("q"));
  ASSERT_TRUE(WaitFor([&] { return !port.Connected(); }));
  EXPECT_EQ(qvtest::CountThreads(), threads);
  EXPECT_EQ(qvtest::CountFds(), fds);
}

TEST_F(PortEvents, HandlerClosingThePortEndsTheBatch) {
  // The event character makes one read bring evRxChar and evRxFlag in the
  // same batch; evRxFlag is acted on after evRxChar.
  port.SetEventChar('x');
  int rxChar = 0;
  int rxFlag = 0;
  port.OnRxFlag = [&](TCustomComPort*) { ++rxFlag; };
  port.OnRxChar = [&](TCustomComPort* p, int) {
    ++rxChar;
    std::string s;
    p->ReadString(s, 100);
  };
  port.Open();
  ASSERT_TRUE(pty.Write("x"));
  ASSERT_TRUE(WaitFor([&] { return rxFlag == 1; }));  // without closing, both are acted on
  EXPECT_EQ(rxChar, 1);
  port.Close();

  rxChar = rxFlag = 0;
  port.OnRxChar = [&](TCustomComPort* p, int) {
    ++rxChar;
    p->Close();
  };
  port.Open();
  ASSERT_TRUE(pty.Write("x"));
  ASSERT_TRUE(WaitFor([&] { return !port.Connected(); }));
  QCoreApplication::processEvents();
  EXPECT_EQ(rxChar, 1);
  EXPECT_EQ(rxFlag, 0) << "the rest of the batch ran after the handler closed the port";
  EXPECT_EQ(qvtest::CountThreads(), threads);
  EXPECT_EQ(qvtest::CountFds(), fds);
  port.Open();
  EXPECT_TRUE(port.Connected());
}

TEST_F(PortEvents, VanishingDeviceEndsTheThreadAndStillCloses) {
  std::vector<TComErrors> errors;
  port.OnError = [&](TCustomComPort*, TComErrors e) { errors.push_back(e); };
  port.Open();
  ASSERT_GT(qvtest::CountThreads(), threads);
  pty.CloseMaster();  // the far side hangs up, as an unplugged adapter does
  ASSERT_TRUE(WaitFor([&] { return !errors.empty() && qvtest::CountThreads() == threads; }));
  QCoreApplication::processEvents();
  EXPECT_EQ(errors, std::vector<TComErrors>{TComErrors{errIO}});
  try {
    port.WriteString("a");
    FAIL();
  } catch (const EComPort& e) {
    EXPECT_EQ(e.Code(), 2);
    EXPECT_EQ(e.WinCode(), EIO);
  }
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(port.InputCount(), 0);
  EXPECT_NO_THROW(port.Close());
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(qvtest::CountFds(), fds - 1);  // the master is gone too
}

}  // namespace
