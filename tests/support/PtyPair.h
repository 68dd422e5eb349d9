#pragma once
// A pseudo-terminal standing in for the device: the port opens the slave side,
// the test plays the device on the master side.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>
#include <QElapsedTimer>
#include "support/QtWait.h"

#include <dirent.h>
#include <functional>
#include <string>

namespace qvtest {

class PtyPair {
 public:
  PtyPair() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) slave_ = ptsname(master_);
    if (master_ >= 0) fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
  }
  ~PtyPair() { CloseMaster(); }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool ok() const { return master_ >= 0 && !slave_.empty(); }
  int master() const { return master_; }
  const std::string& slave() const { return slave_; }
  void CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }

  // Writes every byte, waiting for room as needed (10 s at most).
  bool Write(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
      if (n > 0) {
        done += static_cast<std::size_t>(n);
        continue;
      }
      pollfd p{master_, POLLOUT, 0};
      if (poll(&p, 1, 10000) <= 0) return false;
    }
    return true;
  }

  // What the port has sent, without waiting.
  std::string ReadAvailable() {
    std::string out;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(master_, buf, sizeof buf)) > 0) out.append(buf, static_cast<std::size_t>(n));
    return out;
  }

 private:
  int master_ = -1;
  std::string slave_;
};

// Detaches every handler, so a port closed after a test ends calls nothing
// that belonged to the test.
template <typename Port>
void ClearHandlers(Port& port) {
  port.OnBeforeOpen = port.OnAfterOpen = port.OnBeforeClose = port.OnAfterClose = nullptr;
  port.OnTxEmpty = port.OnBreak = port.OnRing = port.OnRxFlag = port.OnRx80Full = nullptr;
  port.OnRxChar = nullptr;
  port.OnCTSChange = port.OnDSRChange = port.OnRLSDChange = nullptr;
  port.OnError = nullptr;
}

inline int CountEntries(const char* dir) {
  int n = 0;
  if (DIR* d = opendir(dir)) {
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.') ++n;
    closedir(d);
  }
  return n - 1;  // the listing's own descriptor or nothing; compared, never absolute
}
inline int CountFds() { return CountEntries("/proc/self/fd"); }
inline int CountThreads() { return CountEntries("/proc/self/task"); }

}  // namespace qvtest
