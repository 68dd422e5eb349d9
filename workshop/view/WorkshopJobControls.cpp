// The workshop view's controls of the job around the measurement: start and
// stop of a scan, recording, replay, the port in the status bar, and the
// list of keys. The owner does the work through JobActions and tells the
// state back; the view only offers what the state allows.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStringList>
#include <QToolBar>
#include <QToolButton>

#include "TWorkshopView.h"

namespace qv::workshop {

using enum TextId;

void TWorkshopView::BuildJobControls() {
  auto action = [this](const char* name, bool checkable = false) {
    QAction* a = toolbar_->addAction(QString());
    a->setObjectName(QString::fromLatin1(name));
    a->setCheckable(checkable);
    return a;
  };
  // Each calls its hook, then shows what the owner says came of it: a check
  // mark follows the state, not the click.
  auto call = [this](const std::function<void()>& hook) {
    if (hook) hook();
    ShowJobState();
  };
  start_scan_ = action("StartScan");
  connect(start_scan_, &QAction::triggered, this, [this, call] { call(job_actions_.startScan); });
  stop_scan_ = action("StopScan");
  connect(stop_scan_, &QAction::triggered, this, [this, call] { call(job_actions_.stopScan); });
  toolbar_->addSeparator();
  record_ = action("Record", true);
  connect(record_, &QAction::triggered, this,
          [this, call](bool on) { call(on ? job_actions_.startRecording : job_actions_.stopRecording); });
  // Replays in a menu of their own: opened now and then, paused and ended
  // while one runs.
  auto* replays = new QMenu(this);
  replays->setObjectName(QStringLiteral("Replays"));
  QAction* menu = action("ReplayMenu");
  menu->setMenu(replays);
  if (auto* button = qobject_cast<QToolButton*>(toolbar_->widgetForAction(menu)))
    button->setPopupMode(QToolButton::InstantPopup);
  replay_ = replays->addAction(QString());
  replay_->setObjectName(QStringLiteral("Replay"));
  connect(replay_, &QAction::triggered, this, [this, call] { call(job_actions_.openReplay); });
  pause_replay_ = replays->addAction(QString());
  pause_replay_->setObjectName(QStringLiteral("PauseReplay"));
  pause_replay_->setCheckable(true);
  connect(pause_replay_, &QAction::triggered, this, [this, call] { call(job_actions_.pauseReplay); });
  end_replay_ = replays->addAction(QString());
  end_replay_->setObjectName(QStringLiteral("EndReplay"));
  connect(end_replay_, &QAction::triggered, this, [this, call] { call(job_actions_.endReplay); });

  job_label_ = new QLabel(this);
  job_label_->setObjectName(QStringLiteral("JobState"));
  statusBar()->addPermanentWidget(job_label_);
  help_ = new ShortcutHelp(*this);
  ShowJobState();
}

void TWorkshopView::SetJobActions(JobActions actions) {
  job_actions_ = std::move(actions);
  ShowJobState();
}

void TWorkshopView::SetJobState(const JobState& state) {
  if (state == job_) return;
  job_ = state;
  ShowJobState();
}

void TWorkshopView::ShowJobState() {
  const JobActions& a = job_actions_;
  const JobState& s = job_;
  start_scan_->setEnabled(a.startScan && s.startAllowed && !s.scanning);
  stop_scan_->setEnabled(a.stopScan && s.scanning);
  record_->setEnabled(s.recording ? bool(a.stopRecording) : a.startRecording && !s.replaying);
  record_->setChecked(s.recording);
  replay_->setEnabled(bool(a.openReplay));
  pause_replay_->setEnabled(a.pauseReplay && s.replaying);
  pause_replay_->setChecked(s.replaying && s.paused);
  end_replay_->setEnabled(a.endReplay && s.replaying);
  const ViewLanguage& w = renderer_.Words();
  QStringList parts{w.F(kPortLine, {s.port.isEmpty() ? w.T(kNoPort) : s.port})};
  if (s.scanning) parts << w.T(kScanRunning);
  if (s.recording) parts << w.T(kRecordingOn);
  if (s.replaying) parts << w.T(kReplayingOn);
  job_label_->setText(parts.join(QStringLiteral(" · ")));
}

void TWorkshopView::FillJobControls() {
  const ViewLanguage& w = renderer_.Words();
  auto text = [&](QAction* a, TextId label, TextId tip) {
    a->setText(w.T(label));
    a->setToolTip(w.T(tip));
  };
  text(start_scan_, kStartScan, kStartScanTip);
  text(stop_scan_, kStopScan, kStopScanTip);
  text(record_, kRecord, kRecordTip);
  if (auto* menu = findChild<QAction*>(QStringLiteral("ReplayMenu"))) text(menu, kReplay, kReplayTip);
  text(replay_, kReplayOpen, kReplayOpenTip);
  text(pause_replay_, kPauseReplay, kPauseReplayTip);
  text(end_replay_, kEndReplay, kEndReplayTip);
  ShowJobState();
  if (ShortcutsShown()) ShowShortcuts(true);  // in the new language
}

void TWorkshopView::ShowShortcuts(bool on) {
  if (!on) {
    help_->hide();
    return;
  }
  const ViewLanguage& w = renderer_.Words();
  help_->Open(Shortcuts(), w.T(kHelp), w.T(kHelpFooter));
}

bool TWorkshopView::ShortcutsShown() const { return help_ && help_->isVisible(); }

std::vector<ShortcutLine> TWorkshopView::Shortcuts() const { return ShortcutsOf(*this, renderer_.Words()); }

}  // namespace qv::workshop
