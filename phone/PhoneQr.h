#pragma once
// The QR code of the phone page's address as a matrix of modules, with the
// light border (quiet zone) a camera needs; the workshop view draws it.
#include <optional>
#include <string_view>
#include <vector>

namespace qv::phone {

struct QrMatrix {
  int version = 0;         // 1..40
  int quietZone = 0;       // light modules on each side
  int size = 0;            // modules per side, border included: 17 + 4 * version + 2 * quietZone
  std::vector<bool> dark;  // row by row, size * size
  [[nodiscard]] bool At(int x, int y) const {
    return x >= 0 && y >= 0 && x < size && y < size && dark[static_cast<std::size_t>(y * size + x)];
  }
};

// The code of `text` (error correction M or better where it fits the same
// size); nullopt when the text does not fit any version.
[[nodiscard]] std::optional<QrMatrix> MakeQr(std::string_view text, int quietZone = 4);

}  // namespace qv::phone
