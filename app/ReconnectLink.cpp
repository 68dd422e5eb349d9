#include "ReconnectLink.h"

#include <QMetaObject>
#include <QPointer>
#include <exception>
#include <utility>

namespace qv {

TReconnectLink::TReconnectLink(TCustomComPort& port, usb::TUsbRoots roots, QObject* parent)
    : QObject(parent), port_(port), previous_on_error_(port.OnError), controller_(Hooks(), std::move(roots)) {
  port_.OnError = [this](TCustomComPort* sender, TComErrors errors) {
    if (previous_on_error_) previous_on_error_(sender, errors);
    // The event thread reports a hang-up once, as errIO.
    if (errors.contains(errIO)) controller_.DeviceLost();
  };
}

TReconnectLink::~TReconnectLink() { port_.OnError = previous_on_error_; }

usb::TReconnectController::THooks TReconnectLink::Hooks() {
  usb::TReconnectController::THooks h;
  h.release = [this] {
    try {
      port_.Close();
    } catch (const std::exception&) {
      // A dead device may fail to flush; the port is closed all the same.
    }
  };
  h.reopen = [this](const std::string& path) { return Reopen(path); };
  h.post = [self = QPointer<TReconnectLink>(this)](std::function<void()> call) {
    // Dropped by Qt when the link is gone before the call runs.
    if (self) QMetaObject::invokeMethod(self.data(), std::move(call), Qt::QueuedConnection);
  };
  h.changed = [this](usb::TLinkState state, const std::string& text) {
    emit StateChanged(state == usb::TLinkState::kIdle ? QString() : QString::fromStdString(text));
  };
  return h;
}

bool TReconnectLink::Reopen(const std::string& path) {
  try {
    if (path != DevicePathForPort(port_.Port())) port_.SetPort(path);
    port_.SetConnected(true);
    port_.WriteString("b");
    return true;
  } catch (const std::exception&) {
    // Not openable yet (permissions still being set, another program was
    // quicker): the controller tries again later, without a message.
    try {
      port_.Close();
    } catch (const std::exception&) {
    }
    return false;
  }
}

}  // namespace qv
