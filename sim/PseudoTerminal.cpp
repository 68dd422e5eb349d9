#include "PseudoTerminal.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>

#include <cerrno>
#include <system_error>

namespace qv::sim {
namespace {

[[noreturn]] void Fail(const char* what) { throw std::system_error(errno, std::generic_category(), what); }

void MakeRaw(int fd) {
  termios t{};
  if (::tcgetattr(fd, &t) != 0) Fail("tcgetattr");
  ::cfmakeraw(&t);
  t.c_cflag |= CLOCAL | CREAD;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  ::cfsetispeed(&t, B57600);
  ::cfsetospeed(&t, B57600);
  if (::tcsetattr(fd, TCSANOW, &t) != 0) Fail("tcsetattr");
}

}  // namespace

PseudoTerminal PseudoTerminal::Open() {
  PseudoTerminal p;
  p.master_ = UniqueFd(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!p.master_.valid()) Fail("posix_openpt");
  if (::grantpt(p.master_.get()) != 0) Fail("grantpt");
  if (::unlockpt(p.master_.get()) != 0) Fail("unlockpt");
  char name[128];
  if (int err = ::ptsname_r(p.master_.get(), name, sizeof name); err != 0) {
    errno = err;
    Fail("ptsname_r");
  }
  p.slave_path_ = name;
  p.slave_ = UniqueFd(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!p.slave_.valid()) Fail("open pty slave");
  MakeRaw(p.slave_.get());
  MakeRaw(p.master_.get());
  const int flags = ::fcntl(p.master_.get(), F_GETFL);
  if (flags < 0 || ::fcntl(p.master_.get(), F_SETFL, flags | O_NONBLOCK) != 0) Fail("fcntl");
  return p;
}

}  // namespace qv::sim
