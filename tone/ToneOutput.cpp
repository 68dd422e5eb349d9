#include "ToneOutput.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <chrono>
#include <cmath>
#include <vector>

#include "ToneGenerator.h"

namespace qv::tone {

ToneOutput::ToneOutput(OutputOptions options) : options_(std::move(options)) {}

ToneOutput::~ToneOutput() {
  OnStatus = nullptr;  // the owner is going away: nothing to tell
  Stop();
}

void ToneOutput::Start() {
  if (thread_.joinable()) {
    if (status_ == OutputStatus::kStarting || status_ == OutputStatus::kPlaying) return;
    thread_.join();  // a failed run has ended by itself
  }
  stop_ = false;
  SetStatus(OutputStatus::kStarting);
  thread_ = std::thread([this] { Run(); });
}

void ToneOutput::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (status_ != OutputStatus::kUnavailable) SetStatus(OutputStatus::kStopped);
}

void ToneOutput::SetInput(const GuidanceInput& input) {
  std::lock_guard lock(mutex_);
  input_ = input;
}

void ToneOutput::SetVolume(double volume) {
  std::lock_guard lock(mutex_);
  volume_ = volume;
}

std::string ToneOutput::Error() const {
  std::lock_guard lock(mutex_);
  return error_;
}

void ToneOutput::SetStatus(OutputStatus s, const std::string& error) {
  {
    std::lock_guard lock(mutex_);
    error_ = error;
  }
  if (status_.exchange(s) != s && OnStatus) OnStatus(s);
}

void ToneOutput::Run() {
  ToneGenerator gen(options_.sampleRate);
  const std::size_t block = gen.BlockSamples();
  const auto bytes = [](double seconds, int rate) {
    return static_cast<std::uint32_t>(std::lround(seconds * rate) * sizeof(std::int16_t));
  };

  pa_sample_spec sampleFormat{};
  sampleFormat.format = PA_SAMPLE_S16LE;
  sampleFormat.rate = static_cast<std::uint32_t>(gen.SampleRate());
  sampleFormat.channels = 1;
  // A small target buffer bounds the delay from a decision to the ear; the
  // server asks for more once a block has played.
  pa_buffer_attr attr{};
  attr.maxlength = static_cast<std::uint32_t>(-1);
  attr.tlength = bytes(options_.bufferSeconds, gen.SampleRate());
  attr.prebuf = static_cast<std::uint32_t>(-1);
  attr.minreq = static_cast<std::uint32_t>(block * sizeof(std::int16_t));
  attr.fragsize = static_cast<std::uint32_t>(-1);

  int err = 0;
  pa_simple* pa = pa_simple_new(options_.server.empty() ? nullptr : options_.server.c_str(), options_.appName.c_str(),
                                PA_STREAM_PLAYBACK, nullptr, "Guidance tone", &sampleFormat, nullptr, &attr, &err);
  if (!pa) {
    SetStatus(OutputStatus::kUnavailable, pa_strerror(err));
    return;
  }
  SetStatus(OutputStatus::kPlaying);

  std::vector<std::int16_t> pcm(block);
  int blocks = 0;
  while (!stop_) {
    {
      std::lock_guard lock(mutex_);
      gen.SetInput(input_);
      gen.SetVolume(volume_);
    }
    gen.Render(pcm.data(), pcm.size());
    // Blocks until the server has room: this is what paces the thread.
    if (pa_simple_write(pa, pcm.data(), pcm.size() * sizeof(std::int16_t), &err) < 0) {
      pa_simple_free(pa);
      SetStatus(OutputStatus::kUnavailable, pa_strerror(err));
      return;
    }
    if (++blocks % 20 == 0) {
      const pa_usec_t us = pa_simple_get_latency(pa, &err);
      if (us != static_cast<pa_usec_t>(-1)) latency_ = static_cast<double>(us) / 1e6;
    }
  }
  // No drain: a stopped tone stops now.
  pa_simple_flush(pa, &err);
  pa_simple_free(pa);
}

}  // namespace qv::tone
