#pragma once
// Value types of the serial port component: the setting enumerations (their
// ordinals are stored and listed, so the order matters), the sets built on
// them, and the port's event signatures.
#include <cstdint>
#include <functional>
#include <initializer_list>

// An 8-bit character as the serial line carries it (codes 0..255).
using AnsiChar = unsigned char;

// A small set of enumeration members, bit n standing for ordinal n.
template <typename E, typename Bits>
class TEnumSet {
 public:
  constexpr TEnumSet() = default;
  constexpr TEnumSet(std::initializer_list<E> members) {
    for (E m : members) insert(m);
  }
  static constexpr TEnumSet FromBits(Bits b) {
    TEnumSet s;
    s.bits_ = b;
    return s;
  }
  constexpr Bits bits() const { return bits_; }
  constexpr bool contains(E m) const { return (bits_ >> static_cast<int>(m)) & 1u; }
  constexpr bool empty() const { return bits_ == 0; }
  constexpr void insert(E m) { bits_ = static_cast<Bits>(bits_ | (Bits{1} << static_cast<int>(m))); }
  constexpr void erase(E m) { bits_ = static_cast<Bits>(bits_ & ~(Bits{1} << static_cast<int>(m))); }
  friend constexpr bool operator==(TEnumSet a, TEnumSet b) { return a.bits_ == b.bits_; }

 private:
  Bits bits_ = 0;
};

enum TBaudRate : int {
  brCustom,
  br110,
  br300,
  br600,
  br1200,
  br2400,
  br4800,
  br9600,
  br14400,
  br19200,
  br38400,
  br56000,
  br57600,
  br115200,
  br128000,
  br256000
};
enum TStopBits : int { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TDataBits : int { dbFive, dbSix, dbSeven, dbEight };
enum TParityBits : int { prNone, prOdd, prEven, prMark, prSpace };
enum TDTRFlowControl : int { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl : int { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum TFlowControl : int { fcHardware, fcSoftware, fcNone, fcCustom };
enum TComEvent : int { evRxChar, evTxEmpty, evRxFlag, evRing, evBreak, evCTS, evDSR, evError, evRLSD, evRx80Full };
enum TSyncMethod : int { smThreadSync, smWindowSync, smNone };
enum TComErrorKind : int { errFrame, errRxParity, errOverrun, errBreak, errIO, errMode, errRxOver, errTxFull };
enum TComSignal : int { sigCTS, sigDSR, sigRing, sigRLSD };
enum TStorageKind : int { skRegistry, skIniFile };
enum TStoredGroup : int { sgBasic, sgFlowControl, sgBuffer, sgTimeouts, sgParity, sgOthers };

using TComEvents = TEnumSet<TComEvent, std::uint16_t>;
using TComErrors = TEnumSet<TComErrorKind, std::uint8_t>;
using TComLineSignals = TEnumSet<TComSignal, std::uint8_t>;
using TStoredGroups = TEnumSet<TStoredGroup, std::uint8_t>;

inline constexpr TComEvents kAllComEvents = TComEvents::FromBits(0x03FF);

class TCustomComPort;
using TNotifyEvent = std::function<void(TCustomComPort* Sender)>;
using TRxCharEvent = std::function<void(TCustomComPort* Sender, int Count)>;
using TComSignalEvent = std::function<void(TCustomComPort* Sender, bool OnOff)>;
using TComErrorEvent = std::function<void(TCustomComPort* Sender, TComErrors Errors)>;
