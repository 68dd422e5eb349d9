#include "PortSession.h"

#include <QAction>
#include <QPushButton>
#include <QTimer>

#include "ReconnectLink.h"
#include "Session.h"
#include "UnitMain.h"

namespace qv {

TPortSession::TPortSession(TForm1& form, session::Session& session) : form_(form), session_(session) {
  form.Decoder().OnDecoded = [this](const FrameReport& report) {
    session_.FrameDecoded(form_.Measurement(), report, form_.Decoder().MaximaFrames());
  };
  form.PortTap().OnRead = [this](std::string_view bytes) { session_.BytesRead(bytes); };
  connect(form.Start1, &QAction::triggered, this, &TPortSession::AfterStart);
  connect(form.Button2, &QPushButton::clicked, this, &TPortSession::AfterStart);
  connect(form.Stop1, &QAction::triggered, this, &TPortSession::AfterStop);
  connect(form.Button3, &QPushButton::clicked, this, &TPortSession::AfterStop);
  // A port opened or closed by other means (the hidden buttons, a hang-up,
  // reopening after one, closing the window) is followed too. The look comes
  // once the handler that opened or closed it has ended: by then the redraw
  // timer says whether a scan runs, and the reconnect link whether the
  // device is waited for.
  previous_after_open_ = form.ComPort1->OnAfterOpen;
  form.ComPort1->OnAfterOpen = [this](TCustomComPort* sender) {
    if (previous_after_open_) previous_after_open_(sender);
    QTimer::singleShot(0, this, &TPortSession::Follow);
  };
  previous_after_close_ = form.ComPort1->OnAfterClose;
  form.ComPort1->OnAfterClose = [this](TCustomComPort* sender) {
    if (previous_after_close_) previous_after_close_(sender);
    QTimer::singleShot(0, this, &TPortSession::Follow);
  };
  form.OnConnectionState = [this](const QString&) { Follow(); };
}

TPortSession::~TPortSession() {
  form_.Decoder().OnDecoded = nullptr;
  form_.PortTap().OnRead = nullptr;
  form_.OnConnectionState = nullptr;
  form_.ComPort1->OnAfterOpen = previous_after_open_;
  form_.ComPort1->OnAfterClose = previous_after_close_;
}

void TPortSession::AfterStart() { Follow(); }

void TPortSession::AfterStop() { Follow(); }

void TPortSession::Follow() {
  const TReconnectLink* link = form_.Reconnect();
  if (link && link->State() == usb::TLinkState::kWaiting) {
    session_.DeviceWaiting(true);
    return;
  }
  // A scan runs while the port is open and the displays are redrawn; the
  // window's closing opens the port with the redraw timer off, to send "a".
  if (form_.ComPort1->Connected() && form_.Timer2.Enabled()) {
    if (session_.Current().state == session::State::kWaiting)
      session_.DeviceWaiting(false);
    else
      session_.ScanStarted(form_.ComPort1->Port());
    return;
  }
  if (!form_.ComPort1->Connected()) session_.ScanStopped();
}

}  // namespace qv
