#include "PhoneClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>

namespace qvbench {

int ConnectLoopback(quint16 port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

std::string Pair(quint16 port, const std::string& token) {
  const int fd = ConnectLoopback(port);
  if (fd < 0) return {};
  const std::string request = "GET /?t=" + token + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\n\r\n";
  ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
  std::string reply;
  char buf[4096];
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < 5000) {
    QCoreApplication::processEvents();
    const ssize_t n = ::recv(fd, buf, sizeof buf, MSG_DONTWAIT);
    if (n > 0) reply.append(buf, static_cast<std::size_t>(n));
    if (n == 0) break;
  }
  ::close(fd);
  const std::size_t at = reply.find("Set-Cookie: qv=");
  return at == std::string::npos ? std::string() : reply.substr(at + 15, 32);
}

}  // namespace qvbench
