#include "Program.h"

#include <QPointer>
#include <cstdio>

#include "CommandLine.h"
#include "EngineGuard.h"
#include "ExportReference.h"
#include "JobDeskJoin.h"
#include "PhoneServer.h"
#include "PhoneSwitch.h"
#include "PortSession.h"
#include "RecordingControl.h"
#include "TWorkshopView.h"
#include "ToneOutputSound.h"
#include "UnitMain.h"
#include "WorkshopBackend.h"
#include "WorkshopJob.h"
#include "WorkshopLauncher.h"
#include "WorkshopSettings.h"

namespace qv {

TProgram::TProgram(TForm1& form, const CommandLine& cl)
    : form_(form), open_workshop_(cl.workshop), replay_(cl.replay), phone_wanted_(cl.phone) {
  // Sources: the main window's port and receive handler.
  port_ = std::make_unique<TPortSession>(form, session_);

  // Subscribers. The workshop view's menu stands right of the window's three,
  // the recording menu right of it: menus are added in this order.
  workshop_ = AttachWorkshopView(form, session_, CommandLine{}, [&form] { return MakeWorkshopBackend(form); });
  recording_ = std::make_unique<TRecordingControl>(form, session_);
  if (cl.record) recording_->RecordEveryScan(*cl.record);
  // The phone view: the server hears every frame, and runs while the view's
  // switch "Telefon" is on.
  phone_server_ = std::make_unique<phone::PhoneServer>();
  session_.Subscribe(*phone_server_);
  phone_ = std::make_unique<PhoneSwitch>(*phone_server_, LanguageFromEnvironment());
  if (cl.phone) phone_->SetWanted(QString::fromStdString(*cl.phone));
  guard_ = std::make_unique<guard::EngineGuard>();
  session_.Subscribe(*guard_);
  // The guidance tone's sound: nothing is contacted until the tone is switched on.
  tone_ = std::make_unique<ToneOutputSound>();

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
    phone_->Attach(view);
    view.SetEngineGuard(guard_.get());
    view.SetToneSound(tone_.get());
    JoinJobDesk(view, session_);
  };
}

TProgram::~TProgram() {
  // Subscribers let go of the session before it goes; the launcher itself
  // stays the window's child.
  phone_.reset();
  session_.Unsubscribe(*phone_server_);
  phone_server_.reset();
  workshop_->DropView();
  session_.Unsubscribe(*guard_);
  tone_.reset();
  recording_.reset();
  port_.reset();
}

void TProgram::Show() {
  form_.show();
  // --workshop opens the view once the main window is shown, beside it.
  if (open_workshop_) workshop_->Open();
  if (replay_) recording_->OpenReplay(QString::fromStdString(*replay_));
  // --phone: the workshop view with the phone view switched on, its address
  // on standard output; an address not the machine's leaves it off.
  if (phone_wanted_) {
    workshop_->Open();
    QString error;
    if (phone_->On(&error)) {
      std::printf("%s\n", phone::Format(phone::TextId::kStartedLine, LanguageFromEnvironment(),
                                        {phone_server_->Url().toStdString()})
                              .c_str());
    } else {
      std::fprintf(stderr, "quorvel: %s\n", error.toUtf8().constData());
    }
    std::fflush(stdout);
  }
}

}  // namespace qv
