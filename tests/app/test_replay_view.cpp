// A replay in the workshop view, joined by the program's assembly: the view
// shows the replayed values with a banner, a jump re-settles its damping, and
// for the same frames and reference its differences (damping off) equal the
// program's CSV export and quorvel-decode's.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "MainWindowTestSupport.h"
#include "Program.h"
#include "RecordingControl.h"
#include "RecordingFormat.h"
#include "TWorkshopView.h"
#include "UnitMain.h"
#include "ViewLanguage.h"
#include "WorkshopLauncher.h"
#include "WorkshopSettings.h"
#include "support/TestEnv.h"

namespace fs = std::filesystem;
using qv::workshop::Status;

namespace {

constexpr int kFrames = 12;
constexpr std::uint64_t kStepUs = 200'000;

std::array<int, 4> MaximaOf(int i) { return {80 + (i * 7) % 13, 90 + (i * 3) % 5, 100 - i, 95 + i % 4}; }

// The diff_1..diff_4 columns of each line after the header.
std::vector<std::array<double, 4>> CsvDifferences(const std::string& csv) {
  std::vector<std::array<double, 4>> rows;
  std::istringstream in(csv);
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    std::vector<std::string> cells;
    std::stringstream cs(line);
    for (std::string c; std::getline(cs, c, ',');) cells.push_back(c);
    EXPECT_EQ(cells.size(), 13u) << line;
    if (cells.size() != 13) continue;
    std::array<double, 4> d{};
    for (std::size_t c = 0; c < 4; ++c) d[c] = std::stod(cells[9 + c]);
    rows.push_back(d);
  }
  return rows;
}

class ReplayInView : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(qv::workshop::DefaultSettingsPath().parent_path());
    fs::remove(qv::workshop::DefaultSettingsPath());
    form = std::make_unique<TForm1>();
    form->SetCommandLinePort(device.SlavePath());
    program = std::make_unique<qv::TProgram>(*form, qv::CommandLine{});
    program->Recording().ShowMessage = [this](const QString& t) { messages << t; };
    program->Recording().ShowNotice = [](const QString&) {};
    program->Show();
    program->Workshop().Open();
    view = program->Workshop().View();
    ASSERT_NE(view, nullptr);
    view->SetLanguage(qv::workshop::ViewLanguage::For(QLocale(QLocale::German)));
    std::string file = qv::rec::EncodeHeader({});
    for (int i = 0; i < kFrames; ++i) {
      const auto m = MaximaOf(i);
      qv::rec::AppendRecord(file, kStepUs * static_cast<std::uint64_t>(i), qvtest::MaximaFrame(m[0], m[1], m[2], m[3]));
    }
    recording = dir / "job.qvrec";
    qvtest::WriteFile(recording, file);
  }
  void TearDown() override {
    program.reset();
    form.reset();
    fs::remove(qv::workshop::DefaultSettingsPath());
  }
  void Choose(double damping, qv::workshop::ReferenceKind kind, int cylinder) {
    qv::workshop::ViewChoices c = view->Choices();
    c.dampingSeconds = damping;
    c.reference = kind;
    c.referenceCylinder = cylinder;
    view->SetChoices(c);
  }
  // Paused on frame i: the view's next look shows it.
  void ShowFrame(int i) {
    program->Recording().SeekTo(kStepUs * static_cast<std::uint64_t>(i));
    view->Tick();
  }
  const QLabel* Banner() const { return view->findChild<QLabel*>(QStringLiteral("WorkshopReplayBanner")); }
  bool BannerShown() const { return Banner()->isVisibleTo(view); }

  qvtest::FakeDevice device;
  qvtest::CapturedErrors errors;
  qvtest::ScratchDir dir;
  fs::path recording;
  std::unique_ptr<TForm1> form;
  std::unique_ptr<qv::TProgram> program;
  qv::workshop::TWorkshopView* view = nullptr;
  QStringList messages;
};

TEST_F(ReplayInView, TheViewShowsTheReplayLiveWithABannerOfFileAndRecordedTime) {
  view->Tick();
  EXPECT_EQ(view->Shown().status, Status::NoScan);
  ASSERT_NE(Banner(), nullptr);
  EXPECT_FALSE(BannerShown());

  qv::TRecordingControl& rec = program->Recording();
  ASSERT_TRUE(rec.OpenReplay(QString::fromStdString(recording.string())));
  ASSERT_TRUE(qvtest::WaitFor([&] { return view->Shown().status == Status::Live; }));
  EXPECT_TRUE(BannerShown());
  EXPECT_TRUE(view->BannerText().startsWith(QStringLiteral("Wiedergabe: job.qvrec — 00:0")))
      << view->BannerText().toStdString();

  // At its end the replay stands still: no "Keine Daten", the last frame's time.
  ASSERT_TRUE(qvtest::WaitFor([&] { return rec.Engine()->AtEnd(); }));
  (void)qvtest::WaitFor([] { return false; }, 1500);  // longer than the view's no-data time
  view->Tick();
  EXPECT_EQ(view->Shown().status, Status::Live);
  EXPECT_EQ(view->BannerText(), QStringLiteral("Wiedergabe (angehalten): job.qvrec — 00:02.2"));
  view->SetLanguage(qv::workshop::ViewLanguage::For(QLocale(QLocale::English)));
  EXPECT_EQ(Banner()->text(), QStringLiteral("Replay (paused): job.qvrec — 00:02.2"));

  rec.EndReplay();
  view->Tick();
  EXPECT_FALSE(BannerShown());
  EXPECT_EQ(view->Shown().status, Status::NoScan);
  EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
}

TEST_F(ReplayInView, AJumpReSettlesDampingWithoutSmearFromTheOldPlace) {
  Choose(4.0, qv::workshop::ReferenceKind::Cylinder, 0);
  qv::TRecordingControl& rec = program->Recording();
  ASSERT_TRUE(rec.OpenReplay(QString::fromStdString(recording.string())));
  rec.TogglePause();
  ShowFrame(kFrames - 1);
  ShowFrame(0);
  // Frame 0 alone, taken as it is: D = 100 - M, against cylinder 1.
  const auto m = MaximaOf(0);
  for (int c = 0; c < 4; ++c)
    EXPECT_NEAR(view->Shown().channels[static_cast<std::size_t>(c)].difference, m[0] - m[c], 1e-9) << c;
  // The hold and the snapshot work as live.
  view->SetHold(true);
  ShowFrame(5);
  EXPECT_NEAR(view->Shown().channels[2].difference, m[0] - m[2], 1e-9);
  view->SetHold(false);
  qvtest::ScratchDir shots;
  view->SetSnapshotFolder(shots.path());
  view->Snapshot();
  EXPECT_FALSE(fs::is_empty(shots.path())) << view->StatusText().toStdString();
}

TEST_F(ReplayInView, WithDampingOffTheViewAgreesWithTheExportAndTheDecodeTool) {
  Choose(0.0, qv::workshop::ReferenceKind::Cylinder, 2);
  qv::TRecordingControl& rec = program->Recording();
  ASSERT_TRUE(rec.OpenReplay(QString::fromStdString(recording.string())));
  rec.TogglePause();

  const fs::path exported = dir / "export.csv";
  ASSERT_TRUE(rec.ExportCsv(QString::fromStdString(exported.string()))) << messages.join('\n').toStdString();
  const std::string cmd = std::string("'") + QV_DECODE_BIN + "' --csv --reference 3 '" + recording.string() + "' >'" +
                          (dir / "decoded.csv").string() + "'";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  const auto fromExport = CsvDifferences(qvtest::ReadFile(exported));
  const auto fromTool = CsvDifferences(qvtest::ReadFile(dir / "decoded.csv"));
  ASSERT_EQ(fromExport.size(), static_cast<std::size_t>(kFrames));
  ASSERT_EQ(fromTool.size(), static_cast<std::size_t>(kFrames));

  for (int i = 0; i < kFrames; ++i) {
    ShowFrame(i);
    ASSERT_EQ(view->Shown().status, Status::Live) << i;
    for (std::size_t c = 0; c < 4; ++c) {
      const double shown = view->Shown().channels[c].difference;
      const auto row = static_cast<std::size_t>(i);
      // The files round to two decimals.
      EXPECT_NEAR(shown, fromExport[row][c], 0.005) << "frame " << i << " cylinder " << c + 1;
      EXPECT_NEAR(shown, fromTool[row][c], 0.005) << "frame " << i << " cylinder " << c + 1;
    }
  }
}

}  // namespace
