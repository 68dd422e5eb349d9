#include "EComPort.h"

#include <array>

#include "CPortTr.h"

namespace {
constexpr std::array<const char*, kComErrorCount> kTexts = {
    "Unable to open com port",
    "WriteFile function failed",
    "ReadFile function failed",
    "Invalid Async parameter",
    "PurgeComm function failed",
    "Unable to get async status",
    "SetCommState function failed",
    "SetCommTimeouts failed",
    "SetupComm function failed",
    "ClearCommError function failed",
    "GetCommModemStatus function failed",
    "EscapeCommFunction function failed",
    "TransmitCommChar function failed",
    "Cannot set property while connected",
    "EnumPorts function failed",
    "Failed to store settings",
    "Failed to load settings",
    "Link (un)registration failed",
    "Cannot change led state if ComPort is selected",
    "Cannot wait for event if event thread is created",
    "WaitForEvent method failed",
    "A component is linked to OnRxBuf event",
    "Registry error",
};

std::string FormatMessage(int code, int winCode) {
  QString msg = CPortTr(ComErrorText(code));
  if (winCode != EComPort::kNoWinCode) msg += CPortTr(" (win error code: %d)").replace("%d", QString::number(winCode));
  return msg.toStdString();
}
}  // namespace

const char* ComErrorText(int code) {
  if (code < 1 || code > kComErrorCount) return "";
  return kTexts[static_cast<std::size_t>(code - 1)];
}

EComPort::EComPort(int Code, int WinCode) : EComPort(Code, WinCode, std::string()) {}

EComPort::EComPort(int Code, int WinCode, std::string Cause)
    : std::runtime_error(FormatMessage(Code, WinCode)), code_(Code), win_code_(WinCode), cause_(std::move(Cause)) {}
