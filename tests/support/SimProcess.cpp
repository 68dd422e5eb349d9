#include "SimProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>
#include <system_error>

#include "SystemError.h"

extern char** environ;

namespace simtest {
namespace {

using Clock = std::chrono::steady_clock;

// Waits up to `wait` for fd to be readable; appends what is there. False at end of file or timeout.
bool ReadInto(int fd, std::string& into, milliseconds wait) {
  pollfd p{fd, POLLIN, 0};
  if (::poll(&p, 1, static_cast<int>(wait.count())) <= 0) return false;
  char buf[4096];
  const ssize_t n = ::read(fd, buf, sizeof buf);
  if (n <= 0) return false;
  into.append(buf, static_cast<std::size_t>(n));
  return true;
}

std::size_t Count(const std::string& hay, const std::string& needle) {
  std::size_t n = 0;
  for (auto p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + 1)) ++n;
  return n;
}

}  // namespace

SimProcess::SimProcess(const std::vector<std::string>& args) {
  int out[2], err[2];
  if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) qv::ThrowErrno("pipe2");
  std::vector<std::string> all{QV_SIM_EXE};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&fa, out[1], 1);
  posix_spawn_file_actions_adddup2(&fa, err[1], 2);
  const int rc = ::posix_spawn(&pid_, QV_SIM_EXE, &fa, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  ::close(out[1]);
  ::close(err[1]);
  out_fd_ = out[0];
  err_fd_ = err[0];
  if (rc != 0) {
    errno = rc;
    qv::ThrowErrno("posix_spawn");
  }
}

SimProcess::~SimProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  if (out_fd_ >= 0) ::close(out_fd_);
  if (err_fd_ >= 0) ::close(err_fd_);
}

std::string SimProcess::ReadStdoutLine() {
  const auto deadline = Clock::now() + kPatience;
  for (;;) {
    if (const auto eol = out_.find('\n', line_pos_); eol != std::string::npos) {
      std::string line = out_.substr(line_pos_, eol - line_pos_);
      line_pos_ = eol + 1;
      return line;
    }
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
    if (left.count() <= 0 || !ReadInto(out_fd_, out_, left)) return {};
  }
}

void SimProcess::Signal(int sig) const { ::kill(pid_, sig); }

int SimProcess::Finish() {
  // Both outputs reach their end when the child has exited.
  const auto deadline = Clock::now() + kPatience;
  pollfd fds[2] = {{out_fd_, POLLIN, 0}, {err_fd_, POLLIN, 0}};
  std::string* sinks[2] = {&out_, &err_};
  while ((fds[0].fd >= 0 || fds[1].fd >= 0) && Clock::now() < deadline) {
    if (::poll(fds, 2, 100) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buf[4096];
      const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
      if (n > 0)
        sinks[i]->append(buf, static_cast<std::size_t>(n));
      else
        fds[i].fd = -1;
    }
  }
  int status = 0;
  if (::waitpid(pid_, &status, 0) != pid_) qv::ThrowErrno("waitpid");
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

RunResult RunSim(const std::vector<std::string>& args) {
  SimProcess p(args);
  const int status = p.Finish();
  return {status, p.Stdout(), p.Stderr()};
}

DeviceLine::DeviceLine(const std::string& path)
    : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
  if (fd_ < 0) qv::ThrowErrno("open device");
  termios t{};
  if (::tcgetattr(fd_, &t) != 0) qv::ThrowErrno("tcgetattr");
  ::cfmakeraw(&t);
  ::cfsetispeed(&t, B57600);
  ::cfsetospeed(&t, B57600);
  if (::tcsetattr(fd_, TCSANOW, &t) != 0) qv::ThrowErrno("tcsetattr");
}

DeviceLine::~DeviceLine() { ::close(fd_); }

void DeviceLine::Write(const std::string& bytes) const {
  if (::write(fd_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) qv::ThrowErrno("write device");
}

bool DeviceLine::ReadSome(std::string& into, milliseconds wait) { return ReadInto(fd_, into, wait); }

std::string DeviceLine::ReadUntil(const std::string& needle, int times) {
  std::string got;
  const auto deadline = Clock::now() + kPatience;
  while (Count(got, needle) < static_cast<std::size_t>(times) && Clock::now() < deadline) {
    ReadSome(got, milliseconds(100));
  }
  return got;
}

std::string DeviceLine::ReadFor(milliseconds window) {
  std::string got;
  const auto deadline = Clock::now() + window;
  for (auto left = window; left.count() > 0; left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now())) {
    ReadSome(got, left);
  }
  return got;
}

std::string DeviceLine::Drain(milliseconds quiet) {
  std::string got;
  const auto deadline = Clock::now() + kPatience;
  while (Clock::now() < deadline && ReadSome(got, quiet)) {
  }
  return got;
}

}  // namespace simtest
