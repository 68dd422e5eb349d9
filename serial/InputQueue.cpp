#include "InputQueue.h"

#include <errno.h>
#include <unistd.h>

#include <algorithm>

namespace qv {

void InputQueue::Configure(const InputFilter& filter) {
  std::lock_guard lock(mutex_);
  if (!filter.unmark) mark_state_ = 0;
  filter_ = filter;
}

void InputQueue::SetInputSize(std::int32_t inputSize) {
  std::lock_guard lock(mutex_);
  input_size_ = inputSize;
}

std::size_t InputQueue::CapacityLocked() const {
  return std::max(kMinCapacity, static_cast<std::size_t>(std::max<std::int32_t>(input_size_, 0)));
}

InputQueue::PumpResult InputQueue::Pump(int fd) {
  PumpResult result;
  std::lock_guard lock(mutex_);
  char chunk[4096];
  while (SizeLocked() < CapacityLocked()) {
    const std::size_t room = std::min(sizeof chunk, CapacityLocked() - SizeLocked());
    const ssize_t n = ::read(fd, chunk, room);
    if (n > 0) {
      FeedLocked(chunk, static_cast<std::size_t>(n), result);
      continue;
    }
    if (n == 0) {
      result.hungUp = true;
    } else if (errno == EINTR) {
      continue;
    } else if (errno == EIO || errno == ENXIO || errno == ENODEV) {
      result.hungUp = true;
    } else if (errno != EAGAIN && errno != EWOULDBLOCK) {
      result.error = errno;
    }
    break;
  }
  return result;
}

InputQueue::PumpResult InputQueue::Feed(const char* data, std::size_t size) {
  PumpResult result;
  std::lock_guard lock(mutex_);
  FeedLocked(data, size, result);
  return result;
}

void InputQueue::FeedLocked(const char* data, std::size_t size, PumpResult& result) {
  const std::size_t before = SizeLocked();
  if (head_ > 0 && head_ >= data_.size() / 2) {
    data_.erase(0, head_);
    head_ = 0;
  }
  for (std::size_t i = 0; i < size; ++i) {
    auto c = static_cast<std::uint8_t>(data[i]);
    if (filter_.unmark) {
      if (mark_state_ == 0 && c == 0xFF) {
        mark_state_ = 1;
        continue;
      }
      if (mark_state_ == 1) {
        if (c == 0x00) {
          mark_state_ = 2;
          continue;
        }
        // FF FF stands for a plain FF; an FF followed by anything else was not
        // a mark (the filter came on mid-stream) and both bytes count.
        mark_state_ = 0;
        if (c != 0xFF) Append(0xFF, result);
      } else if (mark_state_ == 2) {
        mark_state_ = 0;  // the damaged byte
        if (filter_.replace) c = filter_.replaceChar;
      }
    }
    Append(c, result);
  }
  const std::size_t after = SizeLocked();
  result.added += after - before;
  if (input_size_ > 0) {
    const auto mark = static_cast<std::size_t>(input_size_) * 8 / 10;
    if (before < mark && after >= mark) result.reached80 = true;
  }
}

void InputQueue::Append(std::uint8_t c, PumpResult& result) {
  if (c == 0 && filter_.discardNull) return;
  if (c == filter_.eventChar) result.eventChar = true;
  data_.push_back(static_cast<char>(c));
}

std::size_t InputQueue::Size() const {
  std::lock_guard lock(mutex_);
  return SizeLocked();
}

bool InputQueue::Full() const {
  std::lock_guard lock(mutex_);
  return SizeLocked() >= CapacityLocked();
}

void InputQueue::Take(std::string& out, std::size_t max) {
  std::lock_guard lock(mutex_);
  const std::size_t n = std::min(max, SizeLocked());
  out.assign(data_, head_, n);
  head_ += n;
  if (head_ == data_.size()) {
    data_.clear();
    head_ = 0;
  }
}

void InputQueue::Clear() {
  std::lock_guard lock(mutex_);
  data_.clear();
  head_ = 0;
  mark_state_ = 0;
}

}  // namespace qv
