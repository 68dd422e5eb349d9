#include "JobDeskJoin.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include "JobDesk.h"
#include "JobHistory.h"
#include "JobTexts.h"
#include "Session.h"
#include "TWorkshopView.h"

namespace qv {
namespace {

// The readings are sampled as often as the device sends frames.
constexpr int kFeedMs = 100;

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

void JoinJobDesk(workshop::TWorkshopView& view, session::Session& session) {
  const Language lang = view.Renderer().Words().language;
  using jobs::JobTextId;
  auto open = [](const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
  auto confirm = [&view, lang](const QString& question) {
    return QMessageBox::question(&view, Q(jobs::JobText(JobTextId::kHistory, lang)), question,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
  };
  auto* desk = new jobs::JobDesk(lang, {}, confirm, open, &view);
  view.addDockWidget(Qt::RightDockWidgetArea, desk);
  desk->hide();

  auto* feed = new QTimer(desk);
  QObject::connect(feed, &QTimer::timeout, desk, [desk, &view, &session] { desk->Feed(session.Now(), view.Shown()); });
  feed->start(kFeedMs);

  QMenu* more = view.MoreMenu();
  more->addSeparator();
  auto add = [&](JobTextId text, auto call) {
    QAction* a = more->addAction(Q(jobs::JobText(text, lang)));
    QObject::connect(a, &QAction::triggered, desk, [desk, call] {
      desk->show();
      (desk->*call)();
    });
  };
  add(JobTextId::kBefore, &jobs::JobDesk::TakeBefore);
  add(JobTextId::kAfter, &jobs::JobDesk::TakeAfter);
  add(JobTextId::kReport, &jobs::JobDesk::WriteReport);
  QAction* panel = desk->toggleViewAction();
  panel->setText(Q(jobs::JobText(JobTextId::kDeskMenu, lang)));
  more->addAction(panel);
  QAction* history = more->addAction(Q(jobs::JobText(JobTextId::kHistoryMenu, lang)));
  QObject::connect(history, &QAction::triggered, desk,
                   [desk, lang, open, window = QPointer<jobs::JobHistory>()]() mutable {
                     if (!desk->Database()) {
                       desk->show();  // its status line says why there is no history
                       return;
                     }
                     if (!window) {
                       window = new jobs::JobHistory(*desk->Database(), lang, open, desk);
                       window->setAttribute(Qt::WA_DeleteOnClose);
                     }
                     window->Refresh();
                     window->show();
                     window->raise();
                   });
}

}  // namespace qv
