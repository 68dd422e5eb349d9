#include "LinePacer.h"

#include <algorithm>
#include <stdexcept>

namespace qv::sim {

LinePacer::LinePacer(std::int64_t bytes_per_second) : rate_(bytes_per_second) {
  if (rate_ <= 0) throw std::invalid_argument("line rate must be positive");
}

Nanos LinePacer::WireTime(std::size_t bytes) const {
  const auto b = static_cast<std::int64_t>(bytes);
  return (b * kNanosPerSecond + rate_ - 1) / rate_;
}

void LinePacer::Ready(Nanos now) { line_free_ = std::max(line_free_, now); }

Nanos LinePacer::DueTime(std::size_t bytes, Nanos extra) const { return line_free_ + WireTime(bytes) + extra; }

void LinePacer::Delivered(Nanos now) { line_free_ = std::max(line_free_, now); }

}  // namespace qv::sim
