#pragma once
// Waiting in tests: the event loop runs until a condition holds, with a
// generous limit so that a slow or loaded machine never fails a test, and a
// broken one never hangs it.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <functional>
#include <thread>

namespace qvtest {

inline constexpr int kWaitTickMs = 5;

// Processes events until pred holds or timeoutMs has passed; whether it holds.
// Between events it sleeps in the event loop rather than spinning, so that a
// waiting test leaves the processor to the program it waits on (and to a
// build beside it); a tick wakes it every few milliseconds to look at pred
// again, for what changes without an event of this thread (a file, a child
// process). Without an application object there is no event loop to sleep
// in, and it sleeps between looks instead.
inline bool WaitFor(const std::function<bool()>& pred, int timeoutMs = 10000) {
  QElapsedTimer t;
  t.start();
  const bool loop = QCoreApplication::instance() != nullptr;
  QTimer tick;
  if (loop) tick.start(kWaitTickMs);
  while (!pred()) {
    if (t.elapsed() > timeoutMs) return false;
    if (loop)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    else
      std::this_thread::sleep_for(std::chrono::milliseconds(kWaitTickMs));
  }
  return true;
}

}  // namespace qvtest
