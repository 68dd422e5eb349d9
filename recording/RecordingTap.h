#pragma once
// Sits between the receive handler and its port: every read is passed on
// unchanged and, while the writer records, its bytes are appended to the
// recording exactly as the handler gets them. A failing read records nothing.
#include <string>
#include <string_view>

#include "ComPortIO.h"
#include "RecordingWriter.h"

namespace qv::rec {

class RecordingTap : public TComPortIO {
 public:
  RecordingTap(TComPortIO& port, RecordingWriter& writer) : port_(port), writer_(writer) {}

  int ReadString(std::string& Str, int Count) override {
    const int n = port_.ReadString(Str, Count);
    if (n > 0 && writer_.Recording()) writer_.Append(std::string_view(Str).substr(0, static_cast<std::size_t>(n)));
    return n;
  }
  int WriteString(const std::string& Str) override { return port_.WriteString(Str); }

 private:
  TComPortIO& port_;
  RecordingWriter& writer_;
};

}  // namespace qv::rec
