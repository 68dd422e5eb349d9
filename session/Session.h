#pragma once
// The one live path of the program: the session knows the current source of
// readings (the serial port, a replay) and its state, and publishes every
// decoded frame, time-stamped, to whoever subscribes: the workshop model, the
// recorder, and every capability beside them. It never reaches into a window:
// the program's assembly tells it what the port, the receive handler and the
// replay do. Everything runs on the user-interface thread.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Decoder.h"
#include "SessionTypes.h"

namespace qv::session {

// What a subscriber hears. Calls come in order, on the user-interface thread,
// and must return quickly: views redraw on their own tick, not in here.
class Subscriber {
 public:
  virtual ~Subscriber() = default;
  // Each decoded frame.
  virtual void OnFrame(const Frame& frame) { (void)frame; }
  // The state or the source changed; also once when subscribing.
  virtual void OnState(const SessionState& state) { (void)state; }
  // The bytes the receive handler read from the port, exactly as read.
  virtual void OnBytes(std::string_view bytes) { (void)bytes; }
};

class Session {
 public:
  using Clock = std::function<double()>;  // seconds, monotonic

  // `clock` is the port's time (a steady clock unless a test gives one).
  explicit Session(Clock clock = {});

  // The subscriber must outlive its subscription; subscribing twice is once.
  // Either may be called from inside a notification.
  void Subscribe(Subscriber& s);
  void Unsubscribe(Subscriber& s);

  // ---- what the assembly reports --------------------------------------------
  // A scan started on `port` (the port is open and "b" was sent).
  void ScanStarted(const std::string& port);
  // The device vanished and is waited for (true), or is back (false).
  void DeviceWaiting(bool waiting);
  // The scan ended (Stop, or the port closed for good).
  void ScanStopped();
  // A replay of `file` started; `position` gives its position in seconds.
  void ReplayStarted(const std::string& file, Clock position);
  void ReplayPaused(bool paused);
  void ReplaySpeed(double speed);
  // The replay jumped; the next frame (or the state shown now) is a restart.
  void ReplaySeeked(const TMeasurement& state, std::uint64_t maximaFrames);
  void ReplayEnded();
  // The receive handler decoded a frame into `state`. For a replay, `seconds`
  // is the frame's time in the recording; for the port it is left out.
  void FrameDecoded(const TMeasurement& state, const FrameReport& report, std::uint64_t maximaFrames);
  void FrameDecoded(const TMeasurement& state, const FrameReport& report, std::uint64_t maximaFrames, double seconds);
  void BytesRead(std::string_view bytes);

  // ---- what anyone may read ---------------------------------------------------
  [[nodiscard]] const SessionState& Current() const { return state_; }
  // The source's time now: the port's clock, or the replay's position.
  [[nodiscard]] double Now() const;
  // The last frame published (its `state` pointer cleared), sequence 0 before any.
  [[nodiscard]] const Frame& Last() const { return last_; }
  [[nodiscard]] std::size_t Subscribers() const;

 private:
  void SetState(SessionState next);
  void Publish(Frame& frame);
  template <typename F>
  void Each(F&& call);

  Clock clock_;
  Clock replay_position_;
  SessionState state_;
  Frame last_;
  bool restart_ = true;
  std::vector<Subscriber*> subscribers_;  // null where one left during a notification
  int notifying_ = 0;
};

}  // namespace qv::session
