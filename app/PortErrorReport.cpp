#include "PortErrorReport.h"

#include <QPointer>

#include "AppErrors.h"
#include "CPort.h"
#include "EComPort.h"
#include "PortErrorHelp.h"

namespace qv {

QString PortErrorReportDetail(const std::exception& e, const TCustomComPort* port) {
  const auto* portError = dynamic_cast<const EComPort*>(&e);
  if (portError == nullptr || port == nullptr) return {};
  return QString::fromStdString(PortErrorDetail(*portError, port->Port()));
}

void InstallPortErrorDetail(TCustomComPort& port) {
  // The one port of the program raises every port error, under its current
  // name (a new name is stored before the port is reopened under it).
  SetErrorDetailSource([link = QPointer<TCustomComPort>(&port)](const std::exception& e) {
    return PortErrorReportDetail(e, link.data());
  });
}

}  // namespace qv
