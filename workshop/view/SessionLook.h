#pragma once
// The workshop view's subscription to the session: it keeps the newest
// maxima, their count, the source's state and its jumps, and gives the view
// what it reads on each of its ticks. Frames only update these copies; the
// view draws on its own tick.
#include <array>
#include <cstdint>

#include "Session.h"
#include "TWorkshopView.h"

namespace qv::workshop {

class SessionLook : public session::Subscriber {
 public:
  // Subscribes to `session`, which must outlive this.
  explicit SessionLook(session::Session& session);
  ~SessionLook() override;
  SessionLook(const SessionLook&) = delete;
  SessionLook& operator=(const SessionLook&) = delete;

  // The view's inputs, bound to this object: it must outlive the view.
  [[nodiscard]] WorkshopInputs Inputs();

  void OnFrame(const session::Frame& frame) override;
  void OnState(const session::SessionState& state) override;

  [[nodiscard]] std::uint64_t Restarts() const { return restarts_; }
  [[nodiscard]] ReplayShown Replay() const;

 private:
  session::Session& session_;
  session::SessionState state_;
  std::array<std::int32_t, 4> maxima_{};
  std::uint64_t maxima_frames_ = 0;
  std::uint64_t restarts_ = 0;
  double frame_seconds_ = 0;  // the newest frame's time
};

}  // namespace qv::workshop
