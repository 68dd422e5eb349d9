#include "ToneGenerator.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace qv::tone {

ToneGenerator::ToneGenerator(int sampleRate, const ToneTable& table)
    : guidance_(table),
      synth_(sampleRate, table),
      block_(static_cast<std::size_t>(std::lround(kBlockSeconds * synth_.SampleRate()))) {}

void ToneGenerator::Render(float* out, std::size_t n) {
  while (n > 0) {
    if (in_block_ == 0) synth_.Apply(guidance_.Update(Time(), input_));
    const std::size_t k = std::min(n, block_ - in_block_);
    synth_.Render(out, k);
    out += k;
    n -= k;
    rendered_ += k;
    in_block_ = (in_block_ + k) % block_;
  }
}

void ToneGenerator::Render(std::int16_t* out, std::size_t n) {
  float buf[256];
  while (n > 0) {
    const std::size_t k = std::min(n, std::size(buf));
    Render(buf, k);
    for (std::size_t i = 0; i < k; ++i) out[i] = static_cast<std::int16_t>(std::lround(buf[i] * 32767.0f));
    out += k;
    n -= k;
  }
}

}  // namespace qv::tone
