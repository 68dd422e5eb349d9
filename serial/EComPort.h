#pragma once
// The port component's error: a message number (1..23) and the operating
// system's error code (-1 when there is none). On Linux WinCode carries errno.
#include <stdexcept>
#include <string>

class EComPort : public std::runtime_error {
 public:
  static constexpr int kNoWinCode = -1;

  // The message is the (translated) text of Code, followed by the translated
  // suffix " (win error code: %d)" when WinCode is not -1.
  explicit EComPort(int Code, int WinCode = kNoWinCode);
  // With the cause in words (which file, which line, why), for the error
  // report's detail; the message stays the text of Code.
  EComPort(int Code, int WinCode, std::string Cause);

  int Code() const { return code_; }
  int WinCode() const { return win_code_; }
  const std::string& Cause() const { return cause_; }

 private:
  int code_;
  int win_code_;
  std::string cause_;
};

// The untranslated text of message number code (1..23); an empty text for any
// other number.
const char* ComErrorText(int code);

// The number of message texts.
inline constexpr int kComErrorCount = 23;
