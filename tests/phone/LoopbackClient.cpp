#include "LoopbackClient.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "support/QtWait.h"

namespace qvtest {

LoopbackClient::LoopbackClient(std::uint16_t port, int receiveBuffer) {
  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd_ < 0) return;
  if (receiveBuffer > 0) ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // the tests never leave the machine
  if (::connect(fd_, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0 && errno != EINPROGRESS) return;
  connected_ = qvtest::WaitFor([this] {
    pollfd p{fd_, POLLOUT, 0};
    return ::poll(&p, 1, 0) == 1;
  });
  int err = 0;
  socklen_t len = sizeof err;
  ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &len);
  connected_ = connected_ && err == 0;
  if (!connected_) closed_ = true;
}

LoopbackClient::~LoopbackClient() { Close(); }

void LoopbackClient::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  closed_ = true;
}

bool LoopbackClient::Send(std::string_view bytes, int timeoutMs) {
  if (!connected_ || fd_ < 0) return false;
  bool failed = false;
  qvtest::WaitFor(
      [&] {
        while (!bytes.empty()) {
          const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
          if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
            continue;
          }
          if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return false;
          failed = true;
          return true;
        }
        return true;
      },
      timeoutMs);
  return !failed && bytes.empty();
}

void LoopbackClient::Pump() {
  if (fd_ < 0 || closed_) return;
  char buf[4096];
  for (;;) {
    const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
    if (n > 0) {
      received_.append(buf, static_cast<std::size_t>(n));
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    closed_ = true;  // end of stream, or reset
    return;
  }
}

bool LoopbackClient::WaitFor(const std::function<bool(const std::string&)>& pred, int timeoutMs) {
  return qvtest::WaitFor(
      [&] {
        Pump();
        return pred(received_);
      },
      timeoutMs);
}

bool LoopbackClient::WaitClosed(int timeoutMs) {
  return qvtest::WaitFor(
      [&] {
        Pump();
        return closed_;
      },
      timeoutMs);
}

std::string Exchange(std::uint16_t port, std::string_view request) {
  LoopbackClient c(port);
  c.Send(request);
  c.WaitClosed();
  return c.Received();
}

int StatusOf(std::string_view reply) {
  if (reply.size() < 12 || reply.substr(0, 9) != "HTTP/1.1 ") return 0;
  return std::stoi(std::string(reply.substr(9, 3)));
}

std::string HeaderOf(std::string_view reply, std::string_view name) {
  const std::string key = "\r\n" + std::string(name) + ": ";
  const std::size_t at = reply.find(key);
  if (at == std::string_view::npos) return {};
  const std::size_t start = at + key.size();
  return std::string(reply.substr(start, reply.find("\r\n", start) - start));
}

std::string PairPhone(std::uint16_t port, std::string_view url) {
  const std::size_t t = url.find("/?t=");
  if (t == std::string_view::npos) return {};
  const std::string host = "127.0.0.1:" + std::to_string(port);
  const std::string reply =
      Exchange(port, "GET " + std::string(url.substr(t)) + " HTTP/1.1\r\nHost: " + host + "\r\n\r\n");
  const std::string cookie = HeaderOf(reply, "Set-Cookie");
  if (StatusOf(reply) != 303 || cookie.rfind("qv=", 0) != 0) return {};
  return cookie.substr(3, cookie.find(';') - 3);
}

std::string EventsRequest(std::uint16_t port, std::string_view cookie) {
  return "GET /events HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\nCookie: qv=" + std::string(cookie) +
         "\r\n\r\n";
}

}  // namespace qvtest
