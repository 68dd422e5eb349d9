#pragma once
// Measuring rendered or recorded sound: pitch from zero crossings, the
// envelope in short windows, the stretches where something sounds.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace qvtest {

struct Stretch {
  double start = 0;  // seconds
  double end = 0;
  [[nodiscard]] double Length() const { return end - start; }
};

// The frequency of samples [from, to) from their rising zero crossings,
// interpolated between samples; 0 when fewer than two crossings.
inline double PitchHz(const std::vector<float>& s, int rate, std::size_t from, std::size_t to) {
  to = std::min(to, s.size());
  double first = -1, last = -1;
  int crossings = 0;
  for (std::size_t i = from + 1; i < to; ++i) {
    if (s[i - 1] < 0 && s[i] >= 0) {
      const double t = static_cast<double>(i - 1) + s[i - 1] / (s[i - 1] - s[i]);
      if (first < 0) first = t;
      last = t;
      ++crossings;
    }
  }
  if (crossings < 2) return 0;
  return (crossings - 1) * rate / (last - first);
}

inline double Rms(const std::vector<float>& s, std::size_t from, std::size_t to) {
  to = std::min(to, s.size());
  if (to <= from) return 0;
  double sum = 0;
  for (std::size_t i = from; i < to; ++i) sum += static_cast<double>(s[i]) * s[i];
  return std::sqrt(sum / static_cast<double>(to - from));
}

inline double Peak(const std::vector<float>& s, std::size_t from = 0, std::size_t to = SIZE_MAX) {
  to = std::min(to, s.size());
  float p = 0;
  for (std::size_t i = from; i < to; ++i) p = std::max(p, std::fabs(s[i]));
  return p;
}

// The stretches where the peak of 2 ms windows exceeds `threshold`.
inline std::vector<Stretch> Sounding(const std::vector<float>& s, int rate, double threshold) {
  const std::size_t w = static_cast<std::size_t>(rate / 500);
  std::vector<Stretch> out;
  bool on = false;
  for (std::size_t i = 0; i < s.size(); i += w) {
    const bool loud = Peak(s, i, i + w) > threshold;
    const double t = static_cast<double>(i) / rate;
    if (loud && !on) out.push_back({t, t});
    if (loud) out.back().end = static_cast<double>(std::min(i + w, s.size())) / rate;
    on = loud;
  }
  return out;
}

inline std::size_t At(double seconds, int rate) { return static_cast<std::size_t>(std::lround(seconds * rate)); }

// The pitch inside a stretch, its ramps left out.
inline double PitchIn(const std::vector<float>& s, int rate, const Stretch& st) {
  return PitchHz(s, rate, At(st.start + 0.008, rate), At(st.end - 0.008, rate));
}

}  // namespace qvtest
