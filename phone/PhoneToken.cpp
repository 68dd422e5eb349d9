#include "PhoneToken.h"

#include <sys/random.h>

#include <cerrno>

namespace qv::phone {

std::string HexToken(const unsigned char (&bytes)[kTokenBytes]) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(2 * kTokenBytes);
  for (unsigned char b : bytes) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 0xf];
  }
  return hex;
}

std::optional<std::string> MakeToken() {
  unsigned char bytes[kTokenBytes];
  std::size_t got = 0;
  while (got < kTokenBytes) {
    const ssize_t n = getrandom(bytes + got, kTokenBytes - got, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return std::nullopt;
    got += static_cast<std::size_t>(n);
  }
  return HexToken(bytes);
}

bool ConstantTimeEquals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  // volatile keeps the compiler from ending the loop at the first difference.
  volatile unsigned char diff = 0;
  for (std::size_t i = 0; i < a.size(); ++i) diff = diff | static_cast<unsigned char>(a[i] ^ b[i]);
  return diff == 0;
}

}  // namespace qv::phone
