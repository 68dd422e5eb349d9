#pragma once
// The guidance tone from input to PCM: the decisions are taken at the start
// of every block of 5 ms of audio, at the time the samples rendered so far
// stand for, so a scripted input always gives the same samples.
#include <cstddef>
#include <cstdint>

#include "Guidance.h"
#include "Synth.h"

namespace qv::tone {

class ToneGenerator {
 public:
  static constexpr double kBlockSeconds = 0.005;

  explicit ToneGenerator(int sampleRate = 48000, const ToneTable& table = kToneTable);

  void SetInput(const GuidanceInput& input) { input_ = input; }
  void SetVolume(double volume) { synth_.SetVolume(volume); }

  // The next `n` samples; float in -1..1, or signed 16 bit.
  void Render(float* out, std::size_t n);
  void Render(std::int16_t* out, std::size_t n);

  // Seconds of audio rendered so far.
  [[nodiscard]] double Time() const { return static_cast<double>(rendered_) / synth_.SampleRate(); }
  [[nodiscard]] ToneMode Mode() const { return guidance_.Mode(); }
  [[nodiscard]] int SampleRate() const { return synth_.SampleRate(); }
  [[nodiscard]] std::size_t BlockSamples() const { return block_; }

 private:
  Guidance guidance_;
  Synth synth_;
  GuidanceInput input_;
  std::size_t block_;
  std::size_t in_block_ = 0;  // samples rendered of the current block
  std::uint64_t rendered_ = 0;
};

}  // namespace qv::tone
