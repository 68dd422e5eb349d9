#include "PhoneServer.h"

#include <QTcpSocket>
#include <algorithm>

#include "PhoneAddress.h"
#include "PhoneToken.h"

namespace qv::phone {
namespace {

std::string MethodName(const ParseResult& p) {
  if (p.status != ParseStatus::kComplete) return "-";
  switch (p.request.method) {
    case Method::kGet: return "GET";
    case Method::kHead: return "HEAD";
    case Method::kOther: return "OTHER";
  }
  return "-";
}

}  // namespace

PhoneServer::PhoneServer(ServerLimits limits, QObject* parent) : QObject(parent), limits_(limits) {
  connect(&server_, &QTcpServer::newConnection, this, &PhoneServer::Accept);
  connect(&alive_, &QTimer::timeout, this, [this] { Broadcast(AliveEvent()); });
}

PhoneServer::~PhoneServer() { Stop(); }

bool PhoneServer::Start(const QHostAddress& address, quint16 port) {
  Stop();
  error_.clear();
  // Every interface at once is never what the phone view offers.
  if (address.isNull() || address == QHostAddress::Any || address == QHostAddress::AnyIPv4 ||
      address == QHostAddress::AnyIPv6 || IsUnspecified(address.toString().toStdString())) {
    error_ = QStringLiteral("no single address");
    return false;
  }
  const auto token = MakeToken();
  if (!token) {
    error_ = QStringLiteral("no random source");
    return false;
  }
  if (!server_.listen(address, port)) {
    error_ = server_.errorString();
    return false;
  }
  // Each frame reaches the page at once; nothing waits for a backlog of accepts.
  server_.setMaxPendingConnections(limits_.maxClients + limits_.maxClosing);
  QHostAddress bare = address;
  bare.setScopeId(QString());
  site_ = Site{bare.toString().toStdString(), server_.serverPort(), *token, {}};
  alive_.start(limits_.aliveMs);
  emit UrlChanged(Url());
  return true;
}

void PhoneServer::Stop() {
  const bool was = server_.isListening();
  alive_.stop();
  server_.close();
  CloseAll();
  site_ = Site{};
  if (was) emit UrlChanged(QString());
}

void PhoneServer::DisconnectAll() {
  CloseAll();
  if (!server_.isListening()) return;
  site_.sessions.clear();
  if (const auto token = MakeToken()) {
    site_.token = *token;
  } else {
    Stop();  // without a new secret the old one must not stay valid
    return;
  }
  emit UrlChanged(Url());
}

QString PhoneServer::Url() const { return server_.isListening() ? QString::fromStdString(PageUrl(site_)) : QString(); }

QString PhoneServer::Address() const {
  return server_.isListening() ? QString::fromStdString(Authority(site_)) : QString();
}

int PhoneServer::Clients() const {
  return static_cast<int>(std::count_if(clients_.begin(), clients_.end(), [](const PhoneClient* c) {
    return c->phase() == PhoneClient::Phase::kRequest || c->phase() == PhoneClient::Phase::kStream;
  }));
}

qint64 PhoneServer::LargestBacklog() const {
  qint64 most = 0;
  for (const PhoneClient* c : clients_) most = std::max(most, c->Backlog());
  return most;
}

void PhoneServer::Accept() {
  while (QTcpSocket* socket = server_.nextPendingConnection()) {
    const int closing = Connections() - Clients();
    if (Clients() >= limits_.maxClients && closing >= limits_.maxClosing) {
      socket->abort();
      socket->deleteLater();
      continue;
    }
    auto* client = new PhoneClient(socket, limits_.client, this);
    clients_.push_back(client);
    connect(client, &PhoneClient::Gone, this, &PhoneServer::Remove);
    if (Clients() > limits_.maxClients) {
      client->Reply(Serialize(Refusal(503, Language::German)));
      if (OnLog) OnLog("- - 503");
      continue;
    }
    client->OnRequest = [this](PhoneClient& c, const ParseResult& p) { Answer(c, p); };
  }
}

void PhoneServer::Answer(PhoneClient& client, const ParseResult& parsed) {
  const phone::Answer a = Decide(parsed, site_);
  if (OnLog) {
    const std::string path = parsed.status == ParseStatus::kComplete ? parsed.request.path : "-";
    OnLog(MethodName(parsed) + " " + path + " " + std::to_string(a.response.status));
  }
  if (a.resource == Resource::kPair) {
    Pair(client, a.response);
    return;
  }
  if (a.resource != Resource::kEvents) {
    client.Reply(Serialize(a.response));
    return;
  }
  client.StartStream(Serialize(a.response) + StreamStart() + Event());
  CountPhones();
}

void PhoneServer::Pair(PhoneClient& client, Response response) {
  const auto secret = MakeToken(), next = MakeToken();
  if (!secret || !next) {
    client.Reply(Serialize(Refusal(503, Language::German)));
    return;
  }
  AddSessionCookie(response, *secret);
  site_.sessions.push_back(*secret);
  // The oldest pairing gives way, so the list stays as short as the cap.
  if (site_.sessions.size() > static_cast<std::size_t>(limits_.maxClients))
    site_.sessions.erase(site_.sessions.begin());
  // The code that paired this phone pairs no other.
  site_.token = *next;
  client.Reply(Serialize(response));
  emit UrlChanged(Url());
}

std::string PhoneServer::Event() const { return ReadingEvent(reading_, frames_, active_); }

void PhoneServer::SetReading(const PhoneReading& reading) {
  if (reading == reading_) return;
  reading_ = reading;
  Broadcast(Event());
}

void PhoneServer::OnFrame(const session::Frame& frame) {
  if (!frame.hasMaxima || !server_.isListening()) return;
  ++frames_;
  Broadcast(Event());
}

void PhoneServer::OnState(const session::SessionState& state) {
  if (state.Active() == active_) return;
  active_ = state.Active();
  Broadcast(Event());
}

void PhoneServer::Broadcast(const std::string& bytes) {
  // A client dropped while sending leaves the list through Remove: walk a copy.
  const std::vector<PhoneClient*> now = clients_;
  for (PhoneClient* c : now)
    if (c->phase() == PhoneClient::Phase::kStream) c->Send(bytes);
}

void PhoneServer::Remove(PhoneClient* client) {
  const auto it = std::find(clients_.begin(), clients_.end(), client);
  if (it == clients_.end()) return;
  clients_.erase(it);
  client->OnRequest = nullptr;
  client->deleteLater();
  CountPhones();
}

void PhoneServer::CloseAll() {
  const std::vector<PhoneClient*> all = std::move(clients_);
  clients_.clear();
  for (PhoneClient* c : all) {
    c->disconnect(this);
    c->OnRequest = nullptr;
    c->Abort();
    c->deleteLater();
  }
  CountPhones();
}

void PhoneServer::CountPhones() {
  const int n = static_cast<int>(std::count_if(clients_.begin(), clients_.end(), [](const PhoneClient* c) {
    return c->phase() == PhoneClient::Phase::kStream;
  }));
  if (n == phones_) return;
  phones_ = n;
  emit PhonesChanged(n);
}

}  // namespace qv::phone
