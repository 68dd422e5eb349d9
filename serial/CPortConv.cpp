#include "CPortConv.h"

#include <array>
#include <utility>

namespace {
constexpr std::array<std::pair<TComEvent, std::uint32_t>, 10> kEventBits = {{
    {evRxChar, EV_RXCHAR},
    {evRxFlag, EV_RXFLAG},
    {evTxEmpty, EV_TXEMPTY},
    {evCTS, EV_CTS},
    {evDSR, EV_DSR},
    {evRLSD, EV_RLSD},
    {evBreak, EV_BREAK},
    {evError, EV_ERR},
    {evRing, EV_RING},
    {evRx80Full, EV_RX80FULL},
}};

constexpr std::array<std::pair<TComErrorKind, std::uint32_t>, 8> kErrorBits = {{
    {errFrame, CE_FRAME},
    {errRxParity, CE_RXPARITY},
    {errOverrun, CE_OVERRUN},
    {errBreak, CE_BREAK},
    {errIO, CE_IOE},
    {errMode, CE_MODE},
    {errRxOver, CE_RXOVER},
    {errTxFull, CE_TXFULL},
}};

constexpr std::array<std::pair<TComSignal, std::uint32_t>, 4> kSignalBits = {{
    {sigCTS, MS_CTS_ON},
    {sigDSR, MS_DSR_ON},
    {sigRing, MS_RING_ON},
    {sigRLSD, MS_RLSD_ON},
}};
}  // namespace

std::uint32_t EventsToMask(TComEvents events) {
  std::uint32_t mask = 0;
  for (auto [event, bit] : kEventBits)
    if (events.contains(event)) mask |= bit;
  return mask;
}

TComEvents MaskToEvents(std::uint32_t mask) {
  TComEvents events;
  for (auto [event, bit] : kEventBits)
    if (mask & bit) events.insert(event);
  return events;
}

TComErrors ErrorsFromWord(std::uint32_t errorWord, bool parityCheck) {
  TComErrors errors;
  for (auto [kind, bit] : kErrorBits)
    if (errorWord & bit) errors.insert(kind);
  if (!parityCheck) errors.erase(errRxParity);
  return errors;
}

TComLineSignals SignalsFromStatus(std::uint32_t modemStatus) {
  TComLineSignals signals;
  for (auto [signal, bit] : kSignalBits)
    if (modemStatus & bit) signals.insert(signal);
  return signals;
}
