#pragma once
// The workshop view's scan, recording and replay controls joined to the
// program: Start and Stop click the main window's own buttons, so the port,
// the device's commands and the lamps behave as from there; recording and
// replay go through the recording control's menu items and replay window.
class TForm1;

namespace qv::workshop {
class TWorkshopView;
}

namespace qv {

class TRecordingControl;

// Joins the view's controls and keeps the state they show up to date while
// the view is open. Either of the window and the control may go first; the
// controls then do nothing.
void JoinJobControls(workshop::TWorkshopView& view, TForm1& form, TRecordingControl& recording);

}  // namespace qv
