#include "PhoneClient.h"

#include <sys/socket.h>

namespace qv::phone {

PhoneClient::PhoneClient(QTcpSocket* socket, const ClientLimits& limits, QObject* parent)
    : QObject(parent), socket_(socket), limits_(limits) {
  socket_->setParent(this);
  // Qt stops reading from the kernel once this much waits unread: a phone
  // cannot make the program hold more than one head.
  socket_->setReadBufferSize(static_cast<qint64>(kMaxRequestBytes) + 1);
  socket_->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, limits_.sendBuffer);
  socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &PhoneClient::Abort);
  connect(socket_, &QTcpSocket::readyRead, this, &PhoneClient::ReadSome);
  connect(socket_, &QTcpSocket::bytesWritten, this, &PhoneClient::Written);
  connect(socket_, &QTcpSocket::disconnected, this, &PhoneClient::Finish);
  connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
    // The phone closing its side after a reply is no fault.
    if (e != QAbstractSocket::RemoteHostClosedError || phase_ != Phase::kClosing) Finish();
  });
  timer_.start(limits_.requestMs);
}

PhoneClient::~PhoneClient() {
  socket_->disconnect(this);
  socket_->abort();
}

qint64 PhoneClient::Backlog() const { return socket_->bytesToWrite(); }

void PhoneClient::ReadSome() {
  if (phase_ != Phase::kRequest) {
    // Nothing after the head is read: whatever a phone sends later goes nowhere.
    socket_->skip(socket_->bytesAvailable());
    return;
  }
  const qint64 room = static_cast<qint64>(kMaxRequestBytes) + 1 - static_cast<qint64>(head_.size());
  head_ += socket_->read(room).toStdString();
  const ParseResult parsed = ParseRequest(head_);
  if (parsed.status == ParseStatus::kIncomplete) return;
  timer_.stop();
  head_.clear();
  head_.shrink_to_fit();
  socket_->skip(socket_->bytesAvailable());
  if (OnRequest) OnRequest(*this, parsed);
}

void PhoneClient::Reply(const std::string& bytes) {
  if (phase_ == Phase::kGone) return;
  phase_ = Phase::kClosing;
  timer_.stop();
  socket_->write(bytes.data(), static_cast<qint64>(bytes.size()));
  timer_.start(limits_.requestMs + limits_.lingerMs);
  Written();
}

void PhoneClient::StartStream(const std::string& head) {
  if (phase_ == Phase::kGone) return;
  phase_ = Phase::kStream;
  timer_.stop();
  socket_->write(head.data(), static_cast<qint64>(head.size()));
}

bool PhoneClient::Send(const std::string& bytes) {
  if (phase_ != Phase::kStream) return false;
  if (socket_->bytesToWrite() + static_cast<qint64>(bytes.size()) > limits_.maxBacklog) {
    Abort();
    return false;
  }
  socket_->write(bytes.data(), static_cast<qint64>(bytes.size()));
  return true;
}

void PhoneClient::Written() {
  if (phase_ != Phase::kClosing || socket_->bytesToWrite() > 0) return;
  // All is out: end our side and let the phone close its own, so that it
  // reads the reply before the connection goes (a close with unread bytes
  // would reset it). The timer cuts a phone that never closes.
  ::shutdown(static_cast<int>(socket_->socketDescriptor()), SHUT_WR);
  timer_.start(limits_.lingerMs);
}

void PhoneClient::Abort() {
  if (phase_ == Phase::kGone) return;
  socket_->abort();
  Finish();
}

void PhoneClient::Finish() {
  if (phase_ == Phase::kGone) return;
  phase_ = Phase::kGone;
  timer_.stop();
  emit Gone(this);
}

}  // namespace qv::phone
