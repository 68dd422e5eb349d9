#include "WorkshopJob.h"

#include <QAction>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "ReconnectLink.h"
#include "RecordingControl.h"
#include "ReplayWindow.h"
#include "TWorkshopView.h"
#include "UnitMain.h"

namespace qv {

namespace {

// What changes without the view's doing (a vanished device, a replay at its
// end, the main window's own buttons) is looked at this often.
constexpr int kStateLookMs = 100;

workshop::JobState StateOf(TForm1& form, TRecordingControl& recording) {
  workshop::JobState s;
  const TReconnectLink* link = form.Reconnect();
  // A scan waiting for its vanished device has its port closed, and still runs.
  s.scanning = form.ComPort1->Connected() || (link && link->State() == usb::TLinkState::kWaiting);
  s.startAllowed = form.Button2->isEnabled();
  s.port = QString::fromStdString(form.ComPort1->Port());
  s.recording = recording.RecordingArmed();
  s.replaying = recording.Replaying();
  s.paused = s.replaying && !recording.Engine()->Playing();
  return s;
}

}  // namespace

void JoinJobControls(workshop::TWorkshopView& view, TForm1& form, TRecordingControl& recording) {
  const QPointer<workshop::TWorkshopView> v(&view);
  const QPointer<TForm1> f(&form);
  const QPointer<TRecordingControl> r(&recording);
  auto show = [v, f, r] {
    if (v && f && r) v->SetJobState(StateOf(*f, *r));
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

  auto* look = new QTimer(&view);
  look->setObjectName(QStringLiteral("JobStateLook"));
  look->setInterval(kStateLookMs);
  look->setTimerType(Qt::CoarseTimer);
  QObject::connect(look, &QTimer::timeout, &view, [v, show] {
    if (v && v->isVisible()) show();
  });
  look->start();
  show();
}

}  // namespace qv
