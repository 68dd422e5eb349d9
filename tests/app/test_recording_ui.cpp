// Recording and replay in the program: the "Aufnahme" menu beside the main
// window's unchanged menus, recording scans from the menu (also around a port
// error), replaying from the menu and by drag and drop with Start Scan off,
// bad files, the CSV export, and every text in German or, under an English
// locale, in English.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "CsvExport.h"
#include "MainWindowTestSupport.h"
#include "PortSession.h"
#include "RecordingControl.h"
#include "RecordingFormat.h"
#include "ReplayWindow.h"
#include "Session.h"
#include "UnitMain.h"
#include "support/TestEnv.h"

namespace fs = std::filesystem;
using qvtest::WaitFor;

namespace {

QStringList MenuTitles(const QMenuBar* bar) {
  QStringList titles;
  for (const QAction* a : bar->actions()) titles << a->text();
  return titles;
}

QStringList Items(const QMenu* menu) {
  QStringList items;
  for (const QAction* a : menu->actions())
    if (!a->isSeparator()) items << a->text();
  return items;
}

std::vector<fs::path> FilesIn(const fs::path& folder) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

class RecordingUi : public ::testing::Test {
 protected:
  void Show() {
    form = std::make_unique<TForm1>();
    // The port reaches the recorder through the session, as in the program.
    port = std::make_unique<qv::TPortSession>(*form, session);
    owned = std::make_unique<qv::TRecordingControl>(*form, session, language);
    control = owned.get();
    control->ShowMessage = [this](const QString& t) { messages << t; };
    control->ShowNotice = [this](const QString& t) { notices << t; };
    form->SetCommandLinePort(device.SlavePath());
    form->show();
    ASSERT_TRUE(WaitFor([&] { return form->isVisible(); }));
  }
  // A recording of three maxima frames, 40 ms apart.
  QString WriteRecording(const std::string& name) {
    std::string file = qv::rec::EncodeHeader({});
    for (int i = 0; i < 3; ++i) qv::rec::AppendRecord(file, 40'000u * i, qvtest::MaximaFrame(10 * i, 20, 30, 40 + i));
    qvtest::WriteFile(dir / name, file);
    return QString::fromStdString((dir / name).string());
  }
  void TearDown() override {
    owned.reset();
    port.reset();
    form.reset();
  }

  qvtest::FakeDevice device;
  qvtest::CapturedErrors errors;
  qvtest::ScratchDir dir;
  qv::session::Session session;
  std::unique_ptr<TForm1> form;
  std::unique_ptr<qv::TPortSession> port;
  std::unique_ptr<qv::TRecordingControl> owned;  // made after the window, gone before it
  qv::TRecordingControl* control = nullptr;
  qv::rec::Language language = qv::rec::Language::German;
  QStringList messages;
  QStringList notices;
};

TEST_F(RecordingUi, ItsMenuStandsRightOfTheWindowsMenusWhichKeepTheirItems) {
  TForm1 plain;
  EXPECT_EQ(MenuTitles(plain.MainMenu1), (QStringList{"Programm", "Einstellung", "Scan"}));
  EXPECT_FALSE(plain.acceptDrops());
  Show();
  EXPECT_EQ(MenuTitles(form->MainMenu1), (QStringList{"Programm", "Einstellung", "Scan", "Aufnahme"}));
  const auto menus = form->MainMenu1->actions();
  EXPECT_EQ(Items(menus[0]->menu()), QStringList{"&beenden"});
  EXPECT_EQ(Items(menus[1]->menu()), (QStringList{"&RS-232", "Setup"}));
  EXPECT_EQ(Items(menus[2]->menu()), (QStringList{"&Start", "&Stop"}));
  EXPECT_EQ(Items(control->Menu), (QStringList{"Aufnahme &starten", "Aufnahme &beenden", "Aufnahme &abspielen...",
                                               "&Wiedergabe beenden", "Als &CSV exportieren..."}));
  EXPECT_TRUE(control->StartRecordingAction->isEnabled());
  EXPECT_FALSE(control->StopRecordingAction->isEnabled());
  EXPECT_FALSE(control->EndReplayAction->isEnabled());
  EXPECT_FALSE(control->ExportAction->isEnabled());
}

TEST_F(RecordingUi, RecordsEveryScanFromTheMenuIntoTheDataFolder) {
  Show();
  control->StartRecordingAction->trigger();
  EXPECT_TRUE(control->RecordingArmed());
  EXPECT_FALSE(control->Recording());  // no scan yet
  form->Button2->click();
  ASSERT_TRUE(form->ComPort1->Connected());
  EXPECT_TRUE(control->Recording());
  ASSERT_TRUE(device.WaitForReceived(1));
  std::string sent;
  for (int i = 0; i < 3; ++i) {
    const std::string frame = qvtest::MaximaFrame(i, 2, 3, 4);
    device.Write(frame);
    sent += frame;
    ASSERT_TRUE(WaitFor([&] { return form->Decoder().Frames() == static_cast<std::uint64_t>(i + 1); }));
  }
  form->Button3->click();
  EXPECT_FALSE(control->Recording());
  EXPECT_TRUE(control->RecordingArmed());

  const auto folder = fs::path(std::getenv("XDG_DATA_HOME")) / "quorvel" / "recordings";
  auto files = FilesIn(folder);
  ASSERT_EQ(files.size(), 1u);
  EXPECT_TRUE(files[0].filename().string().starts_with("quorvel-")) << files[0];
  const auto read = qv::rec::ReadRecording(files[0]);
  ASSERT_TRUE(read.recording) << read.error;
  EXPECT_EQ(read.recording->bytes, sent);
  EXPECT_EQ(read.recording->header->line, qv::rec::LineSettings{});  // 57600 8N1, no flow control
  EXPECT_TRUE(control->ExportAction->isEnabled());

  // Each scan while recording is on gets its own file; after "beenden" none.
  form->Start1->trigger();
  form->Stop1->trigger();
  EXPECT_EQ(FilesIn(folder).size(), 2u);
  control->StopRecordingAction->trigger();
  form->Start1->trigger();
  EXPECT_FALSE(control->Recording());
  form->Stop1->trigger();
  EXPECT_EQ(FilesIn(folder).size(), 2u);
  for (const auto& f : FilesIn(folder)) fs::remove(f);
  EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
}

TEST_F(RecordingUi, ARecordingAroundAPortErrorKeepsWhatCameBefore) {
  Show();
  control->RecordEveryScan(dir / "rec");
  form->Button2->click();
  ASSERT_TRUE(device.WaitForReceived(1));
  device.Write(qvtest::MaximaFrame(7, 7, 7, 7));
  ASSERT_TRUE(WaitFor([&] { return form->Decoder().Frames() == 1; }));
  device.Unplug();
  form->Button3->click();  // the stop command fails on the dead port, which is closed
  EXPECT_FALSE(form->ComPort1->Connected());
  EXPECT_FALSE(control->Recording());
  const auto files = FilesIn(dir / "rec");
  ASSERT_EQ(files.size(), 1u);
  const auto read = qv::rec::ReadRecording(files[0]);
  ASSERT_TRUE(read.recording) << read.error;
  EXPECT_EQ(read.recording->bytes, qvtest::MaximaFrame(7, 7, 7, 7));
  EXPECT_FALSE(read.recording->damaged_at);
}

TEST_F(RecordingUi, ReplayFromTheMenuKeepsThePortClosedAndStartScanOff) {
  Show();
  const QString file = WriteRecording("scan.qvrec");
  control->AskReplayFile = [&] { return file; };
  control->PlayAction->trigger();
  ASSERT_TRUE(control->Replaying());
  EXPECT_FALSE(form->Start1->isEnabled());
  EXPECT_FALSE(form->Button2->isEnabled());
  EXPECT_EQ(form->windowTitle(), "QUORVEL Synchrontester");  // the replay window says what is showing
  qv::TReplayWindow* w = control->ReplayWindow();
  EXPECT_TRUE(w->isVisible());
  EXPECT_TRUE(w->Banner->text().contains("WIEDERGABE"));
  EXPECT_EQ(w->FileLabel->text(), "Datei: scan.qvrec");
  ASSERT_TRUE(WaitFor([&] { return control->Engine()->AtEnd(); }));
  EXPECT_EQ(form->Measurement().MAXIMA, (std::array<std::int32_t, 4>{20, 20, 30, 42}));
  EXPECT_EQ(w->PositionLabel->text(), "00:00.0 / 00:00.0  (Ende)");

  form->Button2->click();
  form->Start1->trigger();
  EXPECT_FALSE(form->ComPort1->Connected());
  EXPECT_EQ(device.Received(), "");

  // Seeking back from the replay window: the first frame's state.
  w->OnSeek(0);
  EXPECT_EQ(form->Measurement().MAXIMA, (std::array<std::int32_t, 4>{0, 20, 30, 40}));

  control->EndReplayAction->trigger();
  EXPECT_FALSE(control->Replaying());
  EXPECT_FALSE(w->isVisible());
  EXPECT_TRUE(form->Start1->isEnabled());
  EXPECT_TRUE(form->Button2->isEnabled());
  EXPECT_EQ(form->windowTitle(), "QUORVEL Synchrontester");
  form->Button2->click();
  EXPECT_TRUE(form->ComPort1->Connected());
  form->Button3->click();
}

TEST_F(RecordingUi, AFileDroppedOnEitherWindowIsReplayed) {
  Show();
  const QString file = WriteRecording("dropped.qvrec");
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(file)});
  QDragEnterEvent enter(QPoint(50, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(50, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form.get(), &drop);
  ASSERT_TRUE(control->Replaying());
  EXPECT_EQ(control->Engine()->Source().name, file.toStdString());

  const QString other = WriteRecording("second.qvrec");
  QMimeData mime2;
  mime2.setUrls({QUrl::fromLocalFile(other)});
  QDragEnterEvent enter2(QPoint(5, 5), Qt::CopyAction, &mime2, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(control->ReplayWindow(), &enter2);
  EXPECT_TRUE(enter2.isAccepted());
  QDropEvent drop2(QPointF(5, 5), Qt::CopyAction, &mime2, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(control->ReplayWindow(), &drop2);
  ASSERT_TRUE(control->Replaying());
  EXPECT_EQ(control->Engine()->Source().name, other.toStdString());
}

TEST_F(RecordingUi, BadFilesAreNamedAndDamagedOnesReplayTheirValidPart) {
  Show();
  qvtest::WriteFile(dir / "empty.bin", "");
  EXPECT_FALSE(control->OpenReplay(QString::fromStdString((dir / "empty.bin").string())));
  EXPECT_FALSE(control->Replaying());
  ASSERT_EQ(messages.size(), 1);
  EXPECT_EQ(messages[0].toStdString(),
            (dir / "empty.bin").string() + " ist leer: weder eine Aufnahme noch ein Mitschnitt");

  const QString file = WriteRecording("cut.qvrec");
  fs::resize_file(file.toStdString(), fs::file_size(file.toStdString()) - 3);
  ASSERT_TRUE(control->OpenReplay(file));
  EXPECT_TRUE(control->ReplayWindow()->DamageLabel->isVisibleTo(control->ReplayWindow()));
  EXPECT_TRUE(control->ReplayWindow()->DamageLabel->text().contains("gelesen bis Byte"))
      << control->ReplayWindow()->DamageLabel->text().toStdString();
  ASSERT_TRUE(WaitFor([&] { return control->Engine()->AtEnd(); }));
  EXPECT_EQ(form->Measurement().MAXIMA, (std::array<std::int32_t, 4>{10, 20, 30, 41}));
}

TEST_F(RecordingUi, ExportsTheCurrentRecordingAsCsv) {
  Show();
  const QString file = WriteRecording("scan.qvrec");
  ASSERT_TRUE(control->OpenReplay(file));
  QString suggested;
  control->AskCsvFile = [&](const QString& s) {
    suggested = s;
    return QString::fromStdString((dir / "out.csv").string());
  };
  control->ExportAction->trigger();
  EXPECT_EQ(suggested.toStdString(), (dir / "scan.csv").string());
  const auto read = qv::rec::ReadRecording(file.toStdString());
  const std::string csv = qvtest::ReadFile(dir / "out.csv");
  EXPECT_EQ(csv, qv::rec::ExportCsv(*read.recording, {}));
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 4);
  EXPECT_EQ(notices, QStringList{"Als CSV gespeichert: " + QString::fromStdString((dir / "out.csv").string()) +
                                 " (3 Zeilen mit Messwerten)"});

  // A folder that cannot be made (a plain file stands there): nothing
  // written, and the user is told why.
  qvtest::WriteFile(dir / "plain", "x");
  const QString nowhere = QString::fromStdString((dir / "plain" / "out.csv").string());
  EXPECT_FALSE(control->ExportCsv(nowhere));
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith("Die CSV-Datei " + nowhere + " wurde nicht gespeichert: "))
      << messages[0].toStdString();
  EXPECT_EQ(qvtest::ReadFile(dir / "plain"), "x");
  EXPECT_EQ(notices.size(), 1);
}

TEST_F(RecordingUi, AFolderThatCannotBeMadeIsToldInGermanAndRecordingStaysOff) {
  Show();
  qvtest::WriteFile(dir / "plain", "x");
  control->RecordEveryScan(dir / "plain" / "rec");
  form->Button2->click();
  ASSERT_TRUE(form->ComPort1->Connected());  // the scan runs all the same
  EXPECT_FALSE(control->Recording());
  EXPECT_FALSE(control->RecordingArmed());
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith(QString::fromStdString(
      "Der Ordner für Aufnahmen " + (dir / "plain" / "rec").string() + " kann nicht angelegt werden: ")))
      << messages[0].toStdString();
  form->Button3->click();
}

TEST_F(RecordingUi, WindowsDialogsAndMessagesInEnglishUnderAnEnglishLocale) {
  EXPECT_EQ(qv::RecordingLanguageOf(QLocale(QLocale::English, QLocale::UnitedKingdom)), qv::rec::Language::English);
  EXPECT_EQ(qv::RecordingLanguageOf(QLocale(QLocale::German, QLocale::Austria)), qv::rec::Language::German);
  EXPECT_EQ(qv::RecordingLanguageOf(QLocale(QLocale::French)), qv::rec::Language::German);
  EXPECT_EQ(qv::RecordingLanguageOf(QLocale::c()), qv::rec::Language::German);
  {
    // Without a language handed in, the control follows the environment's
    // locale, as the workshop view does.
    std::vector<std::pair<const char*, std::optional<std::string>>> saved;
    for (const char* v : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
      const char* was = std::getenv(v);
      saved.emplace_back(v, was ? std::optional<std::string>(was) : std::nullopt);
      unsetenv(v);
    }
    setenv("LANG", "en_US.UTF-8", 1);
    qv::session::Session session;
    TForm1 plain;
    qv::TRecordingControl followed(plain, session);
    setenv("LANG", "de_DE.UTF-8", 1);
    TForm1 other;
    qv::TRecordingControl german(other, session);
    for (const auto& [v, was] : saved) was ? setenv(v, was->c_str(), 1) : unsetenv(v);
    QStringList told;
    followed.ShowMessage = german.ShowMessage = [&](const QString& m) { told << m; };
    qvtest::WriteFile(dir / "nothing.bin", "");
    const QString nothing = QString::fromStdString((dir / "nothing.bin").string());
    EXPECT_FALSE(followed.OpenReplay(nothing));
    EXPECT_FALSE(german.OpenReplay(nothing));
    ASSERT_EQ(told.size(), 2);
    EXPECT_TRUE(told[0].endsWith("is empty: it is neither a recording nor a capture")) << told[0].toStdString();
    EXPECT_TRUE(told[1].endsWith("ist leer: weder eine Aufnahme noch ein Mitschnitt")) << told[1].toStdString();
    // The menu reads as the main window's menus do, in German.
    EXPECT_EQ(followed.Menu->title(), "Aufnahme");
  }

  language = qv::rec::Language::English;
  Show();
  EXPECT_EQ(MenuTitles(form->MainMenu1), (QStringList{"Programm", "Einstellung", "Scan", "Aufnahme"}));
  EXPECT_EQ(Items(control->Menu), (QStringList{"Aufnahme &starten", "Aufnahme &beenden", "Aufnahme &abspielen...",
                                               "&Wiedergabe beenden", "Als &CSV exportieren..."}));

  qvtest::WriteFile(dir / "empty.bin", "");
  EXPECT_FALSE(control->OpenReplay(QString::fromStdString((dir / "empty.bin").string())));
  ASSERT_EQ(messages.size(), 1);
  EXPECT_EQ(messages[0].toStdString(),
            (dir / "empty.bin").string() + " is empty: it is neither a recording nor a capture");

  const QString file = WriteRecording("cut.qvrec");
  fs::resize_file(file.toStdString(), fs::file_size(file.toStdString()) - 3);
  ASSERT_TRUE(control->OpenReplay(file));
  qv::TReplayWindow* w = control->ReplayWindow();
  EXPECT_EQ(w->windowTitle(), "Replay");
  EXPECT_EQ(w->Banner->text(), "REPLAY of a recording \u2013 not a live measurement");
  EXPECT_EQ(w->FileLabel->text(), "File: cut.qvrec");
  EXPECT_TRUE(w->DamageLabel->text().contains("the last record is cut off at byte"))
      << w->DamageLabel->text().toStdString();
  EXPECT_EQ(form->windowTitle(), "QUORVEL Synchrontester");
  EXPECT_EQ(w->EndButton->text(), "End replay");
  EXPECT_EQ(w->Speed->accessibleName(), "Speed");
  ASSERT_TRUE(WaitFor([&] { return control->Engine()->AtEnd(); }));
  EXPECT_EQ(w->PositionLabel->text(), "00:00.0 / 00:00.0  (end)");
  w->ShowPosition(0, false, false);
  EXPECT_EQ(w->PositionLabel->text(), "00:00.0 / 00:00.0  (paused)");
  EXPECT_EQ(w->PauseButton->text(), "Play");

  ASSERT_TRUE(control->ExportCsv(QString::fromStdString((dir / "out.csv").string())));
  EXPECT_EQ(notices, QStringList{"Saved as CSV: " + QString::fromStdString((dir / "out.csv").string()) +
                                 " (2 lines of values)"});
  control->EndReplay();
  EXPECT_EQ(form->windowTitle(), "QUORVEL Synchrontester");
}

}  // namespace
