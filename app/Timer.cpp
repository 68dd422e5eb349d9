#include "Timer.h"

namespace qv {

TTimer::TTimer(int intervalMs) : interval_(intervalMs) {
  // Coarse timers may fire 5 % early or late; the lamp's hold time and the
  // redraw rate are meant as given.
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
    if (OnTimer) OnTimer();
  });
}

void TTimer::SetEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  Update();
}

void TTimer::SetInterval(int ms) {
  if (ms == interval_) return;
  interval_ = ms;
  if (timer_.isActive()) timer_.stop();
  Update();
}

void TTimer::Update() {
  if (enabled_ && interval_ > 0) {
    if (!timer_.isActive()) timer_.start(interval_);
  } else {
    timer_.stop();
  }
}

}  // namespace qv
