#pragma once
// The Win32 records (device control, time-outs) the port's settings amount to;
// the line is configured from them.
#include <cstdint>

class TCustomComPort;

// The device-control record in the Win32 layout: what the line must end up
// with. Fields not set by the port stay zero.
struct TDCB {
  static constexpr std::uint32_t fBinary = 0x0001;
  static constexpr std::uint32_t fParity = 0x0002;
  static constexpr std::uint32_t fOutxCtsFlow = 0x0004;
  static constexpr std::uint32_t fOutxDsrFlow = 0x0008;
  static constexpr std::uint32_t fDtrControlMask = 0x0030;
  static constexpr std::uint32_t fDtrControlEnable = 0x0010;
  static constexpr std::uint32_t fDtrControlHandshake = 0x0020;
  static constexpr std::uint32_t fDsrSensitivity = 0x0040;
  static constexpr std::uint32_t fTXContinueOnXoff = 0x0080;
  static constexpr std::uint32_t fOutX = 0x0100;
  static constexpr std::uint32_t fInX = 0x0200;
  static constexpr std::uint32_t fErrorChar = 0x0400;
  static constexpr std::uint32_t fNull = 0x0800;
  static constexpr std::uint32_t fRtsControlMask = 0x3000;
  static constexpr std::uint32_t fRtsControlEnable = 0x1000;
  static constexpr std::uint32_t fRtsControlHandshake = 0x2000;
  static constexpr std::uint32_t fRtsControlToggle = 0x3000;
  static constexpr std::uint32_t fAbortOnError = 0x4000;

  std::uint32_t DCBlength = 28;
  std::uint32_t BaudRate = 0;
  std::uint32_t Flags = 0;
  std::uint16_t wReserved = 0;
  std::uint16_t XonLim = 0;
  std::uint16_t XoffLim = 0;
  std::uint8_t ByteSize = 0;
  std::uint8_t Parity = 0;
  std::uint8_t StopBits = 0;
  std::uint8_t XonChar = 0;
  std::uint8_t XoffChar = 0;
  std::uint8_t ErrorChar = 0;
  std::uint8_t EofChar = 0;
  std::uint8_t EvtChar = 0;
  std::uint16_t wReserved1 = 0;
};

// The time-out record in the Win32 layout (-1 is carried as 0xFFFFFFFF).
struct TCommTimeouts {
  std::uint32_t ReadIntervalTimeout = 0;
  std::uint32_t ReadTotalTimeoutMultiplier = 0;
  std::uint32_t ReadTotalTimeoutConstant = 0;
  std::uint32_t WriteTotalTimeoutMultiplier = 0;
  std::uint32_t WriteTotalTimeoutConstant = 0;
};

// The records the port's current settings amount to.
[[nodiscard]] TDCB BuildDCB(const TCustomComPort& port);
[[nodiscard]] TCommTimeouts BuildCommTimeouts(const TCustomComPort& port);
