// Many open/close cycles while bytes stream in, with Close falling in every
// phase of a hand-over: no deadlock, and no descriptor or thread left behind.
#include <gtest/gtest.h>
#include <poll.h>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>

#include "CPort.h"
#include "support/PtyPair.h"

namespace {

using qvtest::PtyPair;
using qvtest::WaitFor;

// Fails the whole run instead of letting a deadlock hang CI.
class Watchdog {
 public:
  explicit Watchdog(std::chrono::seconds limit)
      : thread_([this, limit] {
          std::unique_lock lock(mutex_);
          if (!cv_.wait_for(lock, limit, [this] { return done_; })) {
            std::fprintf(stderr, "watchdog: no progress within the limit, probably a deadlock\n");
            std::abort();
          }
        }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    cv_.notify_all();
    thread_.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool done_ = false;
  std::thread thread_;
};

// Streams bytes into the master side until stopped.
class Streamer {
 public:
  explicit Streamer(int master)
      : thread_([this, master] {
          const std::string chunk(256, 's');
          while (!stop_.load()) {
            if (::write(master, chunk.data(), chunk.size()) > 0) continue;
            pollfd p{master, POLLOUT, 0};
            const int r = poll(&p, 1, 10);
            // With the slave closed the master reports a hang-up at once.
            if (r > 0 && (p.revents & POLLHUP)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
          }
        }) {}
  ~Streamer() {
    stop_.store(true);
    thread_.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

TEST(PortStress, ThousandCyclesOfCloseDuringHandOver) {
  constexpr int kCycles = 1000;
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  const int fdsBefore = qvtest::CountFds();
  const int threadsBefore = qvtest::CountThreads();
  int completed = 0;
  {
    Watchdog dog(std::chrono::seconds(120));
    Streamer streamer(pty.master());
    auto port = std::make_unique<TComPort>();
    int phase = 0;
    int handled = 0;
    port->OnRxChar = [&](TCustomComPort* p, int count) {
      ++handled;
      std::string s;
      p->ReadString(s, count);
      if (phase == 0) {
        p->Close();  // from inside the hand-over
      } else if (phase == 1 && handled == 1) {
        QTimer::singleShot(0, p, [p] { p->Close(); });  // while the thread waits for the next one
      }
    };
    for (int i = 0; i < kCycles; ++i) {
      phase = i % 4;
      handled = 0;
      std::unique_ptr<PtyPair> fresh;
      if (phase == 3) {
        fresh = std::make_unique<PtyPair>();
        ASSERT_TRUE(fresh->ok());
        port->SetPort(fresh->slave());
      } else {
        port->SetPort(pty.slave());
      }
      port->Open();
      if (phase == 2) {
        // The thread has taken bytes and is about to hand them over, or waits
        // in the hand-over already; no event is processed before Close.
        while (port->InputCount() == 0) std::this_thread::yield();
        port->Close();
      } else if (phase == 3) {
        ASSERT_TRUE(fresh->Write("burst"));
        fresh->CloseMaster();  // the device vanishes first
        QCoreApplication::processEvents();
        port->Close();
      }
      ASSERT_TRUE(WaitFor([&] { return !port->Connected(); })) << "cycle " << i;
      ++completed;
    }
    QCoreApplication::processEvents();  // stale queued hand-overs find nothing to do
    port.reset();
  }
  EXPECT_EQ(completed, kCycles);
  EXPECT_EQ(qvtest::CountFds(), fdsBefore);
  EXPECT_EQ(qvtest::CountThreads(), threadsBefore);
}

}  // namespace
