// Two properties of the workshop model's plain C++ half on arbitrary bytes:
//  - settings text: whatever parses cleanly is written and parses back to the
//    same settings;
//  - the model: the bytes as a stream of frames (time step, four maxima of any
//    32-bit value, port state, and now and then a settings change, a zero, a
//    hold or a reset) never give a value that is not finite, nor a band or
//    channel count out of range.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "NumberFormat.h"
#include "WorkshopModel.h"
#include "WorkshopSettings.h"

namespace {

using namespace qv::workshop;

void Check(bool ok) {
  if (!ok) std::abort();
}

void CheckReading(const Reading& r) {
  Check(std::isfinite(r.reference) && std::isfinite(r.tolerance) && std::isfinite(r.fullScale));
  Check(r.channelCount == 2 || r.channelCount == 4);
  Check(r.worstChannel >= -1 && r.worstChannel < r.channelCount);
  for (const Channel& c : r.channels) {
    Check(std::isfinite(c.absolute) && std::isfinite(c.difference) && std::isfinite(c.scatter) && c.scatter >= 0);
    Check(FormatValue(c.difference, r.unit, {.withSign = true}).size() < 24);
  }
}

class Bytes {
 public:
  Bytes(const std::uint8_t* d, std::size_t n) : d_(d), n_(n) {}
  bool Empty() const { return at_ >= n_; }
  std::uint8_t U8() { return at_ < n_ ? d_[at_++] : 0; }
  std::int32_t I32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | U8();
    std::int32_t s;
    std::memcpy(&s, &v, sizeof s);
    return s;
  }

 private:
  const std::uint8_t* d_;
  std::size_t n_;
  std::size_t at_ = 0;
};

void RunModel(const std::uint8_t* data, std::size_t size) {
  Bytes in(data, size);
  WorkshopModel model;
  double t = 0;
  std::uint64_t frames = 0;
  while (!in.Empty()) {
    const std::uint8_t op = in.U8();
    switch (op >> 5) {
      case 0: {
        ModelSettings s;
        s.unit = static_cast<Unit>(in.U8() % 6);
        s.reference = static_cast<ReferenceKind>(in.U8() % 3);
        s.referenceCylinder = in.U8() % 8 - 2;
        s.pairMode = op & 1;
        s.toleranceMbar = in.U8() - 50;
        s.dampingSeconds = in.U8() / 32.0;
        s.zoom = in.U8();
        model.SetSettings(s);
        break;
      }
      case 1: (void)model.AdjustZero(); break;
      case 2: model.SetHold(op & 1); break;
      case 3: model.ResetDamping(); break;
      default: {
        t += (op & 31) * 0.013;
        std::array<std::int32_t, 4> m{};
        const bool extreme = op & 32;
        for (auto& v : m) v = extreme ? in.I32() : 300 + in.U8();
        const bool open = (op & 7) != 7;
        if (!(op & 16)) ++frames;
        model.Update(t, m, frames, open);
      }
    }
    CheckReading(model.Current());
  }
}

void RoundTripSettings(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const ParsedSettings p = ParseSettings(text);
  if (!p.problem.empty()) {
    Check(p.settings == WorkshopSettings{});
    return;
  }
  const ParsedSettings again = ParseSettings(SettingsText(p.settings));
  Check(again.problem.empty());
  // Port names that cannot be written are left out; everything else comes back.
  WorkshopSettings expected = p.settings;
  std::erase_if(expected.zeroOffsets, [](const auto& e) { return e.first.find_first_of("\r\n") != std::string::npos; });
  Check(again.settings == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  RoundTripSettings(data, size);
  RunModel(data, size);
  return 0;
}
