#pragma once
// Sits between the receive handler and its port: every read and write is
// passed on unchanged, and while a listener is set it is handed each read's
// bytes exactly as the handler gets them (recording uses it). A failing read
// hands over nothing. Without a listener it costs one test per read.
#include <functional>
#include <string>
#include <string_view>

#include "ComPortIO.h"

namespace qv {

class TReadTap : public TComPortIO {
 public:
  explicit TReadTap(TComPortIO& port) : port_(port) {}

  int ReadString(std::string& Str, int Count) override {
    const int n = port_.ReadString(Str, Count);
    if (n > 0 && OnRead) OnRead(std::string_view(Str).substr(0, static_cast<std::size_t>(n)));
    return n;
  }
  int WriteString(const std::string& Str) override { return port_.WriteString(Str); }

  std::function<void(std::string_view)> OnRead;

 private:
  TComPortIO& port_;
};

}  // namespace qv
