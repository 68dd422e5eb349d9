#include "PulseServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

extern char** environ;

namespace qvtest {
namespace {

using namespace std::chrono_literals;

pid_t Spawn(const std::vector<std::string>& args, int stdoutFd) {
  std::vector<std::string> all = args;
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
  if (stdoutFd >= 0)
    posix_spawn_file_actions_adddup2(&fa, stdoutFd, 1);
  else
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int rc = ::posix_spawnp(&pid, all[0].c_str(), &fa, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  return rc == 0 ? pid : -1;
}

// Ends a child: SIGTERM, then SIGKILL when it has not gone after `patience`.
void End(pid_t& pid, std::chrono::milliseconds patience) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (::waitpid(pid, nullptr, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
      break;
    }
    std::this_thread::sleep_for(10ms);
  }
  pid = -1;
}

bool Connects(const std::filesystem::path& socket) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, socket.c_str(), sizeof addr.sun_path - 1);
  const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  ::close(fd);
  return ok;
}

std::string Tail(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::stringstream s;
  s << in.rdbuf();
  const std::string all = s.str();
  return all.size() > 2000 ? all.substr(all.size() - 2000) : all;
}

}  // namespace

PulseServer::PulseServer(const std::filesystem::path& folder)
    : folder_(folder), socket_(folder / "native"), log_(folder / "pulseaudio.log") {
  std::filesystem::create_directories(folder_ / "home");
  std::filesystem::create_directories(folder_ / "runtime");
  std::filesystem::permissions(folder_ / "runtime", std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::replace);
  // The server and every client of this process keep to the folder: no
  // cookie, state or socket of the real user's is read or written.
  setenv("HOME", (folder_ / "home").c_str(), 1);
  setenv("XDG_RUNTIME_DIR", (folder_ / "runtime").c_str(), 1);
  setenv("PULSE_RUNTIME_PATH", (folder_ / "runtime").c_str(), 1);
  setenv("PULSE_STATE_PATH", (folder_ / "home").c_str(), 1);
  unsetenv("PULSE_SERVER");
  // Run as root here: --system=false keeps it a per-user server all the same.
  pid_ = Spawn({"pulseaudio", "-n", "--daemonize=no", "--system=false", "--exit-idle-time=-1", "--disallow-exit",
                "--use-pid-file=no", "--log-target=file:" + log_.string(), "-L",
                std::string("module-null-sink sink_name=") + kSink + " rate=48000 channels=1", "-L",
                "module-native-protocol-unix auth-anonymous=1 socket=" + socket_.string()},
               -1);
  if (pid_ <= 0) {
    failure_ = "pulseaudio could not be started (is the package pulseaudio installed?)";
    return;
  }
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!Connects(socket_)) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      failure_ = "pulseaudio ended at start (status " + std::to_string(status) + "):\n" + Tail(log_);
      return;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      Kill();
      failure_ = "pulseaudio did not take connections within 10 s:\n" + Tail(log_);
      return;
    }
    std::this_thread::sleep_for(20ms);
  }
  setenv("PULSE_SERVER", Address().c_str(), 1);
}

PulseServer::~PulseServer() {
  Kill();
  unsetenv("PULSE_SERVER");  // nothing after it reaches for a server that is gone
}

void PulseServer::Kill() { End(pid_, 5000ms); }

Recorder::Recorder(const std::string& server) {
  int p[2];
  if (::pipe2(p, O_CLOEXEC) != 0) return;
  pid_ = Spawn({"parec", "--server=" + server, "--device=" + std::string(PulseServer::kSink) + ".monitor", "--raw",
                "--format=s16le", "--rate=48000", "--channels=1", "--latency-msec=5"},
               p[1]);
  ::close(p[1]);
  fd_ = p[0];
  if (pid_ <= 0) return;
  reader_ = std::thread([this] { Read(); });
}

Recorder::~Recorder() { Stop(); }

void Recorder::Read() {
  std::vector<char> buf(4096);
  std::string carry;
  for (;;) {
    const ssize_t n = ::read(fd_, buf.data(), buf.size());
    if (n <= 0) return;
    const auto now = Clock::now();
    carry.append(buf.data(), static_cast<std::size_t>(n));
    std::lock_guard lock(mutex_);
    std::size_t i = 0;
    for (; i + 1 < carry.size(); i += 2) {
      std::int16_t v;
      std::memcpy(&v, carry.data() + i, 2);
      samples_.push_back(static_cast<float>(v) / 32768.0f);
    }
    carry.erase(0, i);
    chunks_.push_back({now, samples_.size()});
  }
}

bool Recorder::WaitFor(std::size_t samples, std::chrono::milliseconds patience) {
  const auto deadline = Clock::now() + patience;
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (samples_.size() >= samples) return true;
    }
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(5ms);
  }
}

std::vector<float> Recorder::Samples() const {
  std::lock_guard lock(mutex_);
  return samples_;
}

std::vector<Recorder::Chunk> Recorder::Chunks() const {
  std::lock_guard lock(mutex_);
  return chunks_;
}

void Recorder::Stop() {
  End(pid_, 2000ms);  // its end closes the pipe, which ends the reader
  if (reader_.joinable()) reader_.join();
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace qvtest
