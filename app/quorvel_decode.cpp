// quorvel-decode: replays a capture of the device's byte stream through the
// same receive handler the main window uses, and shows what it decoded.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CapturePort.h"
#include "DecodeCliOptions.h"
#include "DecodeCliOutput.h"
#include "Decoder.h"

namespace {

constexpr int kBadInput = 2;

int Fail(const std::string& message) {
  std::cerr << "quorvel-decode: " << message << '\n';
  return kBadInput;
}

std::optional<std::string> ReadCapture(const std::string& path, std::string& error) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!f) {
    error = "cannot open " + path + ": " + std::strerror(errno);
    return std::nullopt;
  }
  std::string bytes;
  char chunk[65536];
  std::size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, f.get())) > 0) bytes.append(chunk, n);
  if (std::ferror(f.get())) {
    error = "cannot read " + path + ": " + std::strerror(errno);
    return std::nullopt;
  }
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  const qv::DecodeCliParse parsed = qv::ParseDecodeCli(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.error.empty()) return Fail(parsed.error);
  const qv::DecodeCliOptions& options = parsed.options;
  if (options.action == qv::DecodeCliOptions::Action::kHelp) {
    std::cout << qv::kDecodeCliUsage;
    return 0;
  }
  if (options.action == qv::DecodeCliOptions::Action::kVersion) {
    std::cout << "quorvel-decode " << QUORVEL_VERSION << '\n';
    return 0;
  }

  std::string error;
  std::optional<std::string> capture = ReadCapture(options.file, error);
  if (!capture) return Fail(error);
  const std::vector<std::size_t> events = qv::EventSizes(options, capture->size());

  qv::CapturePort port(std::move(*capture));
  auto state = std::make_unique<TMeasurement>();
  int frames = 0;
  TFrameDecoder decoder(*state, port, [&frames] { ++frames; });
  for (const std::size_t size : events) {
    const int framesBefore = frames;
    const std::size_t writesBefore = port.Writes().size();
    decoder.ComPort1RxChar(static_cast<int>(size));
    if (options.state) continue;
    if (frames != framesBefore) qv::PrintFrameLine(std::cout, frames, decoder.LastFrame(), *state);
    for (std::size_t w = writesBefore; w < port.Writes().size(); ++w) qv::PrintWriteLine(std::cout, port.Writes()[w]);
  }
  if (options.state) qv::PrintStateJson(std::cout, *state, frames, port.Writes());
  std::cout.flush();
  return std::cout ? 0 : 1;
}
