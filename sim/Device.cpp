#include "Device.h"

#include <algorithm>

namespace qv::sim {

Device::Device(EngineModel& engine, FaultInjector& faults, Nanos start)
    : engine_(engine),
      faults_(faults),
      now_(start),
      cycle_end_(start + engine.CycleDuration()),
      chunk_(faults.NextChunkSize()),
      pause_(faults.NextPause()) {
  pacer_.Ready(start);
}

bool Device::Sending() const {
  return maxima_on_ || std::any_of(channels_.begin(), channels_.end(), [](bool on) { return on; });
}

std::size_t Device::QueuedBytes() const {
  std::size_t n = 0;
  for (const auto& p : queue_) n += p.bytes.size() - p.sent;
  return n;
}

void Device::Receive(std::string_view bytes, Nanos now) {
  now_ = std::max(now_, now);
  const bool was_sending = Sending();
  for (char c : bytes) {
    if (c == 'b') {
      maxima_on_ = true;
    } else if (c >= '1' && c <= '4') {
      channels_[c - '1'] = true;
    } else if (c == 'a') {
      Stop();
    } else {
      continue;
    }
    ++stats_.commands;
  }
  if (replay_ && replay_->Timed() && !was_sending && Sending()) replay_base_ = now_ - replay_->NextAt();
  RefillReplay();
}

void Device::Stop() {
  maxima_on_ = false;
  channels_.fill(false);
  // The frame on the line is finished; what has not begun is never sent.
  const auto begun = std::find_if(queue_.begin(), queue_.end(), [](const Pending& p) { return p.sent == 0; });
  stats_.frames_discarded += static_cast<std::uint64_t>(queue_.end() - begun);
  queue_.erase(begun, queue_.end());
}

void Device::Tick(Nanos now) {
  now_ = std::max(now_, now);
  const Nanos cycle = engine_.CycleDuration();
  if (now_ >= cycle_end_ + static_cast<Nanos>(kMaxCatchUpCycles) * cycle) {
    // Held up for long (a stopped process): skip the missed cycles.
    cycle_end_ = now_ - (now_ - cycle_end_) % cycle;
  }
  while (now_ >= cycle_end_) {
    RunCycle();
    cycle_end_ += cycle;
  }
  RefillReplay();
}

void Device::RunCycle() {
  const bool line_idle = queue_.empty();
  const Maxima maxima = engine_.RunCycle();
  if (replay_) return;
  if (maxima_on_) QueueMaxima(maxima);
  if (!line_idle) return;
  for (int i = 0; i < kChannels; ++i) {
    const int c = (next_channel_ + i) % kChannels;
    if (channels_[c]) {
      QueueChannel(c);
      next_channel_ = (c + 1) % kChannels;
      break;
    }
  }
}

void Device::QueueJunkMaybe() {
  if (!faults_.JunkNow()) return;
  std::string junk = faults_.Junk();
  LoggedFrame meta;
  meta.kind = FrameKind::kJunk;
  meta.end = false;
  Queue(std::move(junk), std::move(meta));
}

void Device::QueueMaxima(const Maxima& maxima) {
  QueueJunkMaybe();
  LoggedFrame meta;
  meta.kind = FrameKind::kMaxima;
  meta.maxima = maxima;
  std::string bytes = EncodeMaxima(maxima);
  if (faults_.DropEndNow()) {
    bytes.resize(bytes.size() - kEndTag.size());
    meta.end = false;
  }
  Queue(std::move(bytes), std::move(meta));
}

void Device::QueueChannel(int channel) {
  QueueJunkMaybe();
  LoggedFrame meta;
  meta.kind = FrameKind::kChannel;
  meta.channel_byte = faults_.BadChannelNow() ? faults_.BadChannelByte() : channel;
  meta.count_text = faults_.BadCountNow() ? faults_.BadCountText() : std::string();
  meta.samples = engine_.Waveform(channel);
  std::string bytes = EncodeChannel(static_cast<std::uint8_t>(meta.channel_byte), meta.samples, meta.count_text);
  meta.count_text = bytes.substr(kCountOffset, kCountSize);
  if (faults_.DropEndNow()) {
    bytes.resize(bytes.size() - kEndTag.size());
    meta.end = false;
  }
  Queue(std::move(bytes), std::move(meta));
}

void Device::Queue(std::string bytes, LoggedFrame meta) {
  if (QueuedBytes() + bytes.size() > kMaxBacklog) {
    ++stats_.frames_discarded;
    return;
  }
  if (queue_.empty()) pacer_.Ready(now_);
  meta.size = bytes.size();
  queue_.push_back(Pending{std::move(bytes), std::move(meta)});
}

void Device::RefillReplay() {
  if (!replay_ || !Sending()) return;
  const auto due = [this] {
    return replay_->Timed() ? replay_base_ + replay_->NextAt() <= now_ : QueuedBytes() < kNormalChunk;
  };
  while (due()) {
    const auto seg = replay_->Next();
    LoggedFrame meta;
    meta.kind = FrameKind::kReplay;
    meta.end = seg.end;
    Queue(std::string(seg.bytes), std::move(meta));
  }
}

void Device::Started(Pending& p) {
  p.meta.offset = offset_;
  switch (p.meta.kind) {
    case FrameKind::kMaxima: ++stats_.maxima_frames; break;
    case FrameKind::kChannel:
      ++stats_.channel_frames;
      if (p.meta.channel_byte > 3) ++stats_.bad_channels;
      if (p.meta.count_text.find_first_not_of("0123456789") != std::string::npos) ++stats_.bad_counts;
      break;
    case FrameKind::kJunk:
      ++stats_.junk_runs;
      stats_.junk_bytes += p.bytes.size();
      break;
    case FrameKind::kReplay: ++stats_.replay_segments; break;
  }
  if (!p.meta.end && p.meta.kind != FrameKind::kJunk && p.meta.kind != FrameKind::kReplay) ++stats_.dropped_ends;
  if (log_) log_(p.meta);
}

Nanos Device::NextDeadline() const {
  Nanos next = cycle_end_;
  if (replay_ && replay_->Timed() && Sending()) next = std::min(next, replay_base_ + replay_->NextAt());
  if (!queue_.empty()) next = std::min(next, pacer_.DueTime(std::min(chunk_, QueuedBytes()), pause_));
  return next;
}

std::string Device::TakeDue(Nanos now) {
  now_ = std::max(now_, now);
  std::string out;
  if (queue_.empty()) return out;
  const std::size_t k = std::min(chunk_, QueuedBytes());
  if (now_ < pacer_.DueTime(k, pause_)) return out;
  while (out.size() < k) {
    Pending& p = queue_.front();
    if (p.sent == 0) Started(p);
    const std::size_t n = std::min(k - out.size(), p.bytes.size() - p.sent);
    out.append(p.bytes, p.sent, n);
    p.sent += n;
    offset_ += n;
    if (p.sent == p.bytes.size()) queue_.pop_front();
  }
  stats_.bytes_sent += out.size();
  pacer_.Delivered(now_);
  chunk_ = faults_.NextChunkSize();
  pause_ = faults_.NextPause();
  RefillReplay();
  return out;
}

}  // namespace qv::sim
