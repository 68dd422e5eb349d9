#include "WorkshopJob.h"

#include <QAction>
#include <QPointer>
#include <QPushButton>
#include <functional>

#include "RecordingControl.h"
#include "ReplayWindow.h"
#include "Session.h"
#include "TWorkshopView.h"
#include "UnitMain.h"

namespace qv {

namespace {

workshop::JobState StateOf(const session::SessionState& now, TForm1& form, TRecordingControl& recording) {
  using session::State;
  workshop::JobState s;
  // A scan waiting for its vanished device has its port closed, and still runs.
  s.scanning = now.state == State::kScanning || now.state == State::kWaiting;
  s.startAllowed = form.Button2->isEnabled();
  s.port = QString::fromStdString(now.source.kind == session::SourceKind::kPort && s.scanning ? now.source.name
                                                                                              : form.ComPort1->Port());
  s.recording = recording.RecordingArmed();
  s.replaying = now.Replay();
  s.paused = now.state == State::kPaused;
  return s;
}

// Hears the session for the view's controls; the view's child, so it goes
// (and lets go of the session) with the view.
class JobStateFollower : public QObject, public session::Subscriber {
 public:
  JobStateFollower(workshop::TWorkshopView& view, session::Session& session, std::function<void()> show)
      : QObject(&view), session_(session), show_(std::move(show)) {
    session_.Subscribe(*this);
  }
  ~JobStateFollower() override { session_.Unsubscribe(*this); }
  void OnState(const session::SessionState&) override { show_(); }

 private:
  session::Session& session_;
  std::function<void()> show_;
};

}  // namespace

void JoinJobControls(workshop::TWorkshopView& view, TForm1& form, TRecordingControl& recording,
                     session::Session& session) {
  const QPointer<workshop::TWorkshopView> v(&view);
  const QPointer<TForm1> f(&form);
  const QPointer<TRecordingControl> r(&recording);
  session::Session* s = &session;
  auto show = [v, f, r, s] {
    if (v && f && r) v->SetJobState(StateOf(s->Current(), *f, *r));
  };
  // Each runs as the user's click on the main window's button or item would.
  auto onForm = [f, show](auto act) {
    return [f, show, act] {
      if (f) act(*f);
      show();
    };
  };
  auto onRecording = [r, show](auto act) {
    return [r, show, act] {
      if (r) act(*r);
      show();
    };
  };
  workshop::JobActions a;
  a.startScan = onForm([](TForm1& w) { w.Button2->click(); });
  a.stopScan = onForm([](TForm1& w) { w.Button3->click(); });
  a.startRecording = onRecording([](TRecordingControl& c) { c.StartRecordingAction->trigger(); });
  a.stopRecording = onRecording([](TRecordingControl& c) { c.StopRecordingAction->trigger(); });
  a.openReplay = onRecording([](TRecordingControl& c) { c.PlayAction->trigger(); });
  a.pauseReplay = onRecording([](TRecordingControl& c) {
    if (c.Replaying()) c.ReplayWindow()->PauseButton->click();
  });
  a.endReplay = onRecording([](TRecordingControl& c) { c.EndReplayAction->trigger(); });
  view.SetJobActions(std::move(a));

  new JobStateFollower(view, session, show);
  // Recording switched on or off, a replay opened or ended (also from the
  // main window's menu), and Start Scan allowed again.
  QObject::connect(&recording, &TRecordingControl::Changed, &view, show);
  show();
}

}  // namespace qv
