#pragma once
// The receive handler and frame decoder of the main window: bytes from the port
// are gathered in INSTRING, cut into frames at "End_Data" and decoded into the
// measurement state. Plain C++, no widgets: the window forwards its port event
// and lights its receive lamp from the frame signal.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "ComPortIO.h"
#include "Measurement.h"

namespace qv {

// The accumulator is emptied when it holds more than this after an event.
inline constexpr std::size_t kMaxInString = 2000;

// What became of one record kind in the last decoded frame.
enum class RecordOutcome {
  kAbsent,       // the frame has no such tag
  kDecoded,      // the record went into the state
  kOutOfBounds,  // its fields lie past the end of INBUFFER: dropped
  kBadChannel,   // channel byte above 3: the rest of the frame ignored
  kBadCount,     // count text is no number: the rest of the frame ignored
};

// A summary of the last AUSGABE, for tools and diagnostics; the state itself
// is what the displays read.
struct FrameReport {
  RecordOutcome maxima = RecordOutcome::kAbsent;
  RecordOutcome channel = RecordOutcome::kAbsent;
  int channel_number = -1;  // the channel byte when the channel tag was found in bounds
  int sample_count = 0;     // the announced count when decoded
  int samples_stored = 0;   // samples actually written (the count clamped to the arrays)
};

}  // namespace qv

class TFrameDecoder {
 public:
  using FrameSignal = std::function<void()>;  // called at the start of every AUSGABE

  TFrameDecoder(TMeasurement& state, TComPortIO& port, FrameSignal onFrame = {});

  // One OnRxChar event: reads Count bytes, cuts at most one frame, then applies
  // the 2000-byte rule. A read error propagates before anything is changed.
  // INSTRING belongs to this handler: other code may empty or replace it, but
  // must not rewrite bytes in place while keeping its length.
  void ComPort1RxChar(int Count);

  // Decodes state.DATASTRING into the state.
  void AUSGABE();

  // Called at the end of every AUSGABE, once the state holds the frame, with
  // what became of its records; unset, decoding is as without it. Listeners
  // (the session) take what they need and return: nothing here waits on them.
  std::function<void(const qv::FrameReport&)> OnDecoded;

  TMeasurement& State();
  const qv::FrameReport& LastFrame() const { return last_; }
  // How many frames AUSGABE has decoded since construction.
  std::uint64_t Frames() const { return frames_; }
  // How many of them carried a maxima record that went into MAXIMA; a view that
  // looks at MAXIMA now and then sees new maxima when this count has changed.
  std::uint64_t MaximaFrames() const { return maxima_frames_; }

 private:
  void ForgetSearches();
  void DecodeMaxima(std::size_t p);
  void HistoryStep();
  void DecodeChannel(std::size_t p);

  TMeasurement& state_;
  TComPortIO& port_;
  FrameSignal on_frame_;
  // Reused by every event: the port fills it in place, so reading does not
  // allocate once it has grown to the largest event.
  std::string read_buffer_;

  // How far INSTRING has been searched without success, so that an event only
  // looks at the bytes it brought (plus a tag's length minus one before them).
  // A change of INSTRING's length by other code is noticed and starts afresh.
  std::size_t tag_from_ = 0;    // no "MUXA" starts before this index
  bool tag_seen_ = false;       // "MUXA" occurs in INSTRING
  std::size_t end_from_ = 0;    // no "End_Data" starts before this index
  std::size_t known_size_ = 0;  // INSTRING's length when the above was last true
  qv::FrameReport last_;
  std::uint64_t frames_ = 0;
  std::uint64_t maxima_frames_ = 0;
};
