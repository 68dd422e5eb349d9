#pragma once
// A phone on the loopback interface for the server's tests: a plain socket to
// 127.0.0.1, non-blocking, that keeps the test's event loop (and with it the
// server under test) running while it waits. Every wait is bounded.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qvtest {

class LoopbackClient {
 public:
  // Connects to 127.0.0.1:port; `receiveBuffer` > 0 makes the socket's
  // receive buffer that small (a phone that reads slowly, or not at all).
  explicit LoopbackClient(std::uint16_t port, int receiveBuffer = 0);
  ~LoopbackClient();
  LoopbackClient(const LoopbackClient&) = delete;
  LoopbackClient& operator=(const LoopbackClient&) = delete;

  [[nodiscard]] bool Connected() const { return connected_; }
  // Sends all of it; false when the server closed the connection first.
  bool Send(std::string_view bytes, int timeoutMs = 10000);
  // Takes what has arrived, without waiting.
  void Pump();
  // Runs the event loop until `pred(received)` holds; whether it did.
  bool WaitFor(const std::function<bool(const std::string&)>& pred, int timeoutMs = 10000);
  // Runs the event loop until the server has closed the connection.
  bool WaitClosed(int timeoutMs = 10000);
  [[nodiscard]] bool Closed() const { return closed_; }
  [[nodiscard]] const std::string& Received() const { return received_; }
  void Close();

 private:
  int fd_ = -1;
  bool connected_ = false;
  bool closed_ = false;
  std::string received_;
};

// One request on a connection of its own: everything the server sent until it closed.
std::string Exchange(std::uint16_t port, std::string_view request);
// Loads the page address `url` ("http://127.0.0.1:PORT/?t=TOKEN") as a phone
// that scanned its code; the cookie it was given, "" for none.
std::string PairPhone(std::uint16_t port, std::string_view url);
// The request of a paired phone's event stream.
std::string EventsRequest(std::uint16_t port, std::string_view cookie);

// The status code of a reply ("HTTP/1.1 403 ..." gives 403), 0 when there is none.
int StatusOf(std::string_view reply);
// The value of a header in a reply, "" when it has none.
std::string HeaderOf(std::string_view reply, std::string_view name);

}  // namespace qvtest
