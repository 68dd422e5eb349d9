#include "Decoder.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

namespace {

constexpr std::string_view kFrameTag = "MUXA";
constexpr std::string_view kFrameEnd = "End_Data";
constexpr std::string_view kMaximaTag = "MUXA#Maxima";
constexpr std::string_view kChannelTag = "MUXA#Channel";

// Record layout, offsets from the first character of the tag.
constexpr std::size_t kMaximaValues = 11;  // 4 x 16-bit, low byte first
constexpr std::size_t kChannelByte = 12;
constexpr std::size_t kCountText = 20;  // 3 ASCII characters
constexpr std::size_t kSamples = 34;    // n x 16-bit, low byte first

constexpr std::size_t kLastIndex = TMeasurement::kInBufferSize - 1;
constexpr int kZeroedEntries = 261;           // a channel record clears entries 0..260
constexpr int kShiftedEntries = 200;          // the history step moves entries 0..199
constexpr std::int32_t kHistoryOffset = 100;  // history entries from maxima hold value - 100

// The count text: three characters, cut at the first zero byte. Leading
// spaces and one sign are accepted, then at least one digit and nothing else.
// Tabs and other white space are not taken as blanks.
std::optional<int> ParseCount(const std::uint8_t* text) {
  std::size_t len = 0;
  while (len < 3 && text[len] != 0) ++len;
  std::size_t i = 0;
  while (i < len && text[i] == ' ') ++i;
  bool negative = false;
  if (i < len && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i == len) return std::nullopt;
  int value = 0;
  for (; i < len; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

}  // namespace

TFrameDecoder::TFrameDecoder(TMeasurement& state, TComPortIO& port, FrameSignal onFrame)
    : state_(state), port_(port), on_frame_(std::move(onFrame)) {}

TMeasurement& TFrameDecoder::State() { return state_; }

void TFrameDecoder::ComPort1RxChar(int Count) {
  read_buffer_.clear();
  // A read error leaves here before the accumulator is touched.
  const int got = port_.ReadString(read_buffer_, std::max(Count, 0));
  const std::size_t n = std::min(read_buffer_.size(), static_cast<std::size_t>(std::max(got, 0)));
  std::string& in = state_.INSTRING;
  if (in.size() != known_size_) ForgetSearches();
  in.append(read_buffer_, 0, n);
  known_size_ = in.size();

  // The order of tag and end is not tested: bytes before a stray "End_Data"
  // form a frame of their own as soon as any tag has arrived.
  const std::string_view view(in);
  if (!tag_seen_) {
    tag_seen_ = view.find(kFrameTag, tag_from_) != std::string_view::npos;
    if (!tag_seen_) tag_from_ = view.size() - std::min(view.size(), kFrameTag.size() - 1);
  }
  if (tag_seen_) {
    const std::size_t e = view.find(kFrameEnd, end_from_);
    if (e == std::string_view::npos) {
      end_from_ = view.size() - std::min(view.size(), kFrameEnd.size() - 1);
    } else {
      const std::size_t frameEnd = e + kFrameEnd.size();
      state_.DATASTRING.assign(in, 0, frameEnd);
      in.erase(0, frameEnd);
      ForgetSearches();
      known_size_ = in.size();
      AUSGABE();
      // A further maxima record already waiting means the device ran ahead of
      // us; asking it to send again keeps it in step.
      if (std::string_view(in).find(kMaximaTag) != std::string_view::npos) port_.WriteString("b");
    }
  }
  if (in.size() > qv::kMaxInString) {
    in.clear();
    ForgetSearches();
    known_size_ = 0;
  }
}

void TFrameDecoder::ForgetSearches() {
  tag_from_ = 0;
  tag_seen_ = false;
  end_from_ = 0;
}

// INBUFFER holds 1001 bytes and CHANNEL_DATA 301 entries, while a frame can be
// longer than that. Only the first 1001 bytes of a frame are kept; a record
// whose fixed fields lie past index 1000 is dropped whole; samples are stored
// only while both the source bytes and the history entry exist. Everything
// inside the arrays decodes as usual, stale INBUFFER bytes included.
void TFrameDecoder::AUSGABE() {
  ++frames_;
  if (on_frame_) on_frame_();
  last_ = qv::FrameReport{};

  const std::string_view frame(state_.DATASTRING);
  const std::size_t copied = std::min(frame.size(), state_.INBUFFER.size());
  std::copy_n(reinterpret_cast<const std::uint8_t*>(frame.data()), copied, state_.INBUFFER.begin());

  if (const std::size_t p = frame.find(kMaximaTag); p != std::string_view::npos) DecodeMaxima(p);
  HistoryStep();
  if (const std::size_t p = frame.find(kChannelTag); p != std::string_view::npos) DecodeChannel(p);
  if (OnDecoded) OnDecoded(last_);
}

void TFrameDecoder::DecodeMaxima(std::size_t p) {
  if (p + kMaximaValues + 7 > kLastIndex) {
    last_.maxima = qv::RecordOutcome::kOutOfBounds;
    return;
  }
  const auto& in = state_.INBUFFER;
  for (std::size_t k = 0; k < TMeasurement::kChannels; ++k) {
    const std::size_t at = p + kMaximaValues + 2 * k;
    state_.MAXIMA[k] = in[at] + 256 * in[at + 1];
  }
  last_.maxima = qv::RecordOutcome::kDecoded;
  ++maxima_frames_;
}

void TFrameDecoder::HistoryStep() {
  for (std::size_t c = 0; c < TMeasurement::kChannels; ++c) {
    auto& history = state_.CHANNEL_DATA[c];
    // Entry 200 is lost; entries 201..300 belong to channel records only.
    std::copy_backward(history.begin(), history.begin() + kShiftedEntries, history.begin() + kShiftedEntries + 1);
    history[0] = state_.MAXIMA[c] - kHistoryOffset;
  }
}

void TFrameDecoder::DecodeChannel(std::size_t p) {
  if (p + kCountText + 2 > kLastIndex) {
    last_.channel = qv::RecordOutcome::kOutOfBounds;
    return;
  }
  const auto& in = state_.INBUFFER;
  const int ch = in[p + kChannelByte];
  last_.channel_number = ch;
  if (ch >= TMeasurement::kChannels) {
    last_.channel = qv::RecordOutcome::kBadChannel;
    return;
  }
  const std::optional<int> count = ParseCount(&in[p + kCountText]);
  if (!count) {
    last_.channel = qv::RecordOutcome::kBadCount;
    return;
  }
  state_.SAMPLE_COUNT = *count;
  auto& history = state_.CHANNEL_DATA[ch];
  std::fill_n(history.begin(), kZeroedEntries, 0);

  // Sample i needs INBUFFER[p + 35 + 2i] and CHANNEL_DATA[ch][i].
  int limit = 0;
  if (p + kSamples + 1 <= kLastIndex) limit = static_cast<int>((kLastIndex - (p + kSamples + 1)) / 2) + 1;
  limit = std::min({limit, TMeasurement::kHistorySize, std::max(*count, 0)});
  for (int i = 0; i < limit; ++i) {
    const std::size_t at = p + kSamples + 2 * static_cast<std::size_t>(i);
    history[i] = in[at] + 256 * in[at + 1];
  }
  last_.channel = qv::RecordOutcome::kDecoded;
  last_.sample_count = *count;
  last_.samples_stored = limit;
}
