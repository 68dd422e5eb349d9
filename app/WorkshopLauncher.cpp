#include "WorkshopLauncher.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

#include "CommandLine.h"
#include "Panels.h"
#include "ReconnectController.h"
#include "ReconnectLink.h"
#include "SessionLook.h"
#include "TWorkshopView.h"
#include "UnitMain.h"
#include "WorkshopPlacement.h"
#include "WorkshopSource.h"

namespace qv {

WorkshopLauncher::WorkshopLauncher(TForm1& form, session::Session& session, SourceFactory makeSource)
    : QObject(&form), form_(form), session_(session), make_source_(std::move(makeSource)) {
  setObjectName(QStringLiteral("WorkshopLauncher"));
  Menu = form.MainMenu1->addMenu(QStringLiteral("Ansicht"));
  Menu->setObjectName(QStringLiteral("Ansicht1"));
  Werkstattansicht1 = Menu->addAction(QStringLiteral("&Werkstattansicht"));
  Werkstattansicht1->setObjectName(QStringLiteral("Werkstattansicht1"));
  Werkstattansicht1->setShortcut(QKeySequence(Qt::Key_F11));
  // The shortcut works in the main window, whether or not the menu is open.
  form.addAction(Werkstattansicht1);
  connect(Werkstattansicht1, &QAction::triggered, this, &WorkshopLauncher::Open);
  form.installEventFilter(this);
}

WorkshopLauncher::~WorkshopLauncher() { DropView(); }

void WorkshopLauncher::DropView() {
  // The view goes, often while the window is going too: its last hide must
  // not reach back into either.
  if (view_) {
    view_->removeEventFilter(this);
    view_->OnReconnectChanged = nullptr;
  }
  view_.reset();
  look_.reset();
}

namespace {
workshop::ConnectionNotice NoticeOf(const QString& state) {
  if (state == QString::fromUtf8(usb::kTextWaiting)) return workshop::ConnectionNotice::kWaiting;
  if (state == QString::fromUtf8(usb::kTextLost)) return workshop::ConnectionNotice::kLost;
  return workshop::ConnectionNotice::kNone;
}
}  // namespace

void WorkshopLauncher::FollowReconnect(bool viewOpen) {
  const bool on = viewOpen && view_ && view_->Reconnect();
  if (on == form_.ReconnectEnabled()) return;
  if (!on) {
    // A scan waiting for its device cannot go on without the link: it ends
    // as Stop Scan would end it.
    if (TReconnectLink* link = form_.Reconnect(); link && link->State() == usb::TLinkState::kWaiting)
      form_.Button3Click();
    form_.SetReconnectEnabled(false);
    if (view_) view_->SetConnectionNotice(workshop::ConnectionNotice::kNone);
    return;
  }
  form_.SetReconnectEnabled(true, reconnect_roots_);
  TReconnectLink* link = form_.Reconnect();
  workshop::TWorkshopView* view = view_.get();
  connect(link, &TReconnectLink::StateChanged, view,
          [view](const QString& state) { view->SetConnectionNotice(NoticeOf(state)); });
  // A scan already running is carried over from now on, not only from the next Start.
  if (form_.Timer2.Enabled() && form_.ComPort1->Connected()) link->ScanStarted();
}

void WorkshopLauncher::Open() {
  if (!view_) {
    backend_ = make_source_();
    look_ = std::make_unique<workshop::SessionLook>(session_);
    view_ = std::make_unique<workshop::TWorkshopView>(*backend_.source, look_->Inputs(), backend_.store.get());
    // Closing the view never ends the program; closing the main window does.
    view_->setAttribute(Qt::WA_QuitOnClose, false);
    Place();
    view_->OnReconnectChanged = [this](bool) { FollowReconnect(view_->isVisible()); };
    view_->installEventFilter(this);
    if (OnViewMade) OnViewMade(*view_);
  }
  view_->show();
  view_->raise();
  view_->activateWindow();
}

void WorkshopLauncher::Place() {
  const QScreen* screen = form_.screen();
  if (!screen) return;
  // The view gets the frame the main window has: the same window manager draws both.
  const QRect main = form_.frameGeometry();
  const QSize frame = main.size() - form_.size();
  WorkshopPlacementSizes sizes;
  sizes.wanted = view_->size() + frame;
  sizes.minimum = view_->minimumSize() + frame;
  sizes.controlsHeight = form_.Panel1->mapToGlobal(QPoint(0, form_.Panel1->height())).y() - main.top();
  const WorkshopPlace place = PlaceWorkshopView(main, screen->availableGeometry(), sizes);
  if (place.maximise) {
    view_->setWindowState(view_->windowState() | Qt::WindowMaximized);
    return;
  }
  view_->move(place.frame.topLeft());
  view_->resize(place.frame.size() - frame);
}

bool WorkshopLauncher::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &form_ && event->type() == QEvent::Close && view_) view_->close();
  // Opened and closed, not minimised and restored (those are spontaneous).
  if (view_ && watched == view_.get() && !event->spontaneous()) {
    if (event->type() == QEvent::Show) FollowReconnect(true);
    if (event->type() == QEvent::Hide) FollowReconnect(false);
  }
  return QObject::eventFilter(watched, event);
}

WorkshopLauncher* AttachWorkshopView(TForm1& form, session::Session& session, const CommandLine& cl,
                                     WorkshopLauncher::SourceFactory makeSource) {
  auto* launcher = new WorkshopLauncher(form, session, std::move(makeSource));
  if (cl.workshop) launcher->Open();
  return launcher;
}

}  // namespace qv
