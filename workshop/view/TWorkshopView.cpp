#include "TWorkshopView.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>
#include <chrono>
#include <cmath>

#include "AccessibleParts.h"
#include "GuardPanel.h"
#include "ToneControls.h"
#include "UserDirs.h"
#include "WorkshopCanvas.h"
#include "WorkshopSnapshot.h"

namespace qv::workshop {

using enum TextId;

TWorkshopView::TWorkshopView(WorkshopSource& source, WorkshopInputs inputs, ViewSettingsStore* store, QWidget* parent)
    : QMainWindow(parent, Qt::Window), source_(source), inputs_(std::move(inputs)), store_(store) {
  setObjectName(QStringLiteral("WorkshopView"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  renderer_.SetLanguage(ViewLanguage::FromEnvironment());
  clock_.start();

  canvas_ = new WorkshopCanvas(*this);
  setCentralWidget(canvas_);
  // A replay's banner: a bar of its own right above the drawing, hidden
  // while no replay shows.
  banner_ = new QLabel(this);
  banner_->setObjectName(QStringLiteral("WorkshopReplayBanner"));
  banner_->setAlignment(Qt::AlignCenter);
  banner_->setMargin(6);
  banner_->setStyleSheet(QStringLiteral("QLabel { background: #1f4e9c; color: white; }"));
  QFont bannerFont = banner_->font();
  bannerFont.setBold(true);
  bannerFont.setPointSizeF(bannerFont.pointSizeF() * 1.6);
  banner_->setFont(bannerFont);
  banner_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  banner_bar_ = new QToolBar(this);
  banner_bar_->setObjectName(QStringLiteral("WorkshopReplayBar"));
  banner_bar_->setMovable(false);
  banner_bar_->setFloatable(false);
  banner_bar_->toggleViewAction()->setVisible(false);
  banner_bar_->addWidget(banner_);
  auto part = [this] { return new AccessiblePart({}, canvas_); };
  for (std::size_t c = 0; c < 4; ++c) {
    difference_parts_[c] = part();
    absolute_parts_[c] = part();
    scatter_parts_[c] = part();
  }
  reference_part_ = part();
  unit_part_ = part();
  tolerance_part_ = part();
  verdict_part_ = part();
  connection_part_ = part();

  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("WorkshopStatus"));
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  statusBar()->addWidget(status_, 1);

  BuildControls();
  BuildShortcuts();
  // Below the controls, above the drawing.
  addToolBarBreak(Qt::TopToolBarArea);
  addToolBar(Qt::TopToolBarArea, banner_bar_);
  banner_bar_->hide();
  tone_ = new ToneControls(*this);
  guard_panel_ = new GuardPanel(*this);
  SetLanguage(renderer_.Words());

  setMinimumSize(kMinSize);
  resize(kInitialSize);
  tick_.setInterval(kTickMs);
  tick_.setTimerType(Qt::CoarseTimer);
  connect(&tick_, &QTimer::timeout, this, &TWorkshopView::Tick);
  source_.SetChoices(choices_);
  LoadSettings();
}

TWorkshopView::~TWorkshopView() = default;

void TWorkshopView::LoadSettings() {
  if (!store_) return;
  std::string problem;
  const ViewSettings s = store_->Load(problem);
  loading_ = true;
  SetChoices(s.choices);
  SetTheme(s.theme);
  SetReconnect(s.reconnect);
  tone_->Load(s.tone);
  guard_panel_->Load(s.guard);
  snapshot_folder_ = s.snapshotFolder;
  if (!s.geometry.empty()) restoreGeometry(QByteArray::fromStdString(s.geometry));
  loading_ = false;
  if (!problem.empty()) ShowMessage(renderer_.Words().F(kSettingsDamaged, {QString::fromStdString(problem)}));
}

void TWorkshopView::SaveSettings() {
  if (!store_ || loading_) return;
  ViewSettings s;
  s.choices = choices_;
  s.theme = renderer_.Kind();
  s.snapshotFolder = snapshot_folder_.string();
  s.geometry = saveGeometry().toStdString();
  s.reconnect = reconnect_;
  s.tone = tone_->Settings();
  s.guard = guard_panel_->Settings();
  const std::string problem = store_->Save(s);
  if (!problem.empty()) ShowMessage(renderer_.Words().F(kSettingsNotSaved, {QString::fromStdString(problem)}));
}

void TWorkshopView::SetSnapshotFolder(const std::filesystem::path& folder) {
  snapshot_folder_ = folder;
  SaveSettings();
}

std::filesystem::path TWorkshopView::SnapshotFolder() const {
  return snapshot_folder_.empty() ? DefaultSnapshotFolder() : snapshot_folder_;
}

void TWorkshopView::SetLanguage(const ViewLanguage& language) {
  renderer_.SetLanguage(language);
  setWindowTitle(QStringLiteral("QUORVEL ") + language.T(kWindowTitle));
  SetConnectionNotice(notice_);  // its text in the new language
  if (banner_) banner_->setText(BannerText());
  FillControls();
  if (tone_) tone_->Fill(language);
  if (guard_panel_) guard_panel_->Fill(language);
  drawn_ = false;
  Redraw();
}

void TWorkshopView::SetReconnect(bool on) {
  const bool changed = on != reconnect_;
  reconnect_ = on;
  if (reconnect_action_ && reconnect_action_->isChecked() != on) reconnect_action_->setChecked(on);
  if (!changed) return;
  SaveSettings();
  if (!loading_ && OnReconnectChanged) OnReconnectChanged(on);
}

void TWorkshopView::SetPhone(bool on) {
  phone_on_ = on;
  if (phone_ && phone_->isChecked() != on) phone_->setChecked(on);
}

bool TWorkshopView::Phone() const { return phone_on_; }

void TWorkshopView::SetConnectionNotice(ConnectionNotice notice) {
  notice_ = notice;
  const ViewLanguage& w = renderer_.Words();
  const QString text = notice == ConnectionNotice::kWaiting ? w.T(kConnectionLost)
                       : notice == ConnectionNotice::kLost  ? w.T(kConnectionGone)
                                                            : QString();
  if (text == renderer_.Notice()) return;
  renderer_.SetNotice(text);
  drawn_ = false;
  Redraw();
}

void TWorkshopView::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  tick_.start();
  canvas_->setFocus();
  Tick();
  tone_->SetVisible(true);
}

void TWorkshopView::closeEvent(QCloseEvent* event) {
  // The window's place and size are kept for the next opening.
  if (!isFullScreen()) SaveSettings();
  QMainWindow::closeEvent(event);
}

void TWorkshopView::hideEvent(QHideEvent* event) {
  QMainWindow::hideEvent(event);
  // Minimised (a spontaneous hide), a listener still hears what changes.
  if (OnShown && event->spontaneous()) return;
  tick_.stop();
  tone_->SetVisible(false);  // no tone from a window no one sees
}

void TWorkshopView::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Full screen shows the drawing alone; the keys still work.
  if (event->type() == QEvent::WindowStateChange) toolbar_->setVisible(!isFullScreen());
}

void TWorkshopView::Tick() {
  MeasurementLook look;
  look.seconds = inputs_.now ? inputs_.now() : Now();
  look.portOpen = inputs_.active && inputs_.active();
  if (inputs_.maximaFrames) look.maximaFrames = inputs_.maximaFrames();
  if (inputs_.maxima) look.maxima = inputs_.maxima();
  // A jump of the source: what was shown before says nothing of the new place.
  if (inputs_.restarts) {
    if (const std::uint64_t n = inputs_.restarts(); n != restarts_) {
      restarts_ = n;
      source_.Restart();
    }
  }
  ShowReplay(inputs_.replay ? inputs_.replay() : ReplayShown{});
  guard_panel_->Update();
  const Reading r = source_.Read(look);
  if (drawn_ && r.serial == shown_.serial) return;
  shown_ = r;
  shown_frames_ = look.maximaFrames;
  drawn_ = false;
  Redraw();
  if (OnShown) OnShown(shown_);
  tone_->Follow(shown_);  // the tone follows the number as shown
}

QString TWorkshopView::BannerText() const {
  if (!replay_shown_.on) return {};
  const ViewLanguage& w = renderer_.Words();
  const QString file = QFileInfo(QString::fromStdString(replay_shown_.file)).fileName();
  // Tenths of a second, cut, not rounded; the epsilon keeps 2.2 s from reading 2.1.
  const auto tenths = static_cast<long long>(std::floor(std::max(0.0, replay_shown_.seconds) * 10.0 + 1e-6));
  const QString time = QStringLiteral("%1:%2.%3")
                           .arg(tenths / 600, 2, 10, QLatin1Char('0'))
                           .arg(tenths / 10 % 60, 2, 10, QLatin1Char('0'))
                           .arg(tenths % 10);
  return w.F(replay_shown_.paused ? kReplayBannerPaused : kReplayBanner, {file, time});
}

void TWorkshopView::ShowReplay(const ReplayShown& replay) {
  if (replay == replay_shown_) return;
  replay_shown_ = replay;
  banner_->setText(BannerText());
  banner_bar_->setVisible(replay_shown_.on);
}

void TWorkshopView::Redraw() {
  if (!canvas_) return;
  const QSize size = canvas_->size();
  if (size.isEmpty()) return;
  const double dpr = canvas_->devicePixelRatioF();
  const QSize pixels = (QSizeF(size) * dpr).toSize();
  if (picture_.size() != pixels || picture_.devicePixelRatio() != dpr) {
    picture_ = QImage(pixels, QImage::Format_RGB32);
    picture_.setDevicePixelRatio(dpr);
  }
  renderer_.Paint(picture_, shown_);
  drawn_ = true;
  drawn_frames_ = shown_frames_;
  ++redraws_;
  UpdateAccessibleParts();
  canvas_->update();
}

void TWorkshopView::UpdateAccessibleParts() {
  const ViewLanguage& w = renderer_.Words();
  const WorkshopLayout& l = renderer_.Layout();
  const bool numbers = shown_.status == Status::Live || shown_.status == Status::NoData;
  for (int c = 0; c < 4; ++c) {
    const auto i = static_cast<std::size_t>(c);
    const bool used = c < l.channelCount;
    const Channel& ch = shown_.channels[i];
    const QString name = used ? w.ChannelLongName(shown_, c) : QString();
    difference_parts_[i]->SetName(used ? w.F(kAccessibleDifference, {name}) : QString());
    absolute_parts_[i]->SetName(used ? w.F(kAccessibleAbsolute, {name}) : QString());
    scatter_parts_[i]->SetName(used ? w.F(kAccessibleScatter, {name}) : QString());
    const bool value = used && numbers;
    difference_parts_[i]->SetValue(value ? w.Number(ch.difference, shown_.unit, true, true) : QString());
    absolute_parts_[i]->SetValue(value ? w.Number(ch.absolute, shown_.unit, false, true) : QString());
    QString scatter =
        value ? w.Scatter(ch.scatter, shown_.unit) + QStringLiteral(" ") + w.UnitName(shown_.unit) : QString();
    if (value && ch.unsteady) scatter += QStringLiteral(", ") + w.T(kUnsteady);
    scatter_parts_[i]->SetValue(scatter);
    difference_parts_[i]->setGeometry(used ? l.channels[i].number.toRect() : QRect());
    absolute_parts_[i]->setGeometry(used ? l.channels[i].absolute.toRect() : QRect());
    scatter_parts_[i]->setGeometry(used ? l.channels[i].scatter.toRect() : QRect());
  }
  reference_part_->SetName(w.T(kAccessibleReference));
  reference_part_->SetValue(w.ReferenceName(shown_));
  reference_part_->setGeometry(l.info.toRect());
  unit_part_->SetName(w.T(kAccessibleUnit));
  unit_part_->SetValue(ViewLanguage::UnitName(shown_.unit));
  unit_part_->setGeometry(l.info.toRect());
  tolerance_part_->SetName(w.T(kAccessibleTolerance));
  tolerance_part_->SetValue(QStringLiteral("±") + w.Number(shown_.tolerance, shown_.unit, false, true));
  tolerance_part_->setGeometry(l.info.toRect());
  verdict_part_->SetName(w.T(kAccessibleVerdict));
  QString verdict = w.Verdict(shown_);
  if (shown_.zeroed) verdict += QStringLiteral(" (") + w.T(kZeroed) + QStringLiteral(")");
  if (shown_.held) verdict += QStringLiteral(" (") + w.T(kHold) + QStringLiteral(")");
  verdict_part_->SetValue(verdict);
  verdict_part_->setGeometry(l.verdict.toRect());
  connection_part_->SetName(w.T(kAccessibleConnection));
  connection_part_->SetValue(renderer_.Notice());
  connection_part_->setGeometry(renderer_.Notice().isEmpty() ? QRect() : l.message.toRect());
  if (tone_) tone_->Part()->setGeometry(l.info.toRect());
  if (guard_panel_) guard_panel_->Place(l);
}

void TWorkshopView::SetChoices(const ViewChoices& c) {
  choices_ = c;
  source_.SetChoices(choices_);
  FillControls();
  SaveSettings();
  Tick();
}

void TWorkshopView::SetHold(bool on) {
  held_ = on;
  source_.SetHold(on);
  if (hold_ && hold_->isChecked() != on) hold_->setChecked(on);
  Tick();
}

void TWorkshopView::SetTheme(ThemeKind kind) {
  renderer_.SetTheme(kind);
  if (night_ && night_->isChecked() != (kind == ThemeKind::Night)) night_->setChecked(kind == ThemeKind::Night);
  SaveSettings();
  Redraw();
}

void TWorkshopView::ResetDamping() {
  source_.ResetDamping();
  Tick();
}

void TWorkshopView::Zero() {
  const ViewLanguage& w = renderer_.Words();
  const ZeroResult z = source_.Zero();
  if (!z.outcome.Done()) {
    ShowMessage(QString::fromStdString(ZeroOutcomeText(z.outcome, choices_.unit, w.language, w.decimalSeparator)));
  } else if (!z.notStored.empty()) {
    ShowMessage(w.F(kSettingsNotSaved, {QString::fromStdString(z.notStored)}));
  } else {
    ShowMessage(w.T(kZeroDone));
  }
  Tick();
}

void TWorkshopView::ClearZero() {
  const ViewLanguage& w = renderer_.Words();
  const std::string notStored = source_.ClearZero();
  ShowMessage(notStored.empty() ? w.T(kZeroCleared) : w.F(kSettingsNotSaved, {QString::fromStdString(notStored)}));
  Tick();
}

void TWorkshopView::ToggleFullScreen() {
  if (isFullScreen()) {
    showNormal();
  } else {
    showFullScreen();
  }
}

void TWorkshopView::Snapshot() {
  Redraw();
  const ViewLanguage& w = renderer_.Words();
  const SnapshotResult r = SaveSnapshot(SnapshotFolder(), picture_, shown_, std::chrono::system_clock::now());
  const QString png = QString::fromStdString(r.png.string());
  if (!r.pictureError.empty()) {
    ShowMessage(w.F(kSnapshotFailed, {QString::fromStdString(r.pictureError)}));
  } else if (!r.csvError.empty()) {
    ShowMessage(w.F(kSnapshotCsvFailed, {png, QString::fromStdString(r.csvError)}));
  } else {
    ShowMessage(w.F(kSnapshotSaved, {png}));
  }
}

void TWorkshopView::SetToneSound(ToneSound* sound) { tone_->SetSound(sound); }

void TWorkshopView::SetEngineGuard(guard::EngineGuard* guard) { guard_panel_->SetGuard(guard); }

void TWorkshopView::ShowMessage(const QString& text) { status_->setText(text); }

QString TWorkshopView::StatusText() const { return status_->text(); }

}  // namespace qv::workshop
