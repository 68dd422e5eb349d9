#include "GuardPanel.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "AccessibleParts.h"
#include "GuardTexts.h"
#include "TWorkshopView.h"
#include "WorkshopLayout.h"

namespace qv::workshop {

namespace {
constexpr int kNoticeChoices[] = {5, 10, 15, 20, 30};  // minutes
QString Utf8(std::string_view t) { return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size())); }
}  // namespace

GuardPanel::GuardPanel(TWorkshopView& view) : QObject(&view), view_(view) {
  setObjectName(QStringLiteral("GuardPanel"));
  running_label_ = new QLabel(&view);
  running_label_->setObjectName(QStringLiteral("EngineRunning"));
  drift_label_ = new QLabel(&view);
  drift_label_->setObjectName(QStringLiteral("IdleDrift"));
  drift_label_->setStyleSheet(QStringLiteral("QLabel { color: #9a5b00; font-weight: bold; }"));
  view.statusBar()->addPermanentWidget(drift_label_);
  view.statusBar()->addPermanentWidget(running_label_);
  running_label_->hide();
  drift_label_->hide();

  // The notice: large, in a bar of its own above the drawing, so the numbers
  // stay in sight and every control keeps working.
  notice_bar_ = new QToolBar(&view);
  notice_bar_->setObjectName(QStringLiteral("EngineNoticeBar"));
  notice_bar_->setMovable(false);
  notice_bar_->setFloatable(false);
  notice_bar_->toggleViewAction()->setVisible(false);
  notice_bar_->setStyleSheet(QStringLiteral("QToolBar { background: #ffcc33; }"));
  notice_label_ = new QLabel(notice_bar_);
  notice_label_->setObjectName(QStringLiteral("EngineNotice"));
  notice_label_->setWordWrap(true);
  notice_label_->setMargin(8);
  notice_label_->setStyleSheet(QStringLiteral("QLabel { color: black; }"));
  QFont font = notice_label_->font();
  font.setBold(true);
  font.setPointSizeF(font.pointSizeF() * 1.6);
  notice_label_->setFont(font);
  notice_label_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  notice_bar_->addWidget(notice_label_);
  dismiss_ = new QToolButton(notice_bar_);
  dismiss_->setObjectName(QStringLiteral("DismissNotice"));
  notice_bar_->addWidget(dismiss_);
  connect(dismiss_, &QToolButton::clicked, this, &GuardPanel::Dismiss);
  view.addToolBarBreak(Qt::TopToolBarArea);
  view.addToolBar(Qt::TopToolBarArea, notice_bar_);
  notice_bar_->hide();

  // The notice's time, chosen once a job or less: the menu "Weitere".
  notice_menu_ = new QMenu(view.MoreMenu());
  notice_menu_->setObjectName(QStringLiteral("EngineNoticeAfter"));
  view.MoreMenu()->insertMenu(view.findChild<QAction*>(QStringLiteral("FullScreen")), notice_menu_);
  notice_times_ = new QActionGroup(notice_menu_);
  for (int m : kNoticeChoices) {
    QAction* a = notice_menu_->addAction(QString());
    a->setCheckable(true);
    a->setData(m);
    notice_times_->addAction(a);
  }
  connect(notice_times_, &QActionGroup::triggered, this, [this](QAction* a) { SetNoticeMinutes(a->data().toInt()); });

  auto part = [&] { return new AccessiblePart({}, view.centralWidget()); };
  running_part_ = part();
  notice_part_ = part();
  drift_part_ = part();
}

void GuardPanel::SetGuard(guard::EngineGuard* guard) {
  guard_ = guard;
  if (guard_) guard_->SetSettings(settings_);
  Update();
}

void GuardPanel::Load(const guard::GuardSettings& s) {
  settings_ = guard::Sanitised(s);
  if (guard_) guard_->SetSettings(settings_);
  for (QAction* a : notice_times_->actions()) a->setChecked(a->data().toInt() * 60.0 == settings_.noticeAfterSeconds);
  Update();
}

void GuardPanel::SetNoticeMinutes(int minutes) {
  guard::GuardSettings next = settings_;
  next.noticeAfterSeconds = minutes * 60.0;
  Load(next);
  view_.SaveSettings();
}

void GuardPanel::Dismiss() {
  if (guard_) guard_->DismissNotice();
  Update();
}

void GuardPanel::Update() {
  if (!guard_ || !guard_->Active()) {
    Show({}, {}, {});
    return;
  }
  const ViewLanguage& w = view_.Renderer().Words();
  const double running = guard_->RunningSeconds();
  const QString notice = guard_->NoticeDue() ? Utf8(guard::NoticeText(running, w.language)) : QString();
  QString drift;
  if (const auto d = guard_->ShownDrift())
    drift = Utf8(guard::DriftText(*d, w.language, view_.Choices().unit, w.decimalSeparator, "\u2212"));
  Show(Utf8(guard::RunningText(running, w.language)), notice, drift);
}

void GuardPanel::Show(const QString& running, const QString& notice, const QString& drift) {
  if (force_ || running != running_) {
    running_ = running;
    running_label_->setText(running_);
    running_label_->setVisible(!running_.isEmpty());
    running_part_->SetValue(running_);
  }
  if (force_ || notice != notice_) {
    notice_ = notice;
    notice_label_->setText(notice_);
    notice_bar_->setVisible(!notice_.isEmpty());
    notice_part_->SetValue(notice_);
  }
  if (force_ || drift != drift_) {
    drift_ = drift;
    drift_label_->setText(drift_);
    drift_label_->setVisible(!drift_.isEmpty());
    drift_part_->SetValue(drift_);
  }
}

void GuardPanel::Fill(const ViewLanguage& w) {
  using enum guard::GuardTextId;
  dismiss_->setText(Utf8(guard::Text(kDismiss, w.language)));
  notice_menu_->setTitle(Utf8(guard::Text(kNoticeAfter, w.language)));
  notice_menu_->setToolTip(Utf8(guard::Text(kNoticeAfterTip, w.language)));
  for (QAction* a : notice_times_->actions())
    a->setText(Utf8(guard::Text(kMinutes, w.language)).arg(a->data().toInt()));
  running_part_->SetName(Utf8(guard::Text(kAccRunning, w.language)));
  notice_part_->SetName(Utf8(guard::Text(kAccNotice, w.language)));
  drift_part_->SetName(Utf8(guard::Text(kAccDrift, w.language)));
  // The texts themselves in the new language.
  force_ = true;
  Update();
  force_ = false;
}

void GuardPanel::Place(const WorkshopLayout& l) {
  running_part_->setGeometry(l.info.toRect());
  drift_part_->setGeometry(l.info.toRect());
  notice_part_->setGeometry(notice_.isEmpty() ? QRect() : l.message.toRect());
}

}  // namespace qv::workshop
