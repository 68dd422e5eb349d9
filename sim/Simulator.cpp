#include "Simulator.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <system_error>

#include "Device.h"
#include "Keys.h"
#include "PortAnnouncement.h"
#include "PseudoTerminal.h"
#include "TerminalKeys.h"
#include "SystemError.h"

namespace qv::sim {
namespace {

Nanos Now() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Whole milliseconds for poll(), rounded up so the loop never wakes before the deadline.
int PollTimeout(Nanos wait) {
  const Nanos ms = (std::max<Nanos>(0, wait) + kNanosPerMilli - 1) / kNanosPerMilli;
  return static_cast<int>(std::min<Nanos>(ms, 60'000));
}

// The termination signals arrive as readable data instead of interrupting.
UniqueFd BlockTerminationSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&set, s);
  if (::sigprocmask(SIG_BLOCK, &set, nullptr) != 0) ThrowErrno("sigprocmask");
  UniqueFd fd(::signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK));
  if (!fd.valid()) ThrowErrno("signalfd");
  ::signal(SIGPIPE, SIG_IGN);
  return fd;
}

void WriteAll(int fd, std::string_view s) {
  while (!s.empty()) {
    const ssize_t n = ::write(fd, s.data(), s.size());
    if (n <= 0) return;
    s.remove_prefix(static_cast<std::size_t>(n));
  }
}

void ShowStatus(const std::string& line) { WriteAll(STDERR_FILENO, "\r" + line + "\x1b[K"); }

}  // namespace

int RunSimulator(const SimOptions& options) {
  EngineConfig engine_config = options.engine;
  engine_config.seed =
      options.seed.value_or(static_cast<std::uint64_t>(Now()) ^ static_cast<std::uint64_t>(::getpid()));
  EngineModel engine(engine_config);
  FaultInjector faults(options.faults, engine_config.seed);
  std::optional<ReplaySource> replay;
  if (!options.replay.empty()) replay.emplace(ReplaySource::FromFile(options.replay));
  std::unique_ptr<FrameLog> log;
  if (!options.log.empty()) log = std::make_unique<FrameLog>(options.log);

  const UniqueFd signals = BlockTerminationSignals();
  const PseudoTerminal pty = PseudoTerminal::Open();
  const PortAnnouncement announced(AnnouncementPath(::getpid()), pty.SlavePath(), true);
  std::unique_ptr<PortAnnouncement> extra_link;
  if (!options.link.empty()) extra_link = std::make_unique<PortAnnouncement>(options.link, pty.SlavePath());

  // The path first and alone on its line: scripts and tests read it from here.
  std::printf("%s\n", pty.SlavePath().c_str());
  std::fflush(stdout);

  Device device(engine, faults, Now());
  if (replay) device.SetReplay(&*replay);
  if (log) device.SetLog([&log](const LoggedFrame& f) { log->Write(f); });

  const TerminalKeys terminal;
  KeyDecoder keys;
  MechanicHand hand(engine);
  if (terminal.Active()) ShowStatus(hand.Status());

  pollfd fds[3] = {{signals.get(), POLLIN, 0}, {pty.Master(), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
  nfds_t nfds = terminal.Active() ? 3 : 2;
  bool running = true;
  std::uint64_t handed_out = 0;  // bytes put on the line, lost ones included, as the log's offsets count them
  while (running) {
    Nanos now = Now();
    device.Tick(now);
    for (std::string out = device.TakeDue(now); !out.empty(); out = device.TakeDue(now)) {
      // Taken before the write: a reader woken by it may be done before write() returns.
      const Nanos handing = options.log_times ? Now() : 0;
      const ssize_t n = ::write(pty.Master(), out.data(), out.size());
      // Nobody reads and the pty is full: the bytes go out on the wire and are lost.
      const std::size_t written = n > 0 ? static_cast<std::size_t>(n) : 0;
      if (written < out.size()) device.Lost(out.size() - written);
      handed_out += out.size();
      // steady_clock is CLOCK_MONOTONIC, so a receiver on this machine can compare.
      if (options.log_times) log->WriteComment("t " + std::to_string(handed_out) + ' ' + std::to_string(handing));
    }
    if (::poll(fds, nfds, PollTimeout(device.NextDeadline() - Now())) < 0) {
      if (errno == EINTR) continue;
      ThrowErrno("poll");
    }
    if (fds[0].revents & POLLIN) running = false;
    if (fds[1].revents & POLLIN) {
      char buf[256];
      const ssize_t n = ::read(pty.Master(), buf, sizeof buf);
      if (n > 0) device.Receive(std::string_view(buf, static_cast<std::size_t>(n)), Now());
    }
    if (fds[1].revents & (POLLERR | POLLHUP | POLLNVAL)) {
      // Cannot happen while the simulator holds the slave; a loop that spins on it would be worse.
      errno = EIO;
      ThrowErrno("pseudo-terminal hung up");
    }
    if (nfds == 3 && fds[2].revents) {
      char buf[64];
      const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
      if (n <= 0) {
        nfds = 2;  // the terminal went away: no more keys
      } else {
        for (const KeyCommand& key : keys.Feed(std::string_view(buf, static_cast<std::size_t>(n)))) {
          const std::string status = hand.Apply(key);
          if (status.empty())
            running = false;
          else
            ShowStatus(status);
        }
      }
    }
  }
  if (terminal.Active()) WriteAll(STDERR_FILENO, "\n");
  if (options.stats) {
    std::fputs(FormatStats(device.Stats()).c_str(), stdout);
    std::fflush(stdout);
  }
  return 0;
}

}  // namespace qv::sim
