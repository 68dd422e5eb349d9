#pragma once
// The port's receive queue. Bytes are taken from the device into it (by the
// event thread, or by the reader when no thread runs), so a count or a read is
// served at once and the tty's level-triggered readiness is consumed as it
// fires. The queue stops taking bytes when it is full: the kernel then holds
// them and throttles the line, so nothing is dropped here.
//
// On the way in the queue undoes parity marking (PARMRK: FF FF stands for FF,
// FF 00 x for a damaged byte x, replaced by the error character when asked),
// drops NULs when asked, and notes the event character.
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

namespace qv {

struct InputFilter {
  bool unmark = false;
  bool replace = false;
  std::uint8_t replaceChar = 0;
  bool discardNull = false;
  std::uint8_t eventChar = 0;
};

class InputQueue {
 public:
  // The queue holds at least this much, whatever the configured size, so the
  // line keeps flowing between two reads.
  static constexpr std::size_t kMinCapacity = 16384;

  struct PumpResult {
    std::size_t added = 0;   // bytes that entered the queue
    bool eventChar = false;  // the event character was among them
    bool reached80 = false;  // the queue crossed 80 % of the configured size
    bool hungUp = false;     // the device is gone (read gave 0, EIO or ENXIO)
    int error = 0;           // any other read failure's errno
  };

  void Configure(const InputFilter& filter);
  // inputSize: the configured receive-queue size (its 80 % mark raises the
  // "nearly full" note; 0 or less: never).
  void SetInputSize(std::int32_t inputSize);

  // Reads what fd holds without waiting, as far as there is room.
  PumpResult Pump(int fd);
  // Adds bytes as if read from the device (also used by Pump).
  PumpResult Feed(const char* data, std::size_t size);

  [[nodiscard]] std::size_t Size() const;
  [[nodiscard]] bool Full() const;
  // Takes up to max bytes from the front into out, replacing what it held;
  // out keeps its storage, so a reader that reuses its string does not allocate.
  void Take(std::string& out, std::size_t max);
  // Forgets the queued bytes and any half-read mark.
  void Clear();

 private:
  std::size_t SizeLocked() const { return data_.size() - head_; }
  std::size_t CapacityLocked() const;
  void FeedLocked(const char* data, std::size_t size, PumpResult& result);
  void Append(std::uint8_t c, PumpResult& result);

  mutable std::mutex mutex_;
  std::string data_;
  std::size_t head_ = 0;
  InputFilter filter_;
  std::int32_t input_size_ = 1024;
  int mark_state_ = 0;  // bytes of a parity mark seen so far
};

}  // namespace qv
