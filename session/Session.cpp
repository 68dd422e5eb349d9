#include "Session.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "Measurement.h"

namespace qv::session {
namespace {

double SteadySeconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

Session::Session(Clock clock) : clock_(clock ? std::move(clock) : Clock(SteadySeconds)) {}

template <typename F>
void Session::Each(F&& call) {
  ++notifying_;
  // Index by index: a subscriber may join (it is called from the next
  // notification on) or leave (its slot is cleared) while we go.
  const std::size_t n = subscribers_.size();
  for (std::size_t i = 0; i < n; ++i)
    if (Subscriber* s = subscribers_[i]) call(*s);
  if (--notifying_ == 0) std::erase(subscribers_, nullptr);
}

void Session::Subscribe(Subscriber& s) {
  if (std::find(subscribers_.begin(), subscribers_.end(), &s) != subscribers_.end()) return;
  subscribers_.push_back(&s);
  s.OnState(state_);
}

void Session::Unsubscribe(Subscriber& s) {
  const auto it = std::find(subscribers_.begin(), subscribers_.end(), &s);
  if (it == subscribers_.end()) return;
  if (notifying_ > 0)
    *it = nullptr;
  else
    subscribers_.erase(it);
}

std::size_t Session::Subscribers() const {
  return static_cast<std::size_t>(
      std::count_if(subscribers_.begin(), subscribers_.end(), [](const Subscriber* s) { return s != nullptr; }));
}

void Session::SetState(SessionState next) {
  if (next == state_) return;
  if (next.source != state_.source) restart_ = true;
  state_ = std::move(next);
  Each([this](Subscriber& s) { s.OnState(state_); });
}

void Session::ScanStarted(const std::string& port) {
  if (state_.Replay()) return;  // a replay keeps the port closed; it never runs beside one
  SetState({State::kScanning, {SourceKind::kPort, port}, 1.0});
}

void Session::DeviceWaiting(bool waiting) {
  if (state_.source.kind != SourceKind::kPort) return;
  if (waiting && state_.state == State::kScanning) {
    SessionState next = state_;
    next.state = State::kWaiting;
    SetState(next);
  } else if (!waiting && state_.state == State::kWaiting) {
    SessionState next = state_;
    next.state = State::kScanning;
    restart_ = true;  // the readings before the pulled cable are old
    SetState(next);
  }
}

void Session::ScanStopped() {
  if (state_.source.kind != SourceKind::kPort || state_.state == State::kIdle) return;
  SessionState next = state_;
  next.state = State::kIdle;
  SetState(next);
}

void Session::ReplayStarted(const std::string& file, Clock position) {
  replay_position_ = std::move(position);
  restart_ = true;
  // A new file under the same name is a new source all the same.
  SetState({State::kIdle, {}, 1.0});
  SetState({State::kReplaying, {SourceKind::kReplay, file}, 1.0});
}

void Session::ReplayPaused(bool paused) {
  if (!state_.Replay()) return;
  SessionState next = state_;
  next.state = paused ? State::kPaused : State::kReplaying;
  SetState(next);
}

void Session::ReplaySpeed(double speed) {
  if (!state_.Replay()) return;
  SessionState next = state_;
  next.speed = speed;
  SetState(next);
}

void Session::ReplaySeeked(const TMeasurement& state, std::uint64_t maximaFrames) {
  if (!state_.Replay()) return;
  // The state at the new position is shown at once, also while paused.
  restart_ = true;
  Frame f;
  f.seconds = Now();
  f.hasMaxima = maximaFrames > 0;
  f.maximaFrames = maximaFrames;
  f.state = &state;
  Publish(f);
}

void Session::ReplayEnded() {
  if (!state_.Replay()) return;
  replay_position_ = nullptr;
  SessionState next = state_;
  next.state = State::kIdle;
  SetState(next);
}

void Session::FrameDecoded(const TMeasurement& state, const FrameReport& report, std::uint64_t maximaFrames) {
  FrameDecoded(state, report, maximaFrames, clock_());
}

void Session::FrameDecoded(const TMeasurement& state, const FrameReport& report, std::uint64_t maximaFrames,
                           double seconds) {
  Frame f;
  f.seconds = seconds;
  f.hasMaxima = report.maxima == RecordOutcome::kDecoded;
  f.maximaFrames = maximaFrames;
  f.channel = report.channel == RecordOutcome::kDecoded ? report.channel_number : -1;
  f.state = &state;
  Publish(f);
}

void Session::Publish(Frame& f) {
  f.sequence = last_.sequence + 1;
  f.maxima = f.state->MAXIMA;
  f.restart = restart_;
  restart_ = false;
  last_ = f;
  last_.state = nullptr;
  Each([&f](Subscriber& s) { s.OnFrame(f); });
}

void Session::BytesRead(std::string_view bytes) {
  if (subscribers_.empty()) return;
  Each([bytes](Subscriber& s) { s.OnBytes(bytes); });
}

double Session::Now() const {
  if (state_.Replay() && replay_position_) return replay_position_();
  return clock_();
}

}  // namespace qv::session
