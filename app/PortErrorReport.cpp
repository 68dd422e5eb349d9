#include "PortErrorReport.h"

#include <QPointer>
#include <utility>

#include "AppErrors.h"
#include "CPort.h"
#include "EComPort.h"
#include "PortErrorHelp.h"

namespace qv {

QString PortErrorReportDetail(const std::exception& e, const TCustomComPort* port) {
  return PortErrorReportDetail(e, port, DefaultPortErrorHelpSources());
}

QString PortErrorReportDetail(const std::exception& e, const TCustomComPort* port,
                              const TPortErrorHelpSources& sources) {
  const auto* portError = dynamic_cast<const EComPort*>(&e);
  if (portError == nullptr || port == nullptr) return {};
  return QString::fromStdString(PortErrorDetail(*portError, port->Port(), sources));
}

void InstallPortErrorDetail(TCustomComPort& port) { InstallPortErrorDetail(port, DefaultPortErrorHelpSources()); }

void InstallPortErrorDetail(TCustomComPort& port, TPortErrorHelpSources sources) {
  // The one port of the program raises every port error, under its current
  // name (a new name is stored before the port is reopened under it).
  SetErrorDetailSource([link = QPointer<TCustomComPort>(&port), sources = std::move(sources)](const std::exception& e) {
    return PortErrorReportDetail(e, link.data(), sources);
  });
}

}  // namespace qv
