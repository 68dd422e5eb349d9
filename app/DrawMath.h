#pragma once
// Integer helpers shared by the canvas and the displays: truncation toward
// zero without undefined behaviour, and a walk over the distinct values of
// Trunc(i * s) that stays fast however large the count a user types in.
#include <cmath>
#include <cstdint>
#include <limits>

namespace qv {

// Truncation toward zero. Values beyond the 64-bit range saturate, NaN gives 0,
// so no input can make the conversion undefined.
[[nodiscard]] inline std::int64_t Trunc(double value) noexcept {
  if (std::isnan(value)) return 0;
  constexpr double kLimit = 9.2233720368547748e18;  // 2^63
  if (value >= kLimit) return std::numeric_limits<std::int64_t>::max();
  if (value <= -kLimit) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(value);
}

// Coordinates handed to the canvas are kept within +-2^30: far outside any
// bitmap, yet small enough that no sum or difference of two of them overflows.
inline constexpr std::int64_t kCoordLimit = std::int64_t{1} << 30;

[[nodiscard]] constexpr int ClampCoord(std::int64_t value) noexcept {
  return static_cast<int>(value < -kCoordLimit ? -kCoordLimit : value > kCoordLimit ? kCoordLimit : value);
}

// Calls fn(Trunc(i * s)) for i = first .. last (s * i in double, as a plain
// loop would compute it), skipping a value equal to the one before it. The
// sequence is monotonic, so the set of values is the plain loop's, in order;
// the cost is bounded by the number of distinct values, not by the count.
// Indices start at 0 or above (negative ones are skipped).
template <class Fn>
void ForEachDistinctTrunc(double s, std::int64_t first, std::int64_t last, Fn&& fn) {
  if (first < 0) first = 0;
  if (first > last || !std::isfinite(s)) return;
  if (s == 0.0) {
    fn(std::int64_t{0});
    return;
  }
  const double a = std::fabs(s);
  const std::int64_t sign = s > 0 ? 1 : -1;  // fl(i * -a) == -fl(i * a)
  auto value = [a](std::int64_t i) { return Trunc(static_cast<double>(i) * a); };
  std::int64_t i = first;
  while (i <= last) {
    const std::int64_t v = value(i);
    fn(sign * v);
    // First index after i whose value exceeds v: estimate, then correct.
    const double estimate = std::ceil((static_cast<double>(v) + 1.0) / a);
    std::int64_t j = last + 1;
    if (estimate < static_cast<double>(last) + 1.0) j = static_cast<std::int64_t>(estimate);
    if (j <= i) j = i + 1;
    while (j > i + 1 && value(j - 1) > v) --j;
    while (j <= last && value(j) <= v) ++j;
    i = j;
  }
}

}  // namespace qv
