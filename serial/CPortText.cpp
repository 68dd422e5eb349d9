#include "CPortText.h"

#include <charconv>
#include <cstdint>

#include "AsciiText.h"

namespace {

template <std::size_t N>
std::string NameOf(const std::array<std::string_view, N>& names, int ordinal) {
  if (ordinal < 0 || static_cast<std::size_t>(ordinal) >= N) return {};
  return std::string(names[static_cast<std::size_t>(ordinal)]);
}

template <typename E, std::size_t N>
E Lookup(const std::array<std::string_view, N>& names, std::string_view text, E fallback) {
  for (std::size_t i = 0; i < N; ++i)
    if (qv::SameTextIgnoringCase(names[i], text)) return static_cast<E>(i);
  return fallback;
}

}  // namespace

std::string BaudRateToText(TBaudRate BaudRate) { return NameOf(kBaudRateTexts, BaudRate); }
std::string StopBitsToText(TStopBits StopBits) { return NameOf(kStopBitsTexts, StopBits); }
std::string DataBitsToText(TDataBits DataBits) { return NameOf(kDataBitsTexts, DataBits); }
std::string ParityToText(TParityBits Parity) { return NameOf(kParityTexts, Parity); }
std::string FlowControlToText(TFlowControl FlowControl) { return NameOf(kFlowControlTexts, FlowControl); }
std::string DTRToText(TDTRFlowControl DTR) { return NameOf(kDTRTexts, DTR); }
std::string RTSToText(TRTSFlowControl RTS) { return NameOf(kRTSTexts, RTS); }

TBaudRate TextToBaudRate(std::string_view Text) { return Lookup(kBaudRateTexts, Text, br9600); }
TStopBits TextToStopBits(std::string_view Text) { return Lookup(kStopBitsTexts, Text, sbOneStopBit); }
TDataBits TextToDataBits(std::string_view Text) { return Lookup(kDataBitsTexts, Text, dbEight); }
TParityBits TextToParity(std::string_view Text) { return Lookup(kParityTexts, Text, prNone); }
TFlowControl TextToFlowControl(std::string_view Text) { return Lookup(kFlowControlTexts, Text, fcCustom); }
TDTRFlowControl TextToDTR(std::string_view Text) { return Lookup(kDTRTexts, Text, dtrDisable); }
TRTSFlowControl TextToRTS(std::string_view Text) { return Lookup(kRTSTexts, Text, rtsDisable); }

std::string BoolToText(bool Value) { return Value ? "Yes" : "No"; }
bool TextToBool(std::string_view Text) { return qv::SameTextIgnoringCase(Text, "YES"); }

std::string CharToText(AnsiChar Ch) {
  if (Ch >= 33 && Ch <= 127) return std::string(1, static_cast<char>(Ch));
  std::string text = "#";
  text += std::to_string(static_cast<int>(Ch));
  return text;
}

AnsiChar TextToChar(std::string_view Text) {
  if (Text.empty()) return 0;
  if (Text.size() >= 2 && Text[0] == '#') {
    // A decimal number that fits 32 bits, with an optional sign; anything else is 0.
    auto digits = Text.substr(1);
    if (digits[0] == '+') {
      digits.remove_prefix(1);
      if (!digits.empty() && digits[0] == '-') return 0;
    }
    std::int32_t n = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n, 10);
    if (ec != std::errc() || end != digits.data() + digits.size()) return 0;
    return static_cast<AnsiChar>(static_cast<std::uint32_t>(n) & 0xFFu);
  }
  return static_cast<AnsiChar>(Text[0]);
}
