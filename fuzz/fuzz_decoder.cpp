// Feeds arbitrary bytes through the receive handler as a series of receive
// events and checks the decoder's promises after each one.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "CapturePort.h"
#include "Decoder.h"

namespace {

// The cutting rules searched from scratch on every event: the handler, which
// remembers how far it has searched, must cut exactly the same frames.
struct Reference {
  std::string in, frame;
  int frames = 0, writes = 0;
  void Event(std::string_view bytes) {
    in.append(bytes);
    if (in.find("MUXA") != std::string::npos) {
      if (const std::size_t e = in.find("End_Data"); e != std::string::npos) {
        frame = in.substr(0, e + 8);
        in.erase(0, e + 8);
        ++frames;
        if (in.find("MUXA#Maxima") != std::string::npos) ++writes;
      }
    }
    if (in.size() > 2000) in.clear();
  }
};

void Check(bool ok) {
  if (!ok) std::abort();
}

// Size codes below 200 give events of 1..200 bytes; the others 64..3584 bytes,
// enough to push a frame past both arrays in one go.
int EventSize(std::uint8_t code) { return code < 200 ? code + 1 : (code - 199) * 64; }

}  // namespace

// Input: one byte n, then (n % 8) + 1 size codes used in turn, then the stream.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t codes = bytes[0] % 8 + 1;
  if (size < 1 + codes) return 0;
  const std::uint8_t* code = bytes + 1;

  qv::CapturePort port(std::string(reinterpret_cast<const char*>(bytes + 1 + codes), size - 1 - codes));
  TMeasurement state;
  int frames = 0;
  TFrameDecoder decoder(state, port, [&frames] { ++frames; });
  Reference ref;

  for (std::size_t event = 0; port.Remaining() > 0; ++event) {
    const int before = frames;
    decoder.ComPort1RxChar(EventSize(code[event % codes]));
    ref.Event(port.LastRead());
    Check(state.INSTRING.size() <= qv::kMaxInString);
    Check(state.INSTRING == ref.in && state.DATASTRING == ref.frame);
    Check(frames == ref.frames && static_cast<int>(port.Writes().size()) == ref.writes);
    Check(frames - before <= 1);
    if (frames == before) continue;
    Check(std::string_view(state.DATASTRING).ends_with("End_Data"));
    const qv::FrameReport& r = decoder.LastFrame();
    for (int c = 0; c < TMeasurement::kChannels; ++c) {
      if (r.channel == qv::RecordOutcome::kDecoded && r.channel_number == c) continue;
      Check(state.CHANNEL_DATA[c][0] == state.MAXIMA[c] - 100);
    }
    if (r.channel == qv::RecordOutcome::kDecoded) Check(state.SAMPLE_COUNT == r.sample_count);
  }
  return 0;
}
