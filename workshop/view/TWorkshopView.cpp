#include "TWorkshopView.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>

#include "AccessibleParts.h"
#include "WorkshopCanvas.h"
#include "WorkshopSnapshot.h"

namespace qv::workshop {

TWorkshopView::TWorkshopView(WorkshopSource& source, WorkshopInputs inputs, ViewSettingsStore* store, QWidget* parent)
    : QMainWindow(parent, Qt::Window), source_(source), inputs_(std::move(inputs)), store_(store) {
  setObjectName(QStringLiteral("WorkshopView"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  renderer_.SetText(ViewText::For(QLocale()));
  clock_.start();

  canvas_ = new WorkshopCanvas(*this);
  setCentralWidget(canvas_);
  auto part = [this](const QString& name) { return new AccessiblePart(name, canvas_); };
  for (int c = 0; c < 4; ++c) {
    difference_parts_[static_cast<std::size_t>(c)] = part({});
    absolute_parts_[static_cast<std::size_t>(c)] = part({});
  }
  reference_part_ = part({});
  unit_part_ = part({});
  verdict_part_ = part({});

  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("WorkshopStatus"));
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  statusBar()->addWidget(status_, 1);

  BuildControls();
  BuildShortcuts();
  SetText(renderer_.Text());

  setMinimumSize(kMinSize);
  resize(kInitialSize);
  tick_.setInterval(kTickMs);
  tick_.setTimerType(Qt::CoarseTimer);
  connect(&tick_, &QTimer::timeout, this, &TWorkshopView::Tick);
  source_.SetChoices(choices_);
  LoadSettings();
}

void TWorkshopView::LoadSettings() {
  if (!store_) return;
  std::string problem;
  const ViewSettings s = store_->Load(problem);
  loading_ = true;
  SetChoices(s.choices);
  SetTheme(s.theme);
  snapshot_folder_ = s.snapshotFolder;
  if (!s.geometry.empty()) restoreGeometry(QByteArray::fromStdString(s.geometry));
  loading_ = false;
  if (!problem.empty()) ShowMessage(QString::fromStdString(problem));
}

void TWorkshopView::SaveSettings() {
  if (!store_ || loading_) return;
  ViewSettings s;
  s.choices = choices_;
  s.theme = renderer_.Kind();
  s.snapshotFolder = snapshot_folder_.string();
  s.geometry = saveGeometry().toStdString();
  const std::string problem = store_->Save(s);
  if (!problem.empty()) ShowMessage(QString::fromStdString(problem));
}

void TWorkshopView::SetSnapshotFolder(const std::filesystem::path& folder) {
  snapshot_folder_ = folder;
  SaveSettings();
}

std::filesystem::path TWorkshopView::SnapshotFolder() const {
  return snapshot_folder_.empty() ? StandardSnapshotFolder() : snapshot_folder_;
}

TWorkshopView::~TWorkshopView() = default;

void TWorkshopView::SetText(const ViewText& text) {
  renderer_.SetText(text);
  setWindowTitle(text.Tr("QUORVEL Werkstattansicht", "QUORVEL workshop view"));
  FillControls();
  drawn_ = false;
  Redraw();
}

void TWorkshopView::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  tick_.start();
  canvas_->setFocus();
  Tick();
}

void TWorkshopView::closeEvent(QCloseEvent* event) {
  // The window's place and size are kept for the next opening.
  if (!isFullScreen()) SaveSettings();
  QMainWindow::closeEvent(event);
}

void TWorkshopView::hideEvent(QHideEvent* event) {
  QMainWindow::hideEvent(event);
  tick_.stop();
}

void TWorkshopView::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Full screen shows the drawing alone; the keys still work.
  if (event->type() == QEvent::WindowStateChange) toolbar_->setVisible(!isFullScreen());
}

void TWorkshopView::Tick() {
  const double now = Now();
  if (inputs_.frames) {
    const std::uint64_t frames = inputs_.frames();
    if (frames != last_frames_) {
      last_frames_ = frames;
      if (inputs_.maxima && (!inputs_.lastFrameHadMaxima || inputs_.lastFrameHadMaxima()))
        source_.AddMaxima(now, inputs_.maxima());
    }
  }
  const Reading r = source_.Read(now, inputs_.portOpen && inputs_.portOpen());
  if (drawn_ && r.serial == shown_.serial) return;
  shown_ = r;
  drawn_ = false;
  Redraw();
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
  ++redraws_;
  UpdateAccessibleParts();
  canvas_->update();
}

void TWorkshopView::UpdateAccessibleParts() {
  const ViewText& t = renderer_.Text();
  const WorkshopLayout& l = renderer_.Layout();
  const bool numbers = shown_.status == Status::Live || shown_.status == Status::NoData;
  for (int c = 0; c < 4; ++c) {
    const auto i = static_cast<std::size_t>(c);
    const bool used = c < l.channelCount;
    const Channel& ch = shown_.channels[i];
    difference_parts_[i]->SetName(used ? t.ChannelLongName(shown_, c) + t.Tr(" Differenz", " difference") : QString());
    absolute_parts_[i]->SetName(used ? t.ChannelLongName(shown_, c) + t.Tr(" Absolutwert", " absolute value")
                                    : QString());
    const QString unit = QStringLiteral(" ") + t.UnitName(shown_.unit);
    difference_parts_[i]->SetValue(used && numbers ? t.Number(ch.difference, shown_.unit, true) + unit : QString());
    absolute_parts_[i]->SetValue(used && numbers ? t.Number(ch.absolute, shown_.unit, false) + unit : QString());
    difference_parts_[i]->setGeometry(used ? l.channels[i].number.toRect() : QRect());
    absolute_parts_[i]->setGeometry(used ? l.channels[i].absolute.toRect() : QRect());
  }
  reference_part_->SetName(t.Tr("Bezug", "Reference"));
  reference_part_->SetValue(t.ReferenceName(shown_));
  reference_part_->setGeometry(l.info.toRect());
  unit_part_->SetName(t.Tr("Einheit", "Unit"));
  unit_part_->SetValue(t.UnitName(shown_.unit));
  unit_part_->setGeometry(l.info.toRect());
  verdict_part_->SetName(t.Tr("Urteil", "Verdict"));
  QString verdict;
  switch (shown_.status) {
    case Status::NoScan: verdict = t.NoScan(); break;
    case Status::Waiting: verdict = t.Waiting(); break;
    case Status::NoData: verdict = t.NoData(); break;
    case Status::Live: verdict = t.Verdict(shown_); break;
  }
  if (shown_.held) verdict += QStringLiteral(" (HOLD)");
  verdict_part_->SetValue(verdict);
  verdict_part_->setGeometry(l.verdict.toRect());
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
  std::string why;
  if (source_.Zero(why)) {
    ShowMessage(renderer_.Text().Tr("Nullabgleich gespeichert.", "Zero adjustment stored."));
  } else {
    ShowMessage(QString::fromStdString(why));
  }
  Tick();
}

void TWorkshopView::ClearZero() {
  source_.ClearZero();
  ShowMessage(renderer_.Text().Tr("Nullabgleich gelöscht.", "Zero adjustment removed."));
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
  const SnapshotResult r =
      SaveSnapshot(SnapshotFolder(), picture_, shown_, QDateTime::currentDateTime(), renderer_.Text());
  if (r.ok) {
    ShowMessage(renderer_.Text().Tr("Gespeichert: %1 (Zeile in %2)", "Saved: %1 (line in %2)").arg(r.png, r.csv));
  } else {
    ShowMessage(r.error);
  }
}

void TWorkshopView::ShowMessage(const QString& text) { status_->setText(text); }

QString TWorkshopView::StatusText() const { return status_->text(); }

}  // namespace qv::workshop
