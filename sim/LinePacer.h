#pragma once
// Keeps the simulated line at 57600 baud 8N1. A UART hands the far side a
// byte only after its ten bit times have passed on the wire, so a chunk of k
// bytes may be delivered no earlier than k byte times after the line became
// free. Delivering each chunk that way, the bytes of any run of deliveries
// never exceed the line rate over the time between them.
#include <cstddef>
#include <cstdint>

#include "SimTypes.h"

namespace qv::sim {

class LinePacer {
 public:
  explicit LinePacer(std::int64_t bytes_per_second = kLineBytesPerSecond);

  // The time k bytes take on the wire, rounded up to the next nanosecond.
  [[nodiscard]] Nanos WireTime(std::size_t bytes) const;

  // New bytes became ready at `now`: a line idle until then starts sending now.
  void Ready(Nanos now);

  // The earliest time a chunk of `bytes` may be delivered, `extra` later still.
  [[nodiscard]] Nanos DueTime(std::size_t bytes, Nanos extra = 0) const;

  // A chunk was delivered at `now` (never earlier than its due time).
  void Delivered(Nanos now);

  [[nodiscard]] std::int64_t Rate() const { return rate_; }

 private:
  std::int64_t rate_;
  Nanos line_free_ = 0;
};

}  // namespace qv::sim
