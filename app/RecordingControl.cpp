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
#include <system_error>
#include <vector>

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

rec::Language RecordingLanguageOf(const QLocale& locale) {
  std::vector<std::string> names;
  for (const QString& n : locale.uiLanguages()) names.push_back(n.toStdString());
  return LanguageForLocales(names);
}

QString TRecordingControl::Tr(rec::TextId id) const { return QString::fromUtf8(rec::Text(id, language_)); }

void TRecordingControl::Tell(const rec::Problem& problem) {
  ShowMessage(ToQString(rec::ProblemText(problem, language_)));
}

std::filesystem::path TRecordingControl::DefaultFolder() { return UserDataDir() / "recordings"; }

TRecordingControl::TRecordingControl(TForm1& form, session::Session& session, rec::Language language)
    : form_(form), session_(session), language_(language) {
  window_ = std::make_unique<TReplayWindow>(&form, language);
  window_->OnPauseClicked = [this] { TogglePause(); };
  window_->OnSpeedChosen = [this](double speed) { SetSpeed(speed); };
  window_->OnSeek = [this](std::uint64_t us) { SeekTo(us); };
  window_->OnEndClicked = [this] { EndReplay(); };
  window_->OnFileDropped = [this](const QString& file) { OpenReplay(file); };

  AskReplayFile = [this] {
    return QFileDialog::getOpenFileName(&form_, Tr(rec::TextId::kPlayDialog), QString::fromStdString(folder_.string()),
                                        Tr(rec::TextId::kRecordingsFilter));
  };
  AskCsvFile = [this](const QString& suggested) {
    return QFileDialog::getSaveFileName(&form_, Tr(rec::TextId::kExportDialog), suggested, Tr(rec::TextId::kCsvFilter));
  };
  ShowMessage = [this](const QString& text) { QMessageBox::warning(&form_, Tr(rec::TextId::kMessageTitle), text); };
  ShowNotice = [this](const QString& text) { QMessageBox::information(&form_, Tr(rec::TextId::kMessageTitle), text); };

  writer_.SetOnFailure(
      [this] { QMetaObject::invokeMethod(this, &TRecordingControl::RecordingFailed, Qt::QueuedConnection); });
  tick_.setSingleShot(true);
  tick_.setTimerType(Qt::PreciseTimer);
  connect(&tick_, &QTimer::timeout, this, &TRecordingControl::Tick);

  form.setAcceptDrops(true);
  form.installEventFilter(this);
  CreateMenu();
  UpdateActions();
  session_.Subscribe(*this);
}

TRecordingControl::~TRecordingControl() {
  session_.Unsubscribe(*this);
  EndReplay();
  writer_.Stop();
}

void TRecordingControl::CreateMenu() {
  Menu = form_.MainMenu1->addMenu(Tr(rec::TextId::kMenu));
  Menu->setObjectName(QStringLiteral("Aufnahme1"));
  auto item = [this](const char* name, rec::TextId caption) {
    QAction* a = Menu->addAction(Tr(caption));
    a->setObjectName(QString::fromLatin1(name));
    return a;
  };
  StartRecordingAction = item("AufnahmeStarten1", rec::TextId::kStartRecording);
  StopRecordingAction = item("AufnahmeBeenden1", rec::TextId::kStopRecording);
  Menu->addSeparator();
  PlayAction = item("Abspielen1", rec::TextId::kPlay);
  EndReplayAction = item("WiedergabeBeenden1", rec::TextId::kEndReplay);
  Menu->addSeparator();
  ExportAction = item("CsvExport1", rec::TextId::kExport);
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
  emit Changed();
}

// ---- recording -------------------------------------------------------------------

void TRecordingControl::RecordEveryScan(const std::filesystem::path& folder) {
  folder_ = folder;
  armed_ = true;
  if (session_.Current().state == session::State::kScanning && !writer_.Recording()) BeginFile();
  UpdateActions();
}

void TRecordingControl::StopRecording() {
  armed_ = false;
  EndFile();
  UpdateActions();
}

void TRecordingControl::OnState(const session::SessionState& state) {
  // A pulled cable that is waited for keeps its scan's file open.
  const bool scanning = state.state == session::State::kScanning || state.state == session::State::kWaiting;
  if (armed_ && state.state == session::State::kScanning && !writer_.Recording()) BeginFile();
  if (!scanning && writer_.Recording()) EndFile();
}

void TRecordingControl::OnBytes(std::string_view bytes) { writer_.Append(bytes); }

void TRecordingControl::BeginFile() {
  if (!writer_.Start(folder_, PortLine())) {
    armed_ = false;
    UpdateActions();
    Tell(writer_.Status().problem);
    return;
  }
  last_file_ = writer_.Status().file;
  UpdateActions();
}

void TRecordingControl::EndFile() {
  const bool failed = writer_.Status().failed;
  writer_.Stop();
  if (!failed && writer_.Status().failed) Tell(writer_.Status().problem);
}

void TRecordingControl::RecordingFailed() {
  // The scan goes on; the next scan tries a new file while recording stays on.
  Tell(writer_.Status().problem);
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
    Tell(read.problem);
    return false;
  }
  EndReplay();
  if (form_.ComPort1->Connected()) {
    form_.Button3->click();  // a running scan stops as with Stop Scan
    if (form_.ComPort1->Connected()) return false;
  }
  replayed_ = std::make_unique<rec::Recording>(std::move(*read.recording));
  engine_ = std::make_unique<rec::ReplayEngine>(*replayed_, form_.Measurement());
  engine_->OnFrame = [this](const FrameReport& report, std::uint64_t time_us) {
    session_.FrameDecoded(form_.Measurement(), report, engine_->MaximaFrames(), static_cast<double>(time_us) * 1e-6);
  };
  form_.Start1->setEnabled(false);
  form_.Button2->setEnabled(false);
  form_.Timer2.SetEnabled(true);
  // The replay window says what is showing; the main window keeps its title.
  window_->ShowReplay(path, engine_->DurationUs(), ToQString(rec::ProblemText(replayed_->damage_problem, language_)));
  window_->show();
  window_->raise();
  engine_->Play(Clock::now());
  session_.ReplayStarted(path.toStdString(), [this] {
    return engine_ ? static_cast<double>(engine_->PositionUs(Clock::now())) * 1e-6 : 0.0;
  });
  UpdateActions();
  Tick();
  return true;
}

void TRecordingControl::TogglePause() {
  if (!engine_) return;
  const auto now = Clock::now();
  const bool fromStart = !engine_->Playing() && engine_->AtEnd();  // Play starts again from the beginning
  engine_->Playing() ? engine_->Pause(now) : engine_->Play(now);
  session_.ReplayPaused(!engine_->Playing());
  if (fromStart) session_.ReplaySeeked(form_.Measurement(), engine_->MaximaFrames());
  Tick();
}

void TRecordingControl::SetSpeed(double speed) {
  if (!engine_) return;
  engine_->SetSpeed(speed, Clock::now());
  session_.ReplaySpeed(engine_->Speed());
  Tick();
}

void TRecordingControl::SeekTo(std::uint64_t position_us) {
  if (!engine_) return;
  engine_->Seek(position_us, Clock::now());
  session_.ReplaySeeked(form_.Measurement(), engine_->MaximaFrames());
  Tick();
}

void TRecordingControl::EndReplay() {
  if (!engine_) return;
  tick_.stop();
  engine_.reset();
  session_.ReplayEnded();
  window_->hide();
  form_.Start1->setEnabled(true);
  form_.Button2->setEnabled(true);
  UpdateActions();
}

void TRecordingControl::Tick() {
  if (!engine_) return;
  const auto now = Clock::now();
  engine_->Advance(now);
  // Played to the end: it stands there, as paused.
  if (!engine_->Playing()) session_.ReplayPaused(true);
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
      Tell(read.problem);
      return false;
    }
    source = &*read.recording;
  }
  if (!source) {
    ShowMessage(Tr(rec::TextId::kNothingToExport));
    return false;
  }
  const std::string file = path.toStdString();
  std::string csv;
  try {
    const rec::Reference reference = ExportReference ? ExportReference() : rec::Reference{};
    csv = rec::ExportCsv(*source, reference);
    AtomicWriteFile(file, csv);
  } catch (const std::system_error& e) {
    // The system's error number in the user's words; another kind of error as it says itself.
    const bool errnoCode =
        e.code().category() == std::generic_category() || e.code().category() == std::system_category();
    const std::string why = errnoCode ? rec::ErrorNumberText(e.code().value(), language_) : std::string(e.what());
    ShowMessage(ToQString(rec::Format(rec::TextId::kExportFailed, language_, {file, why})));
    return false;
  } catch (const std::exception& e) {
    ShowMessage(ToQString(rec::Format(rec::TextId::kExportFailed, language_, {file, e.what()})));
    return false;
  }
  // Every line after the header is one maxima frame.
  const auto lines = std::count(csv.begin(), csv.end(), '\n') - 1;
  ShowNotice(ToQString(rec::Format(rec::TextId::kExportDone, language_, {file, std::to_string(lines)})));
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
