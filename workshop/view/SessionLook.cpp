#include "SessionLook.h"

namespace qv::workshop {

SessionLook::SessionLook(session::Session& session) : session_(session) { session_.Subscribe(*this); }

SessionLook::~SessionLook() { session_.Unsubscribe(*this); }

void SessionLook::OnFrame(const session::Frame& frame) {
  // A scan's first frame is no jump: its maxima may be those of the last
  // scan (the decoder keeps them), which the model knows to pass over. A
  // replay's start and every move of it are jumps.
  if (frame.restart && state_.Replay()) ++restarts_;
  maxima_ = frame.maxima;
  maxima_frames_ = frame.maximaFrames;
  frame_seconds_ = frame.seconds;
}

void SessionLook::OnState(const session::SessionState& state) {
  const bool newReplay = state.Replay() && !(state_.Replay() && state_.source == state.source);
  state_ = state;
  if (newReplay) {
    // The replay starts on a fresh measurement state, counted from nothing.
    ++restarts_;
    maxima_ = {};
    maxima_frames_ = 0;
    frame_seconds_ = 0;
  }
}

ReplayShown SessionLook::Replay() const {
  ReplayShown r;
  r.on = state_.Replay();
  if (!r.on) return r;
  r.paused = state_.state == session::State::kPaused;
  r.file = state_.source.name;
  r.seconds = frame_seconds_;
  return r;
}

WorkshopInputs SessionLook::Inputs() {
  WorkshopInputs in;
  // While a pulled device is waited for its port is closed: no scan is shown,
  // only the notice of the wait.
  in.active = [this] { return state_.Active() && state_.state != session::State::kWaiting; };
  in.maximaFrames = [this] { return maxima_frames_; };
  in.maxima = [this] { return maxima_; };
  in.now = [this] { return session_.Now(); };
  in.restarts = [this] { return restarts_; };
  in.replay = [this] { return Replay(); };
  return in;
}

}  // namespace qv::workshop
