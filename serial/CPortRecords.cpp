// The Win32 records the port's settings amount to.
#include <array>

#include "CPort.h"

namespace {
constexpr std::array<std::uint32_t, 16> kBaudValues = {0,     110,   300,   600,   1200,  2400,   4800,   9600,
                                                       14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};

std::uint32_t DtrBits(TDTRFlowControl c) {
  switch (c) {
    case dtrEnable: return TDCB::fDtrControlEnable;
    case dtrHandshake: return TDCB::fDtrControlHandshake;
    case dtrDisable: break;
  }
  return 0;
}

std::uint32_t RtsBits(TRTSFlowControl c) {
  switch (c) {
    case rtsEnable: return TDCB::fRtsControlEnable;
    case rtsHandshake: return TDCB::fRtsControlHandshake;
    case rtsToggle: return TDCB::fRtsControlToggle;
    case rtsDisable: break;
  }
  return 0;
}
}  // namespace

TDCB BuildDCB(const TCustomComPort& port) {
  const TComParity& parity = port.Parity();
  const TComFlowControl& flow = port.FlowControl();
  TDCB dcb;
  const auto baud = static_cast<std::size_t>(port.BaudRate());
  dcb.BaudRate = port.BaudRate() == brCustom || baud >= kBaudValues.size()
                     ? static_cast<std::uint32_t>(port.CustomBaudRate())
                     : kBaudValues[baud];
  std::uint32_t flags = TDCB::fBinary;
  if (parity.Check()) flags |= TDCB::fParity;
  if (flow.OutCTSFlow()) flags |= TDCB::fOutxCtsFlow;
  if (flow.OutDSRFlow()) flags |= TDCB::fOutxDsrFlow;
  flags |= DtrBits(flow.ControlDTR());
  if (flow.DSRSensitivity()) flags |= TDCB::fDsrSensitivity;
  if (flow.TxContinueOnXoff()) flags |= TDCB::fTXContinueOnXoff;
  if (flow.XonXoffOut()) flags |= TDCB::fOutX;
  if (flow.XonXoffIn()) flags |= TDCB::fInX;
  if (parity.Check() && parity.Replace()) flags |= TDCB::fErrorChar;
  if (port.DiscardNull()) flags |= TDCB::fNull;
  flags |= RtsBits(flow.ControlRTS());
  dcb.Flags = flags;
  const auto lim = static_cast<std::uint16_t>(port.Buffer().InputSize() / 4);
  dcb.XonLim = lim;
  dcb.XoffLim = lim;
  dcb.ByteSize = static_cast<std::uint8_t>(5 + static_cast<int>(port.DataBits()));
  dcb.Parity = static_cast<std::uint8_t>(parity.Bits());
  dcb.StopBits = static_cast<std::uint8_t>(port.StopBits());
  dcb.XonChar = flow.XonChar();
  dcb.XoffChar = flow.XoffChar();
  dcb.ErrorChar = (flags & TDCB::fErrorChar) ? parity.ReplaceChar() : 0;
  dcb.EvtChar = port.EventChar();
  return dcb;
}

TCommTimeouts BuildCommTimeouts(const TCustomComPort& port) {
  const TComTimeouts& t = port.Timeouts();
  TCommTimeouts r;
  r.ReadIntervalTimeout = static_cast<std::uint32_t>(t.ReadInterval());
  r.ReadTotalTimeoutMultiplier = static_cast<std::uint32_t>(t.ReadTotalMultiplier());
  r.ReadTotalTimeoutConstant = static_cast<std::uint32_t>(t.ReadTotalConstant());
  r.WriteTotalTimeoutMultiplier = static_cast<std::uint32_t>(t.WriteTotalMultiplier());
  r.WriteTotalTimeoutConstant = static_cast<std::uint32_t>(t.WriteTotalConstant());
  return r;
}
