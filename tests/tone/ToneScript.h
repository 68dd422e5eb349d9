#pragma once
// A scripted sequence of shown differences rendered by the tone generator.
#include <vector>

#include "ToneGenerator.h"

namespace qvtest {

struct Step {
  double at;  // seconds of audio
  qv::tone::GuidanceInput input;
};

inline qv::tone::GuidanceInput Shown(double difference, double tolerance = 10, bool inSync = false) {
  return {difference, tolerance, inSync, true};
}

// `seconds` of audio, each step taking effect at the first block at or after its time.
inline std::vector<float> RenderScript(const std::vector<Step>& script, double seconds, double volume = 0.5,
                                       std::size_t chunk = 0) {
  qv::tone::ToneGenerator gen;
  gen.SetVolume(volume);
  if (chunk == 0) chunk = gen.BlockSamples();
  const auto total = static_cast<std::size_t>(seconds * gen.SampleRate());
  std::vector<float> out(total);
  std::size_t done = 0, next = 0;
  while (done < total) {
    while (next < script.size() && script[next].at <= gen.Time() + 1e-9) gen.SetInput(script[next++].input);
    const std::size_t k = std::min(chunk, total - done);
    gen.Render(out.data() + done, k);
    done += k;
  }
  return out;
}

}  // namespace qvtest
