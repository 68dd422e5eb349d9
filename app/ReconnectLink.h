#pragma once
// Ties the reconnect controller to one port component: the port's hang-up
// (errIO through OnError) is the device vanishing, reopening is Connected :=
// true and WriteString("b") with the port's own settings, and the watcher's
// find is handed to this object's thread.
#include <QObject>
#include <QString>

#include "CPort.h"
#include "DevicePath.h"
#include "ReconnectController.h"

namespace qv {

class TReconnectLink : public QObject {
  Q_OBJECT

 public:
  // Takes over the port's OnError (a handler already there still runs first)
  // until the link is destroyed.
  explicit TReconnectLink(TCustomComPort& port, usb::TUsbRoots roots = {}, QObject* parent = nullptr);
  ~TReconnectLink() override;

  // Start Scan has opened the port and sent "b".
  void ScanStarted() { controller_.ScanStarted(DevicePathForPort(port_.Port())); }
  // Stop Scan: ends the waiting; true when it was waiting (the port is closed).
  bool ScanStopped() { return controller_.ScanStopped(); }
  [[nodiscard]] usb::TLinkState State() const { return controller_.State(); }
  [[nodiscard]] const usb::TReconnectController& Controller() const { return controller_; }

 signals:
  // The connection state text: "Verbindung verloren — warte auf das Gerät" and
  // so on; empty once no scan runs.
  void StateChanged(const QString& text);

 private:
  usb::TReconnectController::THooks Hooks();
  bool Reopen(const std::string& path);

  TCustomComPort& port_;
  TComErrorEvent previous_on_error_;
  usb::TReconnectController controller_;
};

}  // namespace qv
