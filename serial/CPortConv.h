#pragma once
// Conversions between the port's sets and the Win32 words they stand for: the
// event mask, the line-error word and the modem-status word.
#include <cstdint>

#include "CPortTypes.h"

// Event-mask bits (EV_*).
inline constexpr std::uint32_t EV_RXCHAR = 0x0001;
inline constexpr std::uint32_t EV_RXFLAG = 0x0002;
inline constexpr std::uint32_t EV_TXEMPTY = 0x0004;
inline constexpr std::uint32_t EV_CTS = 0x0008;
inline constexpr std::uint32_t EV_DSR = 0x0010;
inline constexpr std::uint32_t EV_RLSD = 0x0020;
inline constexpr std::uint32_t EV_BREAK = 0x0040;
inline constexpr std::uint32_t EV_ERR = 0x0080;
inline constexpr std::uint32_t EV_RING = 0x0100;
inline constexpr std::uint32_t EV_RX80FULL = 0x0400;

// Line-error flags (CE_*).
inline constexpr std::uint32_t CE_RXOVER = 0x0001;
inline constexpr std::uint32_t CE_OVERRUN = 0x0002;
inline constexpr std::uint32_t CE_RXPARITY = 0x0004;
inline constexpr std::uint32_t CE_FRAME = 0x0008;
inline constexpr std::uint32_t CE_BREAK = 0x0010;
inline constexpr std::uint32_t CE_TXFULL = 0x0100;
inline constexpr std::uint32_t CE_IOE = 0x0400;
inline constexpr std::uint32_t CE_MODE = 0x8000;

// Modem-status flags (MS_*).
inline constexpr std::uint32_t MS_CTS_ON = 0x0010;
inline constexpr std::uint32_t MS_DSR_ON = 0x0020;
inline constexpr std::uint32_t MS_RING_ON = 0x0040;
inline constexpr std::uint32_t MS_RLSD_ON = 0x0080;

[[nodiscard]] std::uint32_t EventsToMask(TComEvents events);
// Bits without a member are ignored.
[[nodiscard]] TComEvents MaskToEvents(std::uint32_t mask);
// The parity flag counts only when parity checking is on.
[[nodiscard]] TComErrors ErrorsFromWord(std::uint32_t errorWord, bool parityCheck);
[[nodiscard]] TComLineSignals SignalsFromStatus(std::uint32_t modemStatus);
