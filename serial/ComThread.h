#pragma once
// The event thread of an open port: sleeps in one poll() on the device and a
// wake-up eventfd, takes received bytes into the port's input queue, and hands
// each batch of line events to the port by its SyncMethod.
//
// smThreadSync: the batch goes into a single slot guarded by a mutex and a
// condition variable; a queued call drains it on the port's (user-interface)
// thread and the event thread waits until it was handled or closing began.
// Closing never waits for the user-interface thread, so Close can join at once.
// smWindowSync: one queued call per event, the thread does not wait; an event
// whose call is still queued is not queued again (the call reads the current
// state when it runs). smNone: the actions run on this thread.
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "CPortTypes.h"
#include "ComThreadOwner.h"
#include "UniqueFd.h"

namespace qv {
class InputQueue;
class LineErrorWatch;
class ModemWatch;
}  // namespace qv

// The order in which the events of one batch are acted on.
inline constexpr std::array<TComEvent, 10> kEventActionOrder = {evError, evRxChar, evTxEmpty, evBreak, evRing,
                                                                evCTS,   evDSR,    evRxFlag,  evRLSD,  evRx80Full};

class TComThread {
 public:
  // Received bytes go into input, line errors are sampled into errors; both
  // and the owner outlive the thread.
  TComThread(TComThreadOwner& owner, qv::InputQueue& input, qv::LineErrorWatch& errors, int fd, TComEvents events,
             TSyncMethod sync, std::uint64_t session);
  ~TComThread();
  TComThread(const TComThread&) = delete;
  TComThread& operator=(const TComThread&) = delete;

  // Starts the thread; throws std::system_error when it cannot.
  void Start();
  // Room in the input queue again, or a setting it uses changed.
  void Wake();
  // A write completed: report evTxEmpty once the output queue has drained.
  void NotifyWritten();
  // Events found by a helper (modem lines).
  void NotifyEvents(std::uint32_t mask);
  // Stops the loop and releases a hand-over it waits in; does not block.
  void BeginClosing();
  // Waits for the thread's end (after BeginClosing).
  void Join();
  // False once the loop has ended (stop, hang-up or a failed hand-over).
  [[nodiscard]] bool Running() const { return running_.load(); }
  [[nodiscard]] bool OnThisThread() const { return std::this_thread::get_id() == thread_id_.load(); }
  void SetLineRate(std::uint32_t bitsPerSecond) { line_rate_.store(bitsPerSecond ? bitsPerSecond : 9600); }

  // smThreadSync, on the user-interface thread.
  [[nodiscard]] std::optional<TComEvents> TakeBatch();
  void CompleteBatch(bool ok);
  // smWindowSync, on the user-interface thread: the queued call for event runs.
  void ActionStarted(TComEvent event);

 private:
  void Run();
  [[nodiscard]] bool HandOver(TComEvents events);
  [[nodiscard]] bool HandOverThreadSync(TComEvents events);
  void HandOverWindowSync(TComEvents events);
  [[nodiscard]] int TxWaitMs(int rechecks);

  TComThreadOwner& owner_;
  qv::InputQueue& input_;
  qv::LineErrorWatch& errors_;
  const int fd_;
  const TComEvents events_;
  const TSyncMethod sync_;
  const std::uint64_t session_;
  qv::UniqueFd wake_fd_;
  std::thread thread_;
  // The running thread's id, set by the thread itself before it does anything
  // else: thread_ is assigned only after the thread has started, so the thread
  // cannot read it.
  std::atomic<std::thread::id> thread_id_{};
  std::atomic<bool> stop_{false};
  std::atomic<bool> running_{false};
  std::atomic<bool> tx_pending_{false};
  std::atomic<std::uint32_t> pending_mask_{0};
  std::atomic<std::uint32_t> line_rate_{9600};
  std::atomic<std::uint16_t> outstanding_{0};
  std::unique_ptr<qv::ModemWatch> modem_watch_;

  std::mutex mutex_;
  std::condition_variable cv_;
  std::optional<TComEvents> slot_;
  std::uint64_t posted_ = 0;
  std::uint64_t taken_ = 0;
  std::uint64_t handled_ = 0;
  bool closing_ = false;
  bool failed_ = false;
};
