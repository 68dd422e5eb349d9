#include "MainWindowTestSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace qvtest {

FakeDevice::FakeDevice() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) throw std::runtime_error("no pseudo-terminal");
  slave_ = ptsname(master_);
}

FakeDevice::~FakeDevice() { Unplug(); }

void FakeDevice::Write(const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno != EAGAIN && errno != EINTR) throw std::runtime_error("write to the pseudo-terminal failed");
    if (n > 0) done += static_cast<std::size_t>(n);
  }
}

const std::string& FakeDevice::Received() {
  char buf[256];
  for (;;) {
    const ssize_t n = master_ < 0 ? -1 : ::read(master_, buf, sizeof buf);
    if (n <= 0) break;
    received_.append(buf, static_cast<std::size_t>(n));
  }
  return received_;
}

bool FakeDevice::WaitForReceived(std::size_t n) {
  return WaitFor([&] { return Received().size() >= n; });
}

bool FakeDevice::ReadUntil(std::size_t n) {
  QElapsedTimer t;
  t.start();
  while (Received().size() < n) {
    const qint64 left = 10000 - t.elapsed();
    if (left <= 0 || master_ < 0) return false;
    pollfd p{master_, POLLIN, 0};
    ::poll(&p, 1, static_cast<int>(left));
  }
  return true;
}

void FakeDevice::Unplug() {
  if (master_ >= 0) ::close(master_);
  master_ = -1;
}

QStringList MenuItems(const QMenuBar* bar, int i) {
  QStringList t;
  for (QAction* a : bar->actions()[i]->menu()->actions()) t << a->text();
  return t;
}

std::string MaximaFrame(int m0, int m1, int m2, int m3) {
  std::string f = "MUXA#Maxima";
  for (int m : {m0, m1, m2, m3}) {
    f += static_cast<char>(m & 0xFF);
    f += static_cast<char>((m >> 8) & 0xFF);
  }
  return f + "End_Data";
}

}  // namespace qvtest
