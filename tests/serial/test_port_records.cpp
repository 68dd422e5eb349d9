// The port's pure parts: the records built from its settings, the mapping onto
// the tty layer, the conversions of sets and words, the setting groups' rules
// and the input queue's filtering.
#include <gtest/gtest.h>
#include <termios.h>

#include "CPort.h"
#include "DevicePath.h"
#include "InputQueue.h"
#include "LineTermios.h"

namespace {

TEST(PortRecords, MainWindowSettingsGiveTheExpectedDCB) {
  TComPort port;
  port.SetBaudRate(br57600);
  port.SetDataBits(dbEight);
  port.SetStopBits(sbOneStopBit);
  port.Parity().SetBits(prNone);
  port.FlowControl().SetFlowControl(fcNone);
  const TDCB dcb = BuildDCB(port);
  EXPECT_EQ(dcb.DCBlength, 28u);
  EXPECT_EQ(dcb.BaudRate, 57600u);
  EXPECT_EQ(dcb.Flags, 0x0001u);
  EXPECT_EQ(dcb.XonLim, 256);
  EXPECT_EQ(dcb.XoffLim, 256);
  EXPECT_EQ(dcb.ByteSize, 8);
  EXPECT_EQ(dcb.Parity, 0);
  EXPECT_EQ(dcb.StopBits, 0);
  EXPECT_EQ(dcb.XonChar, 17);
  EXPECT_EQ(dcb.XoffChar, 19);
  EXPECT_EQ(dcb.ErrorChar, 0);
  EXPECT_EQ(dcb.EvtChar, 0);
  EXPECT_EQ(dcb.wReserved, 0);
  EXPECT_EQ(dcb.wReserved1, 0);
}

TEST(PortRecords, EveryFlagFollowsItsSetting) {
  TComPort port;
  port.SetBaudRate(brCustom);
  port.SetCustomBaudRate(250000);
  port.Parity().SetCheck(true);
  port.Parity().SetReplace(true);
  port.Parity().SetReplaceChar('?');
  port.Parity().SetBits(prMark);
  port.FlowControl().SetOutCTSFlow(true);
  port.FlowControl().SetOutDSRFlow(true);
  port.FlowControl().SetControlDTR(dtrHandshake);
  port.FlowControl().SetDSRSensitivity(true);
  port.FlowControl().SetTxContinueOnXoff(true);
  port.FlowControl().SetXonXoffOut(true);
  port.FlowControl().SetXonXoffIn(true);
  port.FlowControl().SetControlRTS(rtsToggle);
  port.SetDiscardNull(true);
  port.SetEventChar('\n');
  port.SetStopBits(sbTwoStopBits);
  port.SetDataBits(dbFive);
  const TDCB dcb = BuildDCB(port);
  EXPECT_EQ(dcb.BaudRate, 250000u);
  EXPECT_EQ(dcb.Flags,
            0x0001u | 0x0002 | 0x0004 | 0x0008 | 0x0020 | 0x0040 | 0x0080 | 0x0100 | 0x0200 | 0x0400 | 0x0800 | 0x3000);
  EXPECT_EQ(dcb.ErrorChar, '?');
  EXPECT_EQ(dcb.EvtChar, '\n');
  EXPECT_EQ(dcb.Parity, 3);
  EXPECT_EQ(dcb.StopBits, 2);
  EXPECT_EQ(dcb.ByteSize, 5);

  // Replace without Check sets no error character.
  port.Parity().SetCheck(false);
  const TDCB plain = BuildDCB(port);
  EXPECT_EQ(plain.Flags & 0x0402u, 0u);
  EXPECT_EQ(plain.ErrorChar, 0);
  port.FlowControl().SetControlDTR(dtrEnable);
  port.FlowControl().SetControlRTS(rtsHandshake);
  EXPECT_EQ(BuildDCB(port).Flags & 0x3030u, 0x2010u);
}

TEST(PortRecords, BaudRatesAndTimeouts) {
  TComPort port;
  const std::pair<TBaudRate, std::uint32_t> rates[] = {{br110, 110},       {br14400, 14400},   {br56000, 56000},
                                                       {br128000, 128000}, {br256000, 256000}, {br115200, 115200}};
  for (auto [rate, value] : rates) {
    port.SetBaudRate(rate);
    EXPECT_EQ(BuildDCB(port).BaudRate, value);
  }
  TCommTimeouts t = BuildCommTimeouts(port);
  EXPECT_EQ(t.ReadIntervalTimeout, 0xFFFFFFFFu);
  EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 0u);
  EXPECT_EQ(t.ReadTotalTimeoutConstant, 0u);
  EXPECT_EQ(t.WriteTotalTimeoutMultiplier, 100u);
  EXPECT_EQ(t.WriteTotalTimeoutConstant, 1000u);
}

TEST(PortRecords, BufferSizesAreEvenAndSetTheXonLimits) {
  TComPort port;
  port.Buffer().SetInputSize(4097);
  EXPECT_EQ(port.Buffer().InputSize(), 4096);
  EXPECT_EQ(BuildDCB(port).XonLim, 1024);
  EXPECT_EQ(BuildDCB(port).XoffLim, 1024);
  port.Buffer().SetOutputSize(1025);
  EXPECT_EQ(port.Buffer().OutputSize(), 1024);
  port.Buffer().SetInputSize(-3);
  EXPECT_EQ(port.Buffer().InputSize(), -3);
  port.Buffer().SetInputSize(0x7FFFFFFF);
  EXPECT_EQ(BuildDCB(port).XonLim, static_cast<std::uint16_t>(0x7FFFFFFE / 4));
}

TEST(PortRecords, FlowControlPreset) {
  TComFlowControl f;
  EXPECT_EQ(f.FlowControl(), fcNone);
  f.SetFlowControl(fcHardware);
  EXPECT_EQ(f.ControlRTS(), rtsHandshake);
  EXPECT_TRUE(f.OutCTSFlow());
  EXPECT_EQ(f.FlowControl(), fcHardware);
  f.SetControlDTR(dtrEnable);
  f.SetOutDSRFlow(true);
  EXPECT_EQ(f.FlowControl(), fcHardware);  // DTR and DSR play no part
  f.SetFlowControl(fcNone);
  EXPECT_EQ(f.ControlRTS(), rtsDisable);
  EXPECT_FALSE(f.OutCTSFlow());
  EXPECT_EQ(f.ControlDTR(), dtrEnable);
  EXPECT_EQ(f.FlowControl(), fcNone);
  f.SetFlowControl(fcSoftware);
  EXPECT_TRUE(f.XonXoffIn() && f.XonXoffOut());
  EXPECT_EQ(f.FlowControl(), fcSoftware);
  f.SetXonXoffIn(false);
  EXPECT_EQ(f.FlowControl(), fcCustom);
  f.SetFlowControl(fcCustom);
  EXPECT_FALSE(f.XonXoffIn());
  EXPECT_TRUE(f.XonXoffOut());
  f.SetFlowControl(fcHardware);
  EXPECT_FALSE(f.XonXoffOut());
  f.SetControlRTS(rtsEnable);
  EXPECT_EQ(f.FlowControl(), fcCustom);
}

TEST(PortRecords, AssignCopiesEveryFieldWithoutApplying) {
  TComPort port;
  TComFlowControl f;
  f.SetFlowControl(fcSoftware);
  f.SetXonChar(1);
  f.SetXoffChar(2);
  f.SetControlDTR(dtrHandshake);
  f.SetDSRSensitivity(true);
  f.SetTxContinueOnXoff(true);
  f.SetOutDSRFlow(true);
  port.SetFlowControl(f);
  EXPECT_EQ(port.FlowControl().FlowControl(), fcSoftware);
  EXPECT_EQ(port.FlowControl().XonChar(), 1);
  EXPECT_EQ(port.FlowControl().XoffChar(), 2);
  EXPECT_EQ(port.FlowControl().ControlDTR(), dtrHandshake);
  EXPECT_TRUE(port.FlowControl().DSRSensitivity() && port.FlowControl().TxContinueOnXoff());
  EXPECT_TRUE(port.FlowControl().OutDSRFlow());
  EXPECT_EQ(port.FlowControl().ComPort(), &port);

  TComParity p;
  p.SetBits(prSpace);
  p.SetCheck(true);
  p.SetReplace(true);
  p.SetReplaceChar(7);
  port.SetParity(p);
  EXPECT_EQ(port.Parity().Bits(), prSpace);
  EXPECT_TRUE(port.Parity().Check() && port.Parity().Replace());
  EXPECT_EQ(port.Parity().ReplaceChar(), 7);

  TComTimeouts t;
  t.SetReadInterval(5);
  t.SetReadTotalConstant(6);
  t.SetReadTotalMultiplier(7);
  t.SetWriteTotalConstant(8);
  t.SetWriteTotalMultiplier(9);
  port.SetTimeouts(t);
  const TCommTimeouts r = BuildCommTimeouts(port);
  EXPECT_EQ(r.ReadIntervalTimeout, 5u);
  EXPECT_EQ(r.ReadTotalTimeoutConstant, 6u);
  EXPECT_EQ(r.ReadTotalTimeoutMultiplier, 7u);
  EXPECT_EQ(r.WriteTotalTimeoutConstant, 8u);
  EXPECT_EQ(r.WriteTotalTimeoutMultiplier, 9u);

  TComBuffer b;
  b.SetInputSize(300);
  b.SetOutputSize(200);
  port.SetBuffer(b);
  EXPECT_EQ(port.Buffer().InputSize(), 300);
  EXPECT_EQ(port.Buffer().OutputSize(), 200);
}

TEST(PortRecords, EventMaskConversion) {
  EXPECT_EQ(EventsToMask(kAllComEvents), 0x05FFu);
  EXPECT_EQ(MaskToEvents(0x05FF), kAllComEvents);
  EXPECT_EQ(MaskToEvents(0xFFFF), kAllComEvents);  // bits without a member are ignored
  EXPECT_EQ(EventsToMask(TComEvents{evRxFlag}), 0x0002u);
  EXPECT_EQ(EventsToMask(TComEvents{evTxEmpty}), 0x0004u);
  EXPECT_EQ(EventsToMask(TComEvents{evRing}), 0x0100u);
  EXPECT_EQ(EventsToMask(TComEvents{evRx80Full}), 0x0400u);
  EXPECT_EQ(EventsToMask(TComEvents{evRLSD, evBreak}), 0x0060u);
  EXPECT_EQ(MaskToEvents(0x0088), (TComEvents{evCTS, evError}));
  EXPECT_EQ(MaskToEvents(0x0200), TComEvents{});
  for (int i = 0; i < 10; ++i) {
    const TComEvents one{static_cast<TComEvent>(i)};
    EXPECT_EQ(MaskToEvents(EventsToMask(one)), one);
  }
}

TEST(PortRecords, ErrorWordAndModemStatusConversion) {
  EXPECT_EQ(ErrorsFromWord(0x0008, false), TComErrors{errFrame});
  EXPECT_EQ(ErrorsFromWord(0x0004, false), TComErrors{});
  EXPECT_EQ(ErrorsFromWord(0x0004, true), TComErrors{errRxParity});
  EXPECT_EQ(ErrorsFromWord(0x8513, true), (TComErrors{errOverrun, errBreak, errIO, errMode, errRxOver, errTxFull}));
  EXPECT_EQ(ErrorsFromWord(0x8513, true).bits(), 0xFCu);
  EXPECT_EQ(SignalsFromStatus(0x10), TComLineSignals{sigCTS});
  EXPECT_EQ(SignalsFromStatus(0xF0), (TComLineSignals{sigCTS, sigDSR, sigRing, sigRLSD}));
  EXPECT_EQ(SignalsFromStatus(0xA0).bits(), 0x0Au);
  EXPECT_EQ(SignalsFromStatus(0x0F), TComLineSignals{});
}

TEST(PortRecords, DevicePaths) {
  EXPECT_EQ(qv::DevicePathForPort("COM1"), "/dev/ttyS0");
  EXPECT_EQ(qv::DevicePathForPort("COM12"), "/dev/ttyS11");
  EXPECT_EQ(qv::DevicePathForPort("COM0"), "/dev/COM0");
  EXPECT_EQ(qv::DevicePathForPort("COMX"), "/dev/COMX");
  EXPECT_EQ(qv::DevicePathForPort("ttyUSB0"), "/dev/ttyUSB0");
  EXPECT_EQ(qv::DevicePathForPort("/dev/pts/3"), "/dev/pts/3");
  EXPECT_EQ(qv::DevicePathForPort("COM99999999999999999999"), "/dev/COM99999999999999999999");
  EXPECT_EQ(qv::DevicePathForPort(""), "");
}

qv::LineState Mapped(const TDCB& dcb) {
  qv::LineState s;
  s.c_lflag = ICANON | ECHO | ISIG;
  s.c_oflag = OPOST | ONLCR;
  s.c_iflag = ICRNL | IXON;
  EXPECT_EQ(qv::MapDCBToLine(dcb, s), 0);
  return s;
}

TEST(LineMapping, RawModeAndMainWindowLine) {
  TComPort port;
  port.SetBaudRate(br57600);
  const qv::LineState s = Mapped(BuildDCB(port));
  EXPECT_EQ(s.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(s.c_oflag & OPOST, 0u);
  EXPECT_EQ(s.c_iflag & (ICRNL | IXON | IXOFF | INPCK | PARMRK), 0u);
  EXPECT_EQ(s.c_cflag & CSIZE, static_cast<std::uint32_t>(CS8));
  EXPECT_EQ(s.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
  EXPECT_EQ(s.c_cflag & (CREAD | CLOCAL), static_cast<std::uint32_t>(CREAD | CLOCAL));
  EXPECT_EQ(s.c_cflag & qv::kLineCBAUD, static_cast<std::uint32_t>(B57600));
  EXPECT_EQ(qv::LineBaudRate(s), 57600u);
  EXPECT_EQ(s.c_cc[VMIN], 1);
  EXPECT_EQ(s.c_cc[VTIME], 0);
}

TEST(LineMapping, RatesWithoutConstantUseBOTHER) {
  TDCB dcb;
  dcb.ByteSize = 8;
  for (std::uint32_t rate : {14400u, 56000u, 128000u, 256000u, 31250u}) {
    dcb.BaudRate = rate;
    const qv::LineState s = Mapped(dcb);
    EXPECT_EQ(s.c_cflag & qv::kLineCBAUD, qv::kLineBOTHER) << rate;
    EXPECT_EQ(s.c_ospeed, rate);
    EXPECT_EQ(s.c_ispeed, rate);
    EXPECT_EQ(qv::LineBaudRate(s), rate);
  }
  dcb.BaudRate = 0;  // would hang the line up
  qv::LineState s;
  EXPECT_EQ(qv::MapDCBToLine(dcb, s), EINVAL);
  dcb.BaudRate = 9600;
  dcb.ByteSize = 9;
  EXPECT_EQ(qv::MapDCBToLine(dcb, s), EINVAL);
}

TEST(LineMapping, SizeParityStopBitsAndFlow) {
  TDCB dcb;
  dcb.BaudRate = 9600;
  const std::pair<std::uint8_t, unsigned> sizes[] = {{5, CS5}, {6, CS6}, {7, CS7}, {8, CS8}};
  for (auto [size, flag] : sizes) {
    dcb.ByteSize = size;
    EXPECT_EQ(Mapped(dcb).c_cflag & CSIZE, flag);
  }
  const std::pair<std::uint8_t, unsigned> parities[] = {
      {0, 0}, {1, PARENB | PARODD}, {2, PARENB}, {3, PARENB | CMSPAR | PARODD}, {4, PARENB | CMSPAR}};
  for (auto [parity, flags] : parities) {
    dcb.Parity = parity;
    EXPECT_EQ(Mapped(dcb).c_cflag & (PARENB | PARODD | CMSPAR), flags) << int(parity);
  }
  for (std::uint8_t stop : {0, 1, 2}) {
    dcb.StopBits = stop;
    EXPECT_EQ((Mapped(dcb).c_cflag & CSTOPB) != 0, stop != 0);
  }
  dcb.Flags = TDCB::fBinary | TDCB::fOutxCtsFlow;
  EXPECT_NE(Mapped(dcb).c_cflag & CRTSCTS, 0u);
  dcb.Flags = TDCB::fBinary | TDCB::fRtsControlHandshake;
  EXPECT_NE(Mapped(dcb).c_cflag & CRTSCTS, 0u);
  dcb.Flags = TDCB::fBinary | TDCB::fRtsControlToggle | TDCB::fOutxDsrFlow;
  EXPECT_EQ(Mapped(dcb).c_cflag & CRTSCTS, 0u);
  dcb.Flags = TDCB::fBinary | TDCB::fOutX;
  dcb.XonChar = 0x11;
  dcb.XoffChar = 0x13;
  qv::LineState s = Mapped(dcb);
  EXPECT_EQ(s.c_iflag & (IXON | IXOFF), static_cast<unsigned>(IXON));
  EXPECT_EQ(s.c_cc[VSTART], 0x11);
  EXPECT_EQ(s.c_cc[VSTOP], 0x13);
  dcb.Flags = TDCB::fBinary | TDCB::fInX | TDCB::fParity;
  s = Mapped(dcb);
  EXPECT_EQ(s.c_iflag & (IXON | IXOFF | INPCK | PARMRK), static_cast<unsigned>(IXOFF | INPCK | PARMRK));
}

std::string Fed(qv::InputQueue& q, const std::string& in, bool* flag = nullptr) {
  const auto r = q.Feed(in.data(), in.size());
  if (flag) *flag = r.eventChar;
  std::string out;
  q.Take(out, 1 << 20);
  return out;
}

TEST(InputQueue, UnmarksParityAndDropsNulls) {
  qv::InputQueue q;
  q.Configure({.unmark = true, .replace = false, .replaceChar = '?', .discardNull = false, .eventChar = 1});
  EXPECT_EQ(Fed(q, std::string("a\xff\xff"
                               "b",
                               4)),
            std::string("a\xff"
                        "b"));
  EXPECT_EQ(Fed(q, std::string("\xff\x00X", 3)), "X");
  // A mark split across two reads.
  EXPECT_EQ(Fed(q, std::string("c\xff", 2)), "c");
  EXPECT_EQ(Fed(q, std::string("\x00Yd", 3)), "Yd");
  q.Configure({.unmark = true, .replace = true, .replaceChar = '?', .discardNull = false, .eventChar = 1});
  EXPECT_EQ(Fed(q, std::string("\xff\x00X\xff\x00\x00z", 7)), "??z");
  q.Configure({.unmark = false, .replace = false, .replaceChar = 0, .discardNull = true, .eventChar = 1});
  EXPECT_EQ(Fed(q, std::string("\x00"
                               "a\x00\x00"
                               "b\xff\xff",
                               7)),
            std::string("ab\xff\xff"));
  bool flag = false;
  q.Configure({.unmark = false, .replace = false, .replaceChar = 0, .discardNull = false, .eventChar = '\n'});
  EXPECT_EQ(Fed(q, "ab", &flag), "ab");
  EXPECT_FALSE(flag);
  EXPECT_EQ(Fed(q, "a\nb", &flag), "a\nb");
  EXPECT_TRUE(flag);
}

TEST(InputQueue, EightyPercentMarkAndCapacity) {
  qv::InputQueue q;
  q.SetInputSize(100);
  std::string s(79, 'x');
  EXPECT_FALSE(q.Feed(s.data(), s.size()).reached80);
  EXPECT_TRUE(q.Feed("y", 1).reached80);
  EXPECT_FALSE(q.Feed("z", 1).reached80);  // only when crossing the mark
  EXPECT_EQ(q.Size(), 81u);
  std::string out = "old";
  q.Take(out, 3);
  EXPECT_EQ(out, "xxx");
  EXPECT_EQ(q.Size(), 78u);
  EXPECT_FALSE(q.Full());
  q.Clear();
  EXPECT_EQ(q.Size(), 0u);
  q.Take(out, 10);
  EXPECT_EQ(out, "");
}

TEST(CloseDrain, WaitsTheWireTimeOfWhatIsQueuedDoublingAndBounded) {
  EXPECT_EQ(qv::CloseDrainWaitMs(0, 57600, 0), 0);
  EXPECT_EQ(qv::CloseDrainWaitMs(-1, 57600, 3), 0);
  EXPECT_EQ(qv::CloseDrainWaitMs(1, 57600, 0), 1);    // the stop command: 0.17 ms, rounded up
  EXPECT_EQ(qv::CloseDrainWaitMs(96, 9600, 0), 100);  // 960 bits at 9600 baud
  EXPECT_EQ(qv::CloseDrainWaitMs(1, 57600, 1), 2);
  EXPECT_EQ(qv::CloseDrainWaitMs(1, 57600, 4), 16);
  EXPECT_EQ(qv::CloseDrainWaitMs(1, 0, 0), 2);  // no rate known: 9600 baud
  // A full queue on a slow or stalled line never waits past the bound.
  EXPECT_EQ(qv::CloseDrainWaitMs(4096, 110, 0), qv::kCloseDrainLimitMs);
  EXPECT_EQ(qv::CloseDrainWaitMs(1, 57600, 8), 256);
  EXPECT_EQ(qv::CloseDrainWaitMs(1, 57600, 1000), qv::kCloseDrainLimitMs);
  EXPECT_LE(qv::kCloseDrainLimitMs, 500);
}

}  // namespace
