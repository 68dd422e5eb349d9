#pragma once
// The secret a phone needs to see the readings: 128 bits from the system's
// random source, written as 32 lower-case hex digits, made afresh each time
// the phone view is switched on, and compared in constant time.
#include <optional>
#include <string>
#include <string_view>

namespace qv::phone {

inline constexpr std::size_t kTokenBytes = 16;

// A fresh token from getrandom(2); nullopt when the system gives no random bytes.
[[nodiscard]] std::optional<std::string> MakeToken();
// The 16 bytes as hex, for MakeToken and its tests.
[[nodiscard]] std::string HexToken(const unsigned char (&bytes)[kTokenBytes]);

// Whether a equals b, taking the same time for every a of b's length: the
// position of a first wrong digit does not show. The length is no secret.
[[nodiscard]] bool ConstantTimeEquals(std::string_view a, std::string_view b);

}  // namespace qv::phone
