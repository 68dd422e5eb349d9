#pragma once
// The line settings as the Linux tty layer takes them (the kernel's termios2),
// built from the Win32 device-control record.
//
// How each part of the record reaches the line:
// - BaudRate: the standard B-constant where one exists, otherwise BOTHER with the
//   exact rate in c_ispeed/c_ospeed (the driver picks the nearest divisor).
//   A rate of 0 is refused: B0 would drop DTR and hang the line up.
// - ByteSize 5..8: CS5..CS8. Parity: odd PARENB|PARODD, even PARENB, mark
//   PARENB|CMSPAR|PARODD, space PARENB|CMSPAR.
// - StopBits: one gives no CSTOPB; two and one-and-a-half give CSTOPB. Linux has
//   no 1.5 setting; a 16550 sends 1.5 stop bits for 5-bit words when CSTOPB is
//   set, and for longer words two stop bits are the nearest the line takes (any
//   receiver that expects 1.5 accepts them).
// - fOutxCtsFlow or RTS handshake: CRTSCTS (Linux has one flag for both halves).
// - fOutX: IXON, fInX: IXOFF, with XonChar/XoffChar as VSTART/VSTOP.
// - fParity: INPCK|PARMRK; the input queue then undoes the marking and puts the
//   ErrorChar in place of a damaged byte when fErrorChar is set, else passes
//   the byte as received.
// - fNull and EvtChar have no termios flag: the input queue drops NULs and
//   scans for the event character.
// - DTR and RTS levels: set with TIOCMBIS/TIOCMBIC (dtrHandshake and rtsToggle
//   have no Linux equivalent and hold the line on). fOutxDsrFlow,
//   fDsrSensitivity, fTXContinueOnXoff, XonLim and XoffLim have none either:
//   the tty layer throttles on its own fixed thresholds.
// - Always raw: no echo, no canonical input, no signals, no output processing,
//   CREAD|CLOCAL, VMIN 1 and VTIME 0.
#include <cstdint>

struct TDCB;

namespace qv {

// A copy of struct termios2 that can live beside <termios.h>.
struct LineState {
  std::uint32_t c_iflag = 0;
  std::uint32_t c_oflag = 0;
  std::uint32_t c_cflag = 0;
  std::uint32_t c_lflag = 0;
  std::uint8_t c_line = 0;
  std::uint8_t c_cc[19] = {};
  std::uint32_t c_ispeed = 0;
  std::uint32_t c_ospeed = 0;
};

// termios2 values that <termios.h> does not carry.
inline constexpr std::uint32_t kLineCBAUD = 0x0000100f;
inline constexpr std::uint32_t kLineBOTHER = 0x00001000;

// Fills state from dcb, keeping what the record does not govern. Returns 0 or
// EINVAL for a record the line cannot take.
[[nodiscard]] int MapDCBToLine(const TDCB& dcb, LineState& state);

// TCGETS2 / TCSETS2 on fd; 0 or the errno.
[[nodiscard]] int ReadLineState(int fd, LineState& state);
[[nodiscard]] int WriteLineState(int fd, const LineState& state);

// Sets the DTR and RTS levels the record asks for; 0 or the errno. Devices
// without modem lines (ENOTTY, EINVAL: pseudo-terminals) count as success.
[[nodiscard]] int SetModemLevels(int fd, const TDCB& dcb);

// The line rate in bits per second read back from the state.
[[nodiscard]] std::uint32_t LineBaudRate(const LineState& state);

// Closing waits at most this long in all for the output still queued to leave.
inline constexpr int kCloseDrainLimitMs = 300;

// How long closing waits before it looks at the output queue again, with
// `queued` bytes in it at bitsPerSecond after `rechecks` earlier looks: their
// wire time at ten bits a character (at least 1 ms), doubled with every
// recheck (an adapter may hand bytes on in bursts), at most kCloseDrainLimitMs;
// 0 for nothing queued.
[[nodiscard]] int CloseDrainWaitMs(int queued, std::uint32_t bitsPerSecond, int rechecks);

}  // namespace qv
