#include "PseudoTerminal.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>

#include <cerrno>
#include <system_error>

#include "SystemError.h"

namespace qv::sim {
namespace {

void MakeRaw(int fd) {
  termios t{};
  if (::tcgetattr(fd, &t) != 0) ThrowErrno("tcgetattr");
  ::cfmakeraw(&t);
  t.c_cflag |= CLOCAL | CREAD;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  ::cfsetispeed(&t, B57600);
  ::cfsetospeed(&t, B57600);
  if (::tcsetattr(fd, TCSANOW, &t) != 0) ThrowErrno("tcsetattr");
}

}  // namespace

PseudoTerminal PseudoTerminal::Open() {
  PseudoTerminal p;
  p.master_ = UniqueFd(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!p.master_.valid()) ThrowErrno("posix_openpt");
  if (::grantpt(p.master_.get()) != 0) ThrowErrno("grantpt");
  if (::unlockpt(p.master_.get()) != 0) ThrowErrno("unlockpt");
  char name[128];
  if (int err = ::ptsname_r(p.master_.get(), name, sizeof name); err != 0) {
    errno = err;
    ThrowErrno("ptsname_r");
  }
  p.slave_path_ = name;
  p.slave_ = UniqueFd(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!p.slave_.valid()) ThrowErrno("open pty slave");
  MakeRaw(p.slave_.get());
  MakeRaw(p.master_.get());
  const int flags = ::fcntl(p.master_.get(), F_GETFL);
  if (flags < 0 || ::fcntl(p.master_.get(), F_SETFL, flags | O_NONBLOCK) != 0) ThrowErrno("fcntl");
  return p;
}

}  // namespace qv::sim
