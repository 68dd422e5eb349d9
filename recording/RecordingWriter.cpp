#include "RecordingWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

namespace qv::rec {
namespace {

// A batch this large wakes the writer before its next flush is due.
constexpr std::size_t kEarlyWrite = 256 * 1024;
constexpr int kMaxNameTries = 1000;

}  // namespace

std::string RecordingFileName(std::chrono::system_clock::time_point start_utc, int n) {
  const std::time_t t = std::chrono::system_clock::to_time_t(start_utc);
  std::tm tm{};
  ::gmtime_r(&t, &tm);
  char name[64];
  std::snprintf(name, sizeof name, "quorvel-%04d-%02d-%02dT%02d-%02d-%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  std::string out = name;
  if (n > 1) {
    out += '-';
    out += std::to_string(n);
  }
  return out + ".qvrec";
}

RecordingWriter::~RecordingWriter() { Stop(); }

bool RecordingWriter::Start(const std::filesystem::path& folder, const LineSettings& line,
                            std::chrono::system_clock::time_point start_utc) {
  Stop();
  std::lock_guard lock(mutex_);
  status_ = WriterStatus{};
  const auto fail = [&](Problem problem) {
    status_.failed = true;
    status_.problem = std::move(problem);
    status_.message = ProblemText(status_.problem, Language::English);
    return false;
  };
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return fail({.kind = Problem::Kind::kCannotMakeFolder, .file = folder.string(), .detail = ec.message()});

  std::filesystem::path path;
  for (int n = 1; n <= kMaxNameTries && !fd_.valid(); ++n) {
    path = folder / RecordingFileName(start_utc, n);
    fd_.reset(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!fd_.valid() && errno != EEXIST)
      return fail({.kind = Problem::Kind::kCannotCreate, .file = path.string(), .err = errno});
  }
  if (!fd_.valid()) return fail({.kind = Problem::Kind::kNoFreeName, .file = folder.string()});
  status_.file = path;

  Header header;
  header.start_utc_us = std::chrono::duration_cast<std::chrono::microseconds>(start_utc.time_since_epoch()).count();
  header.line = line;
  pending_ = EncodeHeader(header);
  stopping_ = false;
  start_ = Clock::now();
  status_.recording = true;
  accepting_.store(true, std::memory_order_release);
  thread_ = std::thread(&RecordingWriter::Run, this);
  return true;
}

void RecordingWriter::Append(std::string_view bytes, Clock::time_point now) {
  if (!accepting_.load(std::memory_order_relaxed) || bytes.empty()) return;
  std::lock_guard lock(mutex_);
  if (!accepting_.load(std::memory_order_relaxed)) return;
  const auto us = std::chrono::duration_cast<std::chrono::microseconds>(now - start_).count();
  AppendRecord(pending_, static_cast<std::uint64_t>(us < 0 ? 0 : us), bytes);
  if (pending_.size() >= kEarlyWrite) wake_.notify_one();
}

void RecordingWriter::Stop() {
  {
    std::lock_guard lock(mutex_);
    if (!thread_.joinable()) return;
    stopping_ = true;
    accepting_.store(false, std::memory_order_relaxed);
  }
  wake_.notify_one();
  thread_.join();
  std::lock_guard lock(mutex_);
  fd_.reset();
  stopping_ = false;
  pending_.clear();
  status_.recording = false;
}

WriterStatus RecordingWriter::Status() const {
  std::lock_guard lock(mutex_);
  return status_;
}

void RecordingWriter::Run() {
  std::string batch;
  std::unique_lock lock(mutex_);
  while (true) {
    wake_.wait_for(lock, kFlushInterval, [this] { return stopping_ || pending_.size() >= kEarlyWrite; });
    batch.clear();
    batch.swap(pending_);
    const bool stop = stopping_;
    lock.unlock();
    const bool ok = WriteOut(batch);
    lock.lock();
    if (!ok || stop) return;
  }
}

bool RecordingWriter::WriteOut(const std::string& bytes) {
  if (bytes.empty()) return true;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd_.get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      Fail(errno, Problem::Kind::kWriteFailed);
      if (on_failure_) on_failure_();
      return false;
    }
    done += static_cast<std::size_t>(n);
    std::lock_guard lock(mutex_);
    status_.bytes_written += static_cast<std::uint64_t>(n);
  }
  if (::fdatasync(fd_.get()) != 0 && errno != EINVAL && errno != EROFS) {
    Fail(errno, Problem::Kind::kFlushFailed);
    if (on_failure_) on_failure_();
    return false;
  }
  return true;
}

void RecordingWriter::Fail(int err, Problem::Kind what) {
  std::lock_guard lock(mutex_);
  accepting_.store(false, std::memory_order_relaxed);
  pending_.clear();
  status_.recording = false;
  status_.failed = true;
  status_.problem = {.kind = what, .file = status_.file.string(), .err = err};
  status_.message = ProblemText(status_.problem, Language::English);
}

}  // namespace qv::rec
