#pragma once
// Recording and replay in the program, in a menu of their own ("Aufnahme")
// right of the main window's menus. Recording subscribes to the session: the
// bytes the receive handler reads from the port are written off the
// user-interface thread, a file per scan. A replay is a source of the
// session: it plays a file through a receive handler and decoder into the
// window's measurement state, so both displays show it, and tells the
// session of every frame and of pausing, speed and jumps, while the port
// stays closed and Start Scan is off.
#include <QLocale>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "CsvExport.h"
#include "RecordingReader.h"
#include "RecordingTexts.h"
#include "RecordingWriter.h"
#include "ReplayEngine.h"
#include "Session.h"

class QAction;
class QMenu;
class QWidget;
class TForm1;

namespace qv {

class TReplayWindow;

// English under an English locale, German otherwise, by the same rule as the
// workshop view (which reads the same from the environment by default).
[[nodiscard]] rec::Language RecordingLanguageOf(const QLocale& locale);

class TRecordingControl : public QObject, public session::Subscriber {
  Q_OBJECT

 public:
  // Joins the window and the session; must be destroyed before either. Its
  // menu, windows and messages speak `language`.
  TRecordingControl(TForm1& form, session::Session& session, rec::Language language = LanguageFromEnvironment());
  ~TRecordingControl() override;

  // Every scan from now on is recorded into `folder`, a file per scan
  // (--record FOLDER, and "Aufnahme starten" with the chosen folder).
  void RecordEveryScan(const std::filesystem::path& folder);
  void StopRecording();
  [[nodiscard]] bool RecordingArmed() const { return armed_; }
  [[nodiscard]] bool Recording() const { return writer_.Recording(); }
  [[nodiscard]] rec::WriterStatus RecordingStatus() const { return writer_.Status(); }
  // The default folder: $XDG_DATA_HOME/quorvel/recordings.
  [[nodiscard]] static std::filesystem::path DefaultFolder();

  // Replays the file; false, after telling the user, when it cannot be read.
  bool OpenReplay(const QString& path);
  void EndReplay();
  // What the replay window's buttons do: pause or play on, speed, a jump.
  void TogglePause();
  void SetSpeed(double speed);
  void SeekTo(std::uint64_t position_us);
  [[nodiscard]] bool Replaying() const { return engine_ != nullptr; }
  [[nodiscard]] rec::ReplayEngine* Engine() { return engine_.get(); }
  [[nodiscard]] TReplayWindow* ReplayWindow() { return window_.get(); }

  // Writes the CSV of the current recording (the one replayed, else the last
  // one recorded) to `path`, its differences against ExportReference();
  // false, after telling the user, on failure.
  bool ExportCsv(const QString& path);

  // Files dropped on `target` are replayed too, as on the main window.
  void AcceptDropsOn(QWidget& target);

  QMenu* Menu = nullptr;
  QAction* StartRecordingAction = nullptr;
  QAction* StopRecordingAction = nullptr;
  QAction* PlayAction = nullptr;
  QAction* EndReplayAction = nullptr;
  QAction* ExportAction = nullptr;

  // The file dialogs and the message boxes (a warning, a notice); tests replace them.
  std::function<QString()> AskReplayFile;
  std::function<QString(const QString& suggested)> AskCsvFile;
  std::function<void(const QString&)> ShowMessage;
  std::function<void(const QString&)> ShowNotice;
  // The reference of the CSV's differences, asked at each export; unset: the mean.
  std::function<rec::Reference()> ExportReference;

 signals:
  // Recording was switched on or off, or a replay opened or ended.
  void Changed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;  // files dropped on the windows

 private:
  // session::Subscriber: a file per scan, the port's bytes into it.
  void OnState(const session::SessionState& state) override;
  void OnBytes(std::string_view bytes) override;

  void CreateMenu();
  void BeginFile();
  void EndFile();
  void RecordingFailed();
  void Tick();
  void ShowState();
  void UpdateActions();
  [[nodiscard]] rec::LineSettings PortLine() const;
  [[nodiscard]] QString Tr(rec::TextId id) const;
  void Tell(const rec::Problem& problem);

  TForm1& form_;
  session::Session& session_;
  rec::Language language_;
  rec::RecordingWriter writer_;
  std::filesystem::path folder_ = DefaultFolder();
  bool armed_ = false;
  std::filesystem::path last_file_;  // the last recording written
  std::unique_ptr<rec::Recording> replayed_;
  std::unique_ptr<rec::ReplayEngine> engine_;
  std::unique_ptr<TReplayWindow> window_;
  QTimer tick_;
  std::vector<QPointer<QWidget>> drop_targets_;  // besides the main window
};

}  // namespace qv
