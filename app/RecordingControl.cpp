#include "RecordingControl.h"

#include <QAbstractButton>
#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <string>

#include "AppPaths.h"
#include "CPortText.h"
#include "CsvExport.h"
#include "ReplayWindow.h"
#include "UnitMain.h"

namespace qv {
namespace {

using Clock = rec::ReplayEngine::Clock;

// Replay ticks come when the next record is due, but not more often than this
// nor, so that the position moves on, more seldom than the second limit.
constexpr std::chrono::milliseconds kMinTick{10};
constexpr std::chrono::milliseconds kMaxTick{100};

QString ToQString(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

std::filesystem::path TRecordingControl::DefaultFolder() { return UserDataDir() / "recordings"; }

TRecordingControl::TRecordingControl(TForm1& form) : form_(form) {
  window_ = std::make_unique<TReplayWindow>(&form);
  window_->OnPauseClicked = [this] {
    if (!engine_) return;
    const auto now = Clock::now();
    engine_->Playing() ? engine_->Pause(now) : engine_->Play(now);
    Tick();
  };
  window_->OnSpeedChosen = [this](double speed) {
    if (engine_) engine_->SetSpeed(speed, Clock::now());
    Tick();
  };
  window_->OnSeek = [this](std::uint64_t us) {
    if (engine_) engine_->Seek(us, Clock::now());
    Tick();
  };
  window_->OnEndClicked = [this] { EndReplay(); };
  window_->OnFileDropped = [this](const QString& file) { OpenReplay(file); };

  AskReplayFile = [this] {
    return QFileDialog::getOpenFileName(&form_, QStringLiteral("Aufnahme abspielen"),
                                        QString::fromStdString(folder_.string()),
                                        QStringLiteral("Aufnahmen (*.qvrec);;Alle Dateien (*)"));
  };
  AskCsvFile = [this](const QString& suggested) {
    return QFileDialog::getSaveFileName(&form_, QStringLiteral("Als CSV exportieren"), suggested,
                                        QStringLiteral("CSV (*.csv)"));
  };
  ShowMessage = [this](const QString& text) { QMessageBox::warning(&form_, QStringLiteral("Aufnahme"), text); };

  writer_.SetOnFailure(
      [this] { QMetaObject::invokeMethod(this, &TRecordingControl::RecordingFailed, Qt::QueuedConnection); });
  tick_.setSingleShot(true);
  tick_.setTimerType(Qt::PreciseTimer);
  connect(&tick_, &QTimer::timeout, this, &TRecordingControl::Tick);

  // After the window's own handlers: the scan has started or stopped by then.
  for (QAction* a : {form.Start1, form.Stop1})
    connect(a, &QAction::triggered, this, &TRecordingControl::AfterScanButton);
  for (QAbstractButton* b : {static_cast<QAbstractButton*>(form.Button2), static_cast<QAbstractButton*>(form.Button3)})
    connect(b, &QAbstractButton::clicked, this, &TRecordingControl::AfterScanButton);

  form.setAcceptDrops(true);
  form.installEventFilter(this);
  form.PortTap().OnRead = [this](std::string_view bytes) { writer_.Append(bytes); };
  CreateMenu();
  UpdateActions();
}

TRecordingControl::~TRecordingControl() {
  form_.PortTap().OnRead = nullptr;
  writer_.Stop();
}

void TRecordingControl::CreateMenu() {
  Menu = form_.MainMenu1->addMenu(QStringLiteral("Aufnahme"));
  Menu->setObjectName(QStringLiteral("Aufnahme1"));
  auto item = [this](const char* name, const char* caption) {
    QAction* a = Menu->addAction(QString::fromUtf8(caption));
    a->setObjectName(QString::fromLatin1(name));
    return a;
  };
  StartRecordingAction = item("AufnahmeStarten1", "Aufnahme &starten");
  StopRecordingAction = item("AufnahmeBeenden1", "Aufnahme &beenden");
  Menu->addSeparator();
  PlayAction = item("Abspielen1", "Aufnahme &abspielen...");
  EndReplayAction = item("WiedergabeBeenden1", "&Wiedergabe beenden");
  Menu->addSeparator();
  ExportAction = item("CsvExport1", "Als &CSV exportieren...");
  connect(StopRecordingAction, &QAction::triggered, this, &TRecordingControl::StopRecording);
  connect(EndReplayAction, &QAction::triggered, this, &TRecordingControl::EndReplay);
  connect(StartRecordingAction, &QAction::triggered, this, [this] { RecordEveryScan(folder_); });
  connect(PlayAction, &QAction::triggered, this, [this] {
    if (const QString f = AskReplayFile(); !f.isEmpty()) OpenReplay(f);
  });
  connect(ExportAction, &QAction::triggered, this, [this] {
    const std::filesystem::path source = replayed_ ? std::filesystem::path(replayed_->name) : last_file_;
    const QString suggested = QString::fromStdString(source.parent_path().string()) + QLatin1Char('/') +
                              QFileInfo(QString::fromStdString(source.string())).completeBaseName() +
                              QStringLiteral(".csv");
    if (const QString f = AskCsvFile(suggested); !f.isEmpty()) ExportCsv(f);
  });
}

void TRecordingControl::UpdateActions() {
  StartRecordingAction->setEnabled(!armed_ && !Replaying());
  StopRecordingAction->setEnabled(armed_);
  EndReplayAction->setEnabled(Replaying());
  ExportAction->setEnabled(replayed_ != nullptr || !last_file_.empty());
}

// ---- recording -------------------------------------------------------------------

void TRecordingControl::RecordEveryScan(const std::filesystem::path& folder) {
  folder_ = folder;
  armed_ = true;
  if (form_.ComPort1->Connected() && !writer_.Recording()) BeginFile();
  UpdateActions();
}

void TRecordingControl::StopRecording() {
  armed_ = false;
  EndFile();
  UpdateActions();
}

void TRecordingControl::AfterScanButton() {
  const bool scanning = form_.ComPort1->Connected();
  if (armed_ && scanning && !writer_.Recording()) BeginFile();
  if (!scanning && writer_.Recording()) EndFile();
}

void TRecordingControl::BeginFile() {
  if (!writer_.Start(folder_, PortLine())) {
    armed_ = false;
    UpdateActions();
    ShowMessage(ToQString(writer_.Status().message));
    return;
  }
  last_file_ = writer_.Status().file;
  UpdateActions();
}

void TRecordingControl::EndFile() {
  const bool failed = writer_.Status().failed;
  writer_.Stop();
  if (!failed && writer_.Status().failed) ShowMessage(ToQString(writer_.Status().message));
}

void TRecordingControl::RecordingFailed() {
  // The scan goes on; the next scan tries a new file while recording stays on.
  ShowMessage(ToQString(writer_.Status().message));
}

rec::LineSettings TRecordingControl::PortLine() const {
  const TComPort& port = *form_.ComPort1;
  rec::LineSettings line;
  const TBaudRate baud = port.BaudRate();
  line.baud = baud == brCustom ? static_cast<std::uint32_t>(std::max(port.CustomBaudRate(), 0))
                               : static_cast<std::uint32_t>(std::stoul(std::string(kBaudRateTexts[baud])));
  line.data_bits = static_cast<std::uint8_t>(5 + static_cast<int>(port.DataBits()));
  line.parity = static_cast<rec::Parity>(port.Parity().Bits());
  line.stop_bits = static_cast<rec::StopBits>(port.StopBits());
  switch (port.FlowControl().FlowControl()) {
    case fcHardware: line.flow = rec::FlowControl::kHardware; break;
    case fcSoftware: line.flow = rec::FlowControl::kSoftware; break;
    case fcNone: line.flow = rec::FlowControl::kNone; break;
    case fcCustom: line.flow = rec::FlowControl::kCustom; break;
  }
  return line;
}

// ---- replay ------------------------------------------------------------------------

bool TRecordingControl::OpenReplay(const QString& path) {
  rec::ReadResult read = rec::ReadRecording(path.toStdString());
  if (!read.recording) {
    ShowMessage(ToQString(read.error));
    return false;
  }
  EndReplay();
  if (form_.ComPort1->Connected()) {
    form_.Button3->click();  // a running scan stops as with Stop Scan
    if (form_.ComPort1->Connected()) return false;
  }
  replayed_ = std::make_unique<rec::Recording>(std::move(*read.recording));
  engine_ = std::make_unique<rec::ReplayEngine>(*replayed_, form_.Measurement());
  form_.Start1->setEnabled(false);
  form_.Button2->setEnabled(false);
  form_.Timer2.SetEnabled(true);
  live_title_ = form_.windowTitle();
  form_.setWindowTitle(live_title_ + QStringLiteral(" \u2013 Wiedergabe: ") + QFileInfo(path).fileName());
  window_->ShowReplay(path, engine_->DurationUs(), ToQString(replayed_->damage));
  window_->show();
  window_->raise();
  engine_->Play(Clock::now());
  UpdateActions();
  Tick();
  return true;
}

void TRecordingControl::EndReplay() {
  if (!engine_) return;
  tick_.stop();
  engine_.reset();
  window_->hide();
  form_.setWindowTitle(live_title_);
  form_.Start1->setEnabled(true);
  form_.Button2->setEnabled(true);
  UpdateActions();
}

void TRecordingControl::Tick() {
  if (!engine_) return;
  const auto now = Clock::now();
  engine_->Advance(now);
  window_->ShowPosition(engine_->PositionUs(now), engine_->Playing(), engine_->AtEnd());
  const auto due = engine_->NextDue();
  if (!due) {
    tick_.stop();
    return;
  }
  const auto wait = std::clamp(std::chrono::ceil<std::chrono::milliseconds>(*due - now), kMinTick, kMaxTick);
  tick_.start(wait);
}

bool TRecordingControl::ExportCsv(const QString& path) {
  const rec::Recording* source = replayed_.get();
  rec::ReadResult read;
  if (!source && !last_file_.empty()) {
    read = rec::ReadRecording(last_file_);
    if (!read.recording) {
      ShowMessage(ToQString(read.error));
      return false;
    }
    source = &*read.recording;
  }
  if (!source) return false;
  try {
    const rec::Reference reference = ExportReference ? ExportReference() : rec::Reference{};
    AtomicWriteFile(path.toStdString(), rec::ExportCsv(*source, reference));
  } catch (const std::exception& e) {
    ShowMessage(QString::fromLocal8Bit(e.what()));
    return false;
  }
  return true;
}

void TRecordingControl::AcceptDropsOn(QWidget& target) {
  if (std::find(drop_targets_.begin(), drop_targets_.end(), &target) != drop_targets_.end()) return;
  drop_targets_.emplace_back(&target);
  target.setAcceptDrops(true);
  target.installEventFilter(this);
}

bool TRecordingControl::eventFilter(QObject* watched, QEvent* event) {
  const bool target =
      watched == &form_ || std::find(drop_targets_.begin(), drop_targets_.end(), watched) != drop_targets_.end();
  if (target && event->type() == QEvent::DragEnter) {
    auto* e = static_cast<QDragEnterEvent*>(event);
    if (!DroppedFile(e->mimeData()).isEmpty()) e->acceptProposedAction();
    return true;
  }
  if (target && event->type() == QEvent::Drop) {
    auto* e = static_cast<QDropEvent*>(event);
    const QString file = DroppedFile(e->mimeData());
    if (!file.isEmpty()) {
      e->acceptProposedAction();
      OpenReplay(file);
    }
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace qv
