// The main window's switch for reconnecting after a pulled cable.
#include "ReconnectLink.h"
#include "UnitMain.h"

void TForm1::SetReconnectEnabled(bool on, const qv::usb::TUsbRoots& roots) {
  delete reconnect_;
  reconnect_ = nullptr;
  if (!on) return;
  reconnect_ = new qv::TReconnectLink(*ComPort1, roots, this);
  connect(reconnect_, &qv::TReconnectLink::StateChanged, this, [this](const QString& text) {
    if (OnConnectionState) OnConnectionState(text);
  });
}
