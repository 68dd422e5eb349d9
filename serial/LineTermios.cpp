// Kept apart from everything else: <asm/termbits.h> cannot share a unit with
// <termios.h>.
#include "LineTermios.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <asm/termios.h>
#include <errno.h>

#include <algorithm>
#include <array>
#include <bit>
#include <utility>

#include "CPort.h"

extern "C" int ioctl(int fd, unsigned long request, ...);

static_assert(sizeof(qv::LineState) == sizeof(termios2));
static_assert(NCCS == 19);
static_assert(qv::kLineCBAUD == CBAUD && qv::kLineBOTHER == BOTHER);

namespace qv {
namespace {

constexpr std::array<std::pair<std::uint32_t, std::uint32_t>, 24> kStandardRates = {{
    {50, B50},         {75, B75},         {110, B110},         {134, B134},         {150, B150},
    {200, B200},       {300, B300},       {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000}, {2000000, B2000000},
}};

termios2 ToKernel(const LineState& s) { return std::bit_cast<termios2>(s); }
LineState FromKernel(const termios2& t) { return std::bit_cast<LineState>(t); }

}  // namespace

int MapDCBToLine(const TDCB& dcb, LineState& state) {
  if (dcb.BaudRate == 0 || dcb.ByteSize < 5 || dcb.ByteSize > 8 || dcb.Parity > 4 || dcb.StopBits > 2) return EINVAL;
  termios2 t = ToKernel(state);

  t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | IGNPAR | PARMRK | INPCK | ISTRIP | INLCR | IGNCR | ICRNL |
                                      IUCLC | IXON | IXANY | IXOFF | IMAXBEL | IUTF8);
  t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  t.c_lflag &= ~static_cast<tcflag_t>(ISIG | ICANON | XCASE | ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL | ECHOPRT |
                                      ECHOKE | NOFLSH | TOSTOP | IEXTEN);
  t.c_cflag &= ~static_cast<tcflag_t>(CBAUD | CIBAUD | CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS);
  t.c_cflag |= CREAD | CLOCAL;

  tcflag_t baud = BOTHER;
  for (auto [rate, constant] : kStandardRates)
    if (rate == dcb.BaudRate) baud = constant;
  t.c_cflag |= baud;
  t.c_ispeed = dcb.BaudRate;
  t.c_ospeed = dcb.BaudRate;

  static constexpr std::array<tcflag_t, 4> kSizes = {CS5, CS6, CS7, CS8};
  t.c_cflag |= kSizes[dcb.ByteSize - 5];
  switch (dcb.Parity) {
    case 1: t.c_cflag |= PARENB | PARODD; break;
    case 2: t.c_cflag |= PARENB; break;
    case 3: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case 4: t.c_cflag |= PARENB | CMSPAR; break;
    default: break;
  }
  if (dcb.StopBits != 0) t.c_cflag |= CSTOPB;

  const bool rtsHandshake = (dcb.Flags & TDCB::fRtsControlMask) == TDCB::fRtsControlHandshake;
  if ((dcb.Flags & TDCB::fOutxCtsFlow) || rtsHandshake) t.c_cflag |= CRTSCTS;
  if (dcb.Flags & TDCB::fOutX) t.c_iflag |= IXON;
  if (dcb.Flags & TDCB::fInX) t.c_iflag |= IXOFF;
  if (dcb.Flags & TDCB::fParity) t.c_iflag |= INPCK | PARMRK;
  t.c_cc[VSTART] = dcb.XonChar;
  t.c_cc[VSTOP] = dcb.XoffChar;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;

  state = FromKernel(t);
  return 0;
}

int ReadLineState(int fd, LineState& state) {
  termios2 t;
  if (ioctl(fd, TCGETS2, &t) < 0) return errno;
  state = FromKernel(t);
  return 0;
}

int WriteLineState(int fd, const LineState& state) {
  const termios2 t = ToKernel(state);
  return ioctl(fd, TCSETS2, &t) < 0 ? errno : 0;
}

int SetModemLevels(int fd, const TDCB& dcb) {
  int on = 0;
  int off = 0;
  ((dcb.Flags & TDCB::fDtrControlMask) != 0 ? on : off) |= TIOCM_DTR;
  ((dcb.Flags & TDCB::fRtsControlMask) != 0 ? on : off) |= TIOCM_RTS;
  for (auto [request, bits] : {std::pair{TIOCMBIS, on}, std::pair{TIOCMBIC, off}}) {
    if (bits == 0 || ioctl(fd, request, &bits) == 0) continue;
    if (errno == ENOTTY || errno == EINVAL) return 0;
    return errno;
  }
  return 0;
}

std::uint32_t LineBaudRate(const LineState& state) {
  const std::uint32_t code = state.c_cflag & CBAUD;
  if (code == BOTHER) return state.c_ospeed;
  for (auto [rate, constant] : kStandardRates)
    if (constant == code) return rate;
  return 0;
}

int CloseDrainWaitMs(int queued, std::uint32_t bitsPerSecond, int rechecks) {
  if (queued <= 0) return 0;
  const std::uint64_t rate = bitsPerSecond ? bitsPerSecond : 9600;
  std::uint64_t ms = (static_cast<std::uint64_t>(queued) * 10000u + rate - 1) / rate;
  ms <<= std::clamp(rechecks, 0, 9);
  return static_cast<int>(std::min<std::uint64_t>(ms, kCloseDrainLimitMs));
}

}  // namespace qv
