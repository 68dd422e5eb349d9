#pragma once
// One phone's connection: it reads one request head (bounded, within the
// deadline), is answered once, and then either closes or carries the event
// stream. Its buffers are bounded both ways: the head by the request limit,
// the stream by a small backlog, past which a phone that does not read is
// dropped rather than buffered for.
#include <QObject>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <string>

#include "PhoneRequest.h"

namespace qv::phone {

struct ClientLimits {
  int requestMs = 5000;           // the whole head must have arrived by then
  qint64 maxBacklog = 16 * 1024;  // unsent stream bytes in the program
  int sendBuffer = 16 * 1024;     // the kernel's share, asked for on the socket
  int lingerMs = 1000;            // after a reply: how long the phone may take to close
};

class PhoneClient : public QObject {
  Q_OBJECT
 public:
  enum class Phase { kRequest, kStream, kClosing, kGone };

  // Takes over the socket (it becomes the client's child).
  PhoneClient(QTcpSocket* socket, const ClientLimits& limits, QObject* parent = nullptr);
  ~PhoneClient() override;

  // Called once, when the head is complete or broke a limit.
  std::function<void(PhoneClient&, const ParseResult&)> OnRequest;

  [[nodiscard]] Phase phase() const { return phase_; }
  [[nodiscard]] qint64 Backlog() const;

  // Sends the whole reply and closes once it is out (the phone may read it first).
  void Reply(const std::string& bytes);
  // Sends the stream's head; the client then carries events.
  void StartStream(const std::string& head);
  // One event; false when the phone is too far behind and was dropped.
  bool Send(const std::string& bytes);
  // Closes at once.
  void Abort();

 signals:
  void Gone(PhoneClient* client);

 private:
  void ReadSome();
  void Written();
  void Finish();

  QTcpSocket* socket_;
  ClientLimits limits_;
  QTimer timer_;
  std::string head_;
  Phase phase_ = Phase::kRequest;
};

}  // namespace qv::phone
