#pragma once
// This machine's interfaces (QNetworkInterface) and IPv4 route table
// (/proc/net/route) as the plain data the address choice reads.
#include <QHostAddress>
#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "PhoneAddress.h"
#include "PhoneTexts.h"

namespace qv::phone {

[[nodiscard]] std::vector<NetInterface> MachineInterfaces();
// The route table's text; "" where there is none to read.
[[nodiscard]] std::string ReadRouteTable(const QString& path = QStringLiteral("/proc/net/route"));

// The address for the phone view: `wanted` when given (it must be one of this
// machine's own), else the default route's interface's. nullopt with `error`
// set (German or English) when there is none to offer.
[[nodiscard]] std::optional<QHostAddress> PhoneAddress(const QString& wanted, Language lang, QString* error);
// The same among the interfaces and route table given.
[[nodiscard]] std::optional<QHostAddress> PhoneAddressAmong(const QString& wanted,
                                                            const std::vector<NetInterface>& interfaces,
                                                            std::string_view routeTable, Language lang, QString* error);

}  // namespace qv::phone
