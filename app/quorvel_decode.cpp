// quorvel-decode: replays a recording or a raw capture of the device's byte
// stream through the same receive handler the main window uses, and shows
// what it decoded.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "CapturePort.h"
#include "CsvExport.h"
#include "DecodeCliOptions.h"
#include "DecodeCliOutput.h"
#include "Decoder.h"
#include "RecordingReader.h"

namespace {

constexpr int kBadInput = 2;

int Fail(const std::string& message) {
  std::cerr << "quorvel-decode: " << message << '\n';
  return kBadInput;
}

// The receive events: a recording's own, or sizes from the command line.
std::vector<std::size_t> Events(const qv::DecodeCliOptions& options, const qv::rec::Recording& recording) {
  if (recording.kind == qv::rec::Recording::Kind::kRawCapture || options.sizes_given)
    return qv::EventSizes(options, recording.bytes.size());
  std::vector<std::size_t> events;
  events.reserve(recording.records.size());
  for (const auto& r : recording.records) events.push_back(r.size);
  return events;
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

  qv::rec::ReadResult read = qv::rec::ReadRecording(options.file);
  if (!read.recording) return Fail(read.error);
  qv::rec::Recording& recording = *read.recording;
  if (recording.damaged_at) std::cerr << "quorvel-decode: warning: " << recording.damage << '\n';

  if (options.csv) {
    std::cout << qv::rec::ExportCsv(recording, *qv::rec::ParseReference(options.reference));
    std::cout.flush();
    return std::cout ? 0 : 1;
  }

  const std::vector<std::size_t> events = Events(options, recording);
  qv::CapturePort port(std::move(recording.bytes));
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
