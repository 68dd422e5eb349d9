#include "PhoneQr.h"

#include <qrcodegen/qrcodegen.hpp>

#include <stdexcept>
#include <string>

namespace qv::phone {

std::optional<QrMatrix> MakeQr(std::string_view text, int quietZone) {
  if (quietZone < 0) quietZone = 0;
  const std::vector<std::uint8_t> bytes(text.begin(), text.end());
  std::optional<qrcodegen::QrCode> code;
  try {
    // Byte mode: the token is lower-case hex, which the alphanumeric mode lacks.
    code = qrcodegen::QrCode::encodeSegments({qrcodegen::QrSegment::makeBytes(bytes)}, qrcodegen::QrCode::Ecc::MEDIUM);
  } catch (const qrcodegen::data_too_long&) {
    return std::nullopt;
  } catch (const std::length_error&) {
    return std::nullopt;
  }
  QrMatrix m;
  m.version = code->getVersion();
  m.quietZone = quietZone;
  const int inner = code->getSize();
  m.size = inner + 2 * quietZone;
  m.dark.assign(static_cast<std::size_t>(m.size) * static_cast<std::size_t>(m.size), false);
  for (int y = 0; y < inner; ++y)
    for (int x = 0; x < inner; ++x)
      m.dark[static_cast<std::size_t>((y + quietZone) * m.size + x + quietZone)] = code->getModule(x, y);
  return m;
}

}  // namespace qv::phone
