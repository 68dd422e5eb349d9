#pragma once
// Waiting in tests: the event loop runs until a condition holds, with a
// generous limit so that a slow or loaded machine never fails a test, and a
// broken one never hangs it.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

namespace qvtest {

// Processes events until pred holds or timeoutMs has passed; whether it holds.
inline bool WaitFor(const std::function<bool()>& pred, int timeoutMs = 10000) {
  QElapsedTimer t;
  t.start();
  while (!pred()) {
    if (t.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

}  // namespace qvtest
