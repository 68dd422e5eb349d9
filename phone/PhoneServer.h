#pragma once
// The phone view's server on the user-interface thread's event loop: it
// listens on one given address only, answers the few fixed paths for the
// holder of the current token, and streams the program's reading to every
// phone with each maxima frame. Nothing a phone sends reaches anything else:
// requests are parsed and answered, never acted on.
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "PhoneAccess.h"
#include "PhoneClient.h"
#include "PhoneReading.h"
#include "Session.h"

namespace qv::phone {

struct ServerLimits {
  int maxClients = 8;   // connections served at once; more are answered 503
  int maxClosing = 32;  // refused or answered connections still closing; more are cut at once
  int aliveMs = 1000;   // a sign of life on every stream this often
  ClientLimits client;
};

class PhoneServer : public QObject, public session::Subscriber {
  Q_OBJECT
 public:
  explicit PhoneServer(ServerLimits limits = {}, QObject* parent = nullptr);
  ~PhoneServer() override;

  // Listens on `address` (never an unspecified one) and `port` (0: one the
  // system chooses) with a fresh token. False with Error() set when it cannot.
  bool Start(const QHostAddress& address, quint16 port = 0);
  // Closes every connection at once and stops listening; the token is gone.
  void Stop();
  // Closes every connection, forgets every paired phone and makes a new
  // token: a phone must scan the new code.
  void DisconnectAll();

  [[nodiscard]] bool Running() const { return server_.isListening(); }
  // "http://192.168.1.20:8080/?t=...": what the QR code holds; "" when
  // stopped. Each phone that pairs uses its token up (UrlChanged gives the next).
  [[nodiscard]] QString Url() const;
  // "192.168.1.20:8080": the address shown beside the code.
  [[nodiscard]] QString Address() const;
  [[nodiscard]] quint16 Port() const { return server_.serverPort(); }
  [[nodiscard]] QString Error() const { return error_; }
  // Phones with an open event stream.
  [[nodiscard]] int Phones() const { return phones_; }
  // Connections counted against the cap (reading a head or streaming).
  [[nodiscard]] int Clients() const;
  // Every connection the server still holds, closing ones included.
  [[nodiscard]] int Connections() const { return static_cast<int>(clients_.size()); }
  // The most unsent bytes any one connection holds in the program now.
  [[nodiscard]] qint64 LargestBacklog() const;

  // What the phones show; sent at once when it changed, and with every maxima frame.
  void SetReading(const PhoneReading& reading);

  void OnFrame(const session::Frame& frame) override;
  void OnState(const session::SessionState& state) override;

  // One line per answered request: method, path (never the query, which may
  // hold the token) and status. For the program's log, if it keeps one.
  std::function<void(const std::string&)> OnLog;

 signals:
  void PhonesChanged(int phones);
  void UrlChanged(const QString& url);

 private:
  void Accept();
  void Answer(PhoneClient& client, const ParseResult& parsed);
  void Pair(PhoneClient& client, Response response);
  void Broadcast(const std::string& bytes);
  void Remove(PhoneClient* client);
  void CloseAll();
  void CountPhones();
  [[nodiscard]] std::string Event() const;

  ServerLimits limits_;
  QTcpServer server_;
  QTimer alive_;
  Site site_;
  QString error_;
  std::vector<PhoneClient*> clients_;
  PhoneReading reading_;
  std::uint64_t frames_ = 0;
  bool active_ = false;
  int phones_ = 0;
};

}  // namespace qv::phone
