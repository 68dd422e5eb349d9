#pragma once
// Drives the program's receive handler with recorded bytes: one receive event
// per record, through the capture port, which hands over exactly those bytes.
// The handler cuts at most one frame per event, so at the end of a recording
// Drain() calls it with no new bytes until no further frame is cut.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "CapturePort.h"
#include "Decoder.h"
#include "Measurement.h"

namespace qv::rec {

class RecordFeeder {
 public:
  explicit RecordFeeder(TMeasurement& state, TFrameDecoder::FrameSignal on_frame = {})
      : decoder_(state, port_, std::move(on_frame)) {}

  // One receive event with `bytes`; true when it decoded a frame.
  bool Feed(std::string_view bytes) {
    port_.Feed(bytes);
    const std::uint64_t before = decoder_.Frames();
    decoder_.ComPort1RxChar(static_cast<int>(bytes.size()));
    return decoder_.Frames() != before;
  }

  // One receive event with no new bytes; true when it cut a waiting frame.
  bool DrainOne() { return Feed({}); }

  // Calls `on_frame` after every frame cut from what is still waiting.
  template <typename F>
  void Drain(F&& on_frame) {
    while (DrainOne()) on_frame();
  }

  // Hears every frame decoded, once the state holds it.
  void SetOnDecoded(std::function<void(const qv::FrameReport&)> hook) { decoder_.OnDecoded = std::move(hook); }

  [[nodiscard]] const TFrameDecoder& Decoder() const { return decoder_; }
  [[nodiscard]] std::uint64_t Frames() const { return decoder_.Frames(); }

 private:
  qv::CapturePort port_;
  TFrameDecoder decoder_;
};

}  // namespace qv::rec
