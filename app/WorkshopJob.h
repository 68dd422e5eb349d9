#pragma once
// The workshop view's scan, recording and replay controls joined to the
// program: Start and Stop click the main window's own buttons, so the port,
// the device's commands and the lamps behave as from there; recording and
// replay go through the recording control's menu items and replay window.
// What the controls show follows the session (scan, pulled device, replay,
// pause) and the recording control's own changes; nothing is polled.
class TForm1;

namespace qv::workshop {
class TWorkshopView;
}

namespace qv::session {
class Session;
}

namespace qv {

class TRecordingControl;

// Joins the view's controls and keeps the state they show up to date. Either
// of the window and the control may go first; the controls then do nothing.
// The session must outlive the view.
void JoinJobControls(workshop::TWorkshopView& view, TForm1& form, TRecordingControl& recording,
                     session::Session& session);

}  // namespace qv
