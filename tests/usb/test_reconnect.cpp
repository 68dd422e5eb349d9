// The reconnect controller against pseudo-terminals behind a by-id link in a
// temporary /dev: the link is re-pointed to a new pseudo-terminal as udev
// re-points it when the adapter comes back.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "ReconnectController.h"
#include "support/FakeUsbTree.h"
#include "support/PtyPair.h"

namespace {

namespace fs = std::filesystem;
using namespace qv::usb;
using namespace std::chrono_literals;

// The owner's thread: calls posted by the watcher wait here until the test runs them.
class PostQueue {
 public:
  void Post(std::function<void()> f) {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(f));
    cv_.notify_all();
  }
  // Runs the next call, waiting for one up to the limit; whether one ran.
  bool RunNext(std::chrono::milliseconds limit = 10s) {
    std::unique_lock lock(mutex_);
    if (!cv_.wait_for(lock, limit, [&] { return !calls_.empty(); })) return false;
    auto f = std::move(calls_.front());
    calls_.pop_front();
    lock.unlock();
    f();
    return true;
  }
  std::size_t Size() {
    std::lock_guard lock(mutex_);
    return calls_.size();
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  std::deque<std::function<void()>> calls_;
};

// Waits for a condition set by another thread, with a generous limit.
bool Eventually(const std::function<bool()>& pred) {
  for (int i = 0; i < 1000 && !pred(); ++i) std::this_thread::sleep_for(10ms);
  return pred();
}

class ReconnectTest : public ::testing::Test {
 protected:
  static constexpr const char* kName = "usb-Quorvel_Synchrontester_QV0001-if00-port0";
  qvtest::ScratchDir dir;
  qvtest::FakeUsbTree tree{dir.path()};
  PostQueue queue;
  int fd = -1;  // the "port"
  std::vector<std::string> reopened;
  std::vector<std::string> states;
  int releases = 0;
  bool failNextReopen = false;

  TReconnectController::THooks Hooks() {
    TReconnectController::THooks h;
    h.release = [this] {
      ++releases;
      if (fd >= 0) close(fd);
      fd = -1;
    };
    h.reopen = [this](const std::string& path) {
      reopened.push_back(path);
      if (std::exchange(failNextReopen, false)) return false;
      fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
      return fd >= 0 && write(fd, "b", 1) == 1;
    };
    h.post = [this](std::function<void()> f) { queue.Post(std::move(f)); };
    h.changed = [this](TLinkState, const std::string& text) { states.push_back(text); };
    return h;
  }
  TReconnectController controller{Hooks(), tree.Roots()};

  // The device before and after the cable was pulled.
  qvtest::PtyPair first;
  qvtest::PtyPair second;

  void SetUp() override {
    ASSERT_TRUE(first.ok());
    ASSERT_TRUE(second.ok());
  }
  void TearDown() override {
    if (fd >= 0) close(fd);
  }
  std::string Link() const { return tree.ById(kName).string(); }
  // udev's way: a new link renamed over the old one.
  void PointLinkAt(const std::string& name, const std::string& target) {
    fs::create_directories(tree.ById("").parent_path());
    const fs::path tmp = tree.ById(".tmp-" + name);
    fs::create_symlink(target, tmp);
    fs::rename(tmp, tree.ById(name));
  }
  // A scan on the first device behind the link, which then vanishes.
  void ScanAndUnplug() {
    PointLinkAt(kName, first.slave());
    fd = open(Link().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    controller.ScanStarted(Link());
    ASSERT_EQ(controller.State(), TLinkState::kConnected);
    fs::remove(tree.ById(kName));
    first.CloseMaster();
    controller.DeviceLost();
  }
};

TEST_F(ReconnectTest, ADeviceBackUnderTheSameByIdNameIsReopenedAndSentB) {
  ScanAndUnplug();
  EXPECT_EQ(releases, 1);
  EXPECT_EQ(controller.State(), TLinkState::kWaiting);
  EXPECT_EQ(fd, -1);
  EXPECT_EQ(states.back(), "Verbindung verloren — warte auf das Gerät");
  EXPECT_EQ(queue.Size(), 0u);

  PointLinkAt(kName, second.slave());
  ASSERT_TRUE(queue.RunNext());
  ASSERT_EQ(reopened, std::vector<std::string>{Link()});  // under the name the scan used
  EXPECT_EQ(controller.State(), TLinkState::kConnected);
  EXPECT_EQ(states.back(), "Verbunden");
  std::string sent;
  ASSERT_TRUE(Eventually([&] { return (sent += second.ReadAvailable()) == "b"; })) << sent;
  EXPECT_EQ(controller.WatcherLooks(), 0u);  // the watcher is gone
}

TEST_F(ReconnectTest, ADeviceWithAnotherSerialNumberIsNotReconnected) {
  ScanAndUnplug();
  const unsigned looked = controller.WatcherLooks();
  PointLinkAt("usb-Quorvel_Synchrontester_QV0002-if00-port0", second.slave());
  // The watcher has seen the new link and looked, and found nothing.
  ASSERT_TRUE(Eventually([&] { return controller.WatcherLooks() > looked; }));
  EXPECT_EQ(queue.Size(), 0u);
  EXPECT_TRUE(reopened.empty());
  EXPECT_EQ(controller.State(), TLinkState::kWaiting);
}

TEST_F(ReconnectTest, StopScanWhileWaitingEndsTheWait) {
  ScanAndUnplug();
  ASSERT_EQ(controller.State(), TLinkState::kWaiting);
  EXPECT_TRUE(controller.ScanStopped());
  EXPECT_EQ(controller.State(), TLinkState::kIdle);
  EXPECT_EQ(controller.WatcherLooks(), 0u);
  EXPECT_EQ(states.back(), "");
  // Coming back now opens nothing.
  PointLinkAt(kName, second.slave());
  EXPECT_FALSE(queue.RunNext(200ms));
  EXPECT_TRUE(reopened.empty());
  // Stop Scan without waiting says so.
  EXPECT_FALSE(controller.ScanStopped());
}

TEST_F(ReconnectTest, AFindThatArrivesAfterStopScanIsDropped) {
  ScanAndUnplug();
  PointLinkAt(kName, second.slave());
  ASSERT_TRUE(Eventually([&] { return queue.Size() == 1; }));
  controller.ScanStopped();
  ASSERT_TRUE(queue.RunNext());
  EXPECT_TRUE(reopened.empty());
  EXPECT_EQ(controller.State(), TLinkState::kIdle);
}

TEST_F(ReconnectTest, ADeviceThatCannotBeOpenedYetIsTriedAgain) {
  ScanAndUnplug();
  failNextReopen = true;
  PointLinkAt(kName, second.slave());
  ASSERT_TRUE(queue.RunNext());
  EXPECT_EQ(controller.State(), TLinkState::kWaiting);
  // Nothing changes in the folders: the second try comes after the pause.
  ASSERT_TRUE(queue.RunNext());
  EXPECT_EQ(reopened.size(), 2u);
  EXPECT_EQ(controller.State(), TLinkState::kConnected);
}

TEST_F(ReconnectTest, ADeviceWithoutIdentityIsOnlyReportedLost) {
  controller.ScanStarted(first.slave());  // a bare pseudo-terminal: nothing stable about it
  first.CloseMaster();
  controller.DeviceLost();
  EXPECT_EQ(controller.State(), TLinkState::kLost);
  EXPECT_EQ(states.back(), "Verbindung verloren");
  EXPECT_EQ(releases, 0);  // the port is left as it is without reconnecting
  EXPECT_EQ(controller.WatcherLooks(), 0u);
}

TEST_F(ReconnectTest, LossOutsideAScanIsIgnored) {
  controller.DeviceLost();
  EXPECT_EQ(controller.State(), TLinkState::kIdle);
  EXPECT_TRUE(states.empty());
}

TEST_F(ReconnectTest, TheWatcherFindsADeviceWhoseFoldersAppearOnlyLater) {
  // The last adapter gone takes dev/serial with it; the watcher picks the
  // folders up as they are made again.
  ScanAndUnplug();
  fs::remove_all(dir / "dev" / "serial");
  const unsigned looked = controller.WatcherLooks();
  fs::create_directories(dir / "dev" / "serial");
  ASSERT_TRUE(Eventually([&] { return controller.WatcherLooks() > looked; }));
  PointLinkAt(kName, second.slave());
  ASSERT_TRUE(queue.RunNext());
  EXPECT_EQ(controller.State(), TLinkState::kConnected);
}

}  // namespace
