#include "WorkshopLauncher.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <algorithm>

#include "CommandLine.h"
#include "TWorkshopView.h"
#include "UnitMain.h"
#include "WorkshopSource.h"

namespace qv {

WorkshopLauncher::WorkshopLauncher(TForm1& form, SourceFactory makeSource)
    : QObject(&form), form_(form), make_source_(std::move(makeSource)) {
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

WorkshopLauncher::~WorkshopLauncher() = default;

void WorkshopLauncher::Open() {
  if (!view_) {
    backend_ = make_source_();
    TForm1* form = &form_;
    workshop::WorkshopInputs in;
    in.portOpen = [form] { return form->ComPort1 && form->ComPort1->Connected(); };
    in.frames = [form] { return form->Decoder().Frames(); };
    in.lastFrameHadMaxima = [form] { return form->Decoder().LastFrame().maxima == RecordOutcome::kDecoded; };
    in.maxima = [form] { return form->Measurement().MAXIMA; };
    view_ = std::make_unique<workshop::TWorkshopView>(*backend_.source, std::move(in), backend_.store.get());
    // Closing the view never ends the program; closing the main window does.
    view_->setAttribute(Qt::WA_QuitOnClose, false);
    // Beside the main window, right or left of it, where the screen has room.
    const QRect main = form_.frameGeometry();
    QPoint at(main.right() + 8, main.top());
    if (const QScreen* s = form_.screen()) {
      const QRect free = s->availableGeometry();
      const int width = workshop::TWorkshopView::kInitialSize.width();
      if (at.x() + width > free.right()) at.setX(std::max(free.left(), main.left() - 8 - width));
    }
    view_->move(at);
    if (OnViewMade) OnViewMade(*view_);
  }
  view_->show();
  view_->raise();
  view_->activateWindow();
}

bool WorkshopLauncher::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &form_ && event->type() == QEvent::Close && view_) view_->close();
  return QObject::eventFilter(watched, event);
}

WorkshopLauncher* AttachWorkshopView(TForm1& form, const CommandLine& cl, WorkshopLauncher::SourceFactory makeSource) {
  auto* launcher = new WorkshopLauncher(form, std::move(makeSource));
  if (cl.workshop) launcher->Open();
  return launcher;
}

}  // namespace qv
