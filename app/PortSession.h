#pragma once
// The main window's port as a source of the session: what its receive
// handler reads and decodes, and when a scan starts, waits for a pulled
// device and ends. It only listens: the window does, draws and stores
// exactly what it does without it.
#include <QObject>

#include "CPort.h"

class TForm1;

namespace qv::session {
class Session;
}

namespace qv {

class TPortSession : public QObject {
  Q_OBJECT

 public:
  // Listens to `form` until destroyed; both must outlive it (it is no child
  // of the window: it lets go of the window before the window goes). Made after the
  // form's own handlers are connected, so it hears of a Start or Stop once
  // the window has carried it out.
  TPortSession(TForm1& form, session::Session& session);
  ~TPortSession() override;

 private:
  void AfterStart();
  void AfterStop();
  void Follow();

  TForm1& form_;
  session::Session& session_;
  TNotifyEvent previous_after_open_;
  TNotifyEvent previous_after_close_;
};

}  // namespace qv
