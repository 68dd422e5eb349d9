#include "Program.h"

#include <QPointer>

#include "CommandLine.h"
#include "ExportReference.h"
#include "JobDeskJoin.h"
#include "PortSession.h"
#include "RecordingControl.h"
#include "TWorkshopView.h"
#include "UnitMain.h"
#include "WorkshopBackend.h"
#include "WorkshopJob.h"
#include "WorkshopLauncher.h"
#include "WorkshopSettings.h"

namespace qv {

TProgram::TProgram(TForm1& form, const CommandLine& cl) : form_(form), open_workshop_(cl.workshop), replay_(cl.replay) {
  // Sources: the main window's port and receive handler.
  port_ = std::make_unique<TPortSession>(form, session_);

  // Subscribers. The workshop view's menu stands right of the window's three,
  // the recording menu right of it: menus are added in this order.
  workshop_ = AttachWorkshopView(form, session_, CommandLine{}, [&form] { return MakeWorkshopBackend(form); });
  recording_ = std::make_unique<TRecordingControl>(form, session_);
  if (cl.record) recording_->RecordEveryScan(*cl.record);

  // The export measures against the view's reference: the open view's
  // choice, else the one stored, else the mean.
  recording_->ExportReference = [launcher = QPointer<WorkshopLauncher>(workshop_)] {
    if (launcher && launcher->View()) return workshop::ExportReferenceFor(launcher->View()->Choices());
    return workshop::StoredExportReference(workshop::DefaultSettingsPath());
  };
  // Files dropped on the view replay as on the main window; the view's own
  // scan, recording and replay controls act through the window and the
  // recording control.
  workshop_->OnViewMade = [this](workshop::TWorkshopView& view) {
    recording_->AcceptDropsOn(view);
    JoinJobControls(view, form_, *recording_, session_);
    JoinJobDesk(view, session_);
  };
}

TProgram::~TProgram() {
  // Subscribers let go of the session before it goes; the launcher itself
  // stays the window's child.
  workshop_->DropView();
  recording_.reset();
  port_.reset();
}

void TProgram::Show() {
  form_.show();
  // --workshop opens the view once the main window is shown, beside it.
  if (open_workshop_) workshop_->Open();
  if (replay_) recording_->OpenReplay(QString::fromStdString(*replay_));
}

}  // namespace qv
