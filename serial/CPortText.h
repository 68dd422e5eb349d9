#pragma once
// The texts of the port's settings as they are stored and listed: one name per
// enumeration member in ordinal order, the Boolean form "Yes"/"No" and the
// character form (printable codes as themselves, every other code as "#" and
// its decimal number). Reading compares without regard to case and falls back
// to a fixed member for a text that is not in the list.
#include <array>
#include <string>
#include <string_view>

#include "CPortTypes.h"

inline constexpr std::array<std::string_view, 16> kBaudRateTexts = {
    "Custom", "110",   "300",   "600",   "1200",  "2400",   "4800",   "9600",
    "14400",  "19200", "38400", "56000", "57600", "115200", "128000", "256000"};
inline constexpr std::array<std::string_view, 3> kStopBitsTexts = {"1", "1.5", "2"};
inline constexpr std::array<std::string_view, 4> kDataBitsTexts = {"5", "6", "7", "8"};
inline constexpr std::array<std::string_view, 5> kParityTexts = {"None", "Odd", "Even", "Mark", "Space"};
inline constexpr std::array<std::string_view, 4> kFlowControlTexts = {"Hardware", "Software", "None", "Custom"};
inline constexpr std::array<std::string_view, 3> kDTRTexts = {"Disable", "Enable", "Handshake"};
inline constexpr std::array<std::string_view, 4> kRTSTexts = {"Disable", "Enable", "Handshake", "Toggle"};

// An ordinal outside the enumeration gives an empty text.
std::string BaudRateToText(TBaudRate BaudRate);
std::string StopBitsToText(TStopBits StopBits);
std::string DataBitsToText(TDataBits DataBits);
std::string ParityToText(TParityBits Parity);
std::string FlowControlToText(TFlowControl FlowControl);
std::string DTRToText(TDTRFlowControl DTR);
std::string RTSToText(TRTSFlowControl RTS);

// Texts not in the list give br9600, sbOneStopBit, dbEight, prNone, fcCustom,
// dtrDisable and rtsDisable.
TBaudRate TextToBaudRate(std::string_view Text);
TStopBits TextToStopBits(std::string_view Text);
TDataBits TextToDataBits(std::string_view Text);
TParityBits TextToParity(std::string_view Text);
TFlowControl TextToFlowControl(std::string_view Text);
TDTRFlowControl TextToDTR(std::string_view Text);
TRTSFlowControl TextToRTS(std::string_view Text);

// "Yes" / "No"; reading is true exactly for "YES" in any case.
std::string BoolToText(bool Value);
bool TextToBool(std::string_view Text);

// Codes 33..127 as themselves, every other code as "#" and its decimal number.
std::string CharToText(AnsiChar Ch);
// "" gives 0; "#" and a decimal number gives the number's low 8 bits (0 when
// what follows "#" is not a number); any other text, "#" alone included,
// gives its first character.
AnsiChar TextToChar(std::string_view Text);
