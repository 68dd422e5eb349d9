#include "MachineNetwork.h"

#include <QFile>
#include <QNetworkInterface>

namespace qv::phone {

std::vector<NetInterface> MachineInterfaces() {
  std::vector<NetInterface> out;
  for (const QNetworkInterface& qi : QNetworkInterface::allInterfaces()) {
    NetInterface i;
    i.name = qi.name().toStdString();
    const auto flags = qi.flags();
    i.up = flags.testFlag(QNetworkInterface::IsUp) && flags.testFlag(QNetworkInterface::IsRunning);
    i.loopback = flags.testFlag(QNetworkInterface::IsLoopBack);
    for (const QNetworkAddressEntry& e : qi.addressEntries()) {
      const QHostAddress a = e.ip();
      // Without the scope: the text must match what a browser sends in Host.
      QHostAddress bare = a;
      bare.setScopeId(QString());
      i.addresses.push_back({bare.toString().toStdString(), a.protocol() == QAbstractSocket::IPv6Protocol});
    }
    out.push_back(std::move(i));
  }
  return out;
}

std::string ReadRouteTable(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.read(1 << 20).toStdString();
}

std::optional<QHostAddress> PhoneAddress(const QString& wanted, Language lang, QString* error) {
  return PhoneAddressAmong(wanted, MachineInterfaces(), wanted.isEmpty() ? ReadRouteTable() : std::string(), lang,
                           error);
}

std::optional<QHostAddress> PhoneAddressAmong(const QString& wanted, const std::vector<NetInterface>& interfaces,
                                              std::string_view routeTable, Language lang, QString* error) {
  if (!wanted.isEmpty()) {
    const QHostAddress a(wanted);
    QHostAddress bare = a;  // "fe80::1%wlan0" is fe80::1 on wlan0
    bare.setScopeId(QString());
    if (a.isNull() || !IsOwnAddress(bare.toString().toStdString(), interfaces)) {
      if (error) *error = QString::fromStdString(Format(TextId::kNotOwnAddress, lang, {wanted.toStdString()}));
      return std::nullopt;
    }
    return a;
  }
  const auto chosen = ChooseAddress(routeTable, interfaces);
  if (!chosen) {
    if (error) *error = QString::fromStdString(std::string(Text(TextId::kNoAddress, lang)));
    return std::nullopt;
  }
  return QHostAddress(QString::fromStdString(*chosen));
}

}  // namespace qv::phone
