#pragma once
// Port errors in the error report: under the message, what the system says
// about the code and what to do about it, for the port that raised it.
#include <QString>
#include <exception>

#include "PortErrorHelp.h"

class TCustomComPort;

namespace qv {

// The detail for e when it is a port error, for the port's current name;
// empty for any other error or when the port is gone.
[[nodiscard]] QString PortErrorReportDetail(const std::exception& e, const TCustomComPort* port);
[[nodiscard]] QString PortErrorReportDetail(const std::exception& e, const TCustomComPort* port,
                                            const TPortErrorHelpSources& sources);

// Makes the error report add that detail for errors of port (which must outlive
// the report's use of it, or be a child that is deleted with its window: the
// link is dropped then).
void InstallPortErrorDetail(TCustomComPort& port);
// The same, with the help looking at these sources instead of the system's.
void InstallPortErrorDetail(TCustomComPort& port, TPortErrorHelpSources sources);

}  // namespace qv
