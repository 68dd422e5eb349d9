// Recording beside the workshop view, joined by the program's assembly: the
// CSV export measures against the view's current reference (else the stored
// one, else the mean), files dropped on the view are replayed, and every
// frame of a file's last record gives its line.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <filesystem>
#include <memory>

#include "CommandLine.h"
#include "CsvExport.h"
#include "MainWindowTestSupport.h"
#include "Program.h"
#include "RecordingControl.h"
#include "RecordingFormat.h"
#include "TWorkshopView.h"
#include "UnitMain.h"
#include "WorkshopLauncher.h"
#include "WorkshopSettings.h"
#include "WorkshopSource.h"
#include "support/TestEnv.h"

namespace fs = std::filesystem;
using qv::workshop::ReferenceKind;
using qv::workshop::ViewChoices;

namespace {

constexpr const char* kHeaderLine =
    "time_s,value_1,value_2,value_3,value_4,mbar_1,mbar_2,mbar_3,mbar_4,diff_1,diff_2,diff_3,diff_4\r\n";
// One frame's line, D = 10 5 -1 1, with the differences to the reference.
std::string Line(const char* diffs) { return std::string("0.000000,90,95,101,99,10,5,-1,1,") + diffs + "\r\n"; }

class RecordingBesideWorkshop : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(qv::workshop::DefaultSettingsPath().parent_path());
    fs::remove(qv::workshop::DefaultSettingsPath());
    form = std::make_unique<TForm1>();
    form->SetCommandLinePort(device.SlavePath());
    program = std::make_unique<qv::TProgram>(*form, qv::CommandLine{});
    launcher = &program->Workshop();
    control = &program->Recording();
    control->ShowMessage = [this](const QString& t) { messages << t; };
    control->ShowNotice = [](const QString&) {};
    program->Show();
    ASSERT_TRUE(qvtest::WaitFor([&] { return form->isVisible(); }));
  }
  void TearDown() override {
    program.reset();
    form.reset();
    fs::remove(qv::workshop::DefaultSettingsPath());
  }
  // A recording of one maxima frame, 90 95 101 99.
  QString WriteRecording(const std::string& name) {
    std::string file = qv::rec::EncodeHeader({});
    qv::rec::AppendRecord(file, 0, qvtest::MaximaFrame(90, 95, 101, 99));
    qvtest::WriteFile(dir / name, file);
    return QString::fromStdString((dir / name).string());
  }
  std::string Export() {
    const QString out = QString::fromStdString((dir / "out.csv").string());
    EXPECT_TRUE(control->ExportCsv(out)) << messages.join('\n').toStdString();
    return qvtest::ReadFile(dir / "out.csv");
  }
  void Choose(ReferenceKind kind, int cylinder, bool pairs) {
    ViewChoices c = launcher->View()->Choices();
    c.reference = kind;
    c.referenceCylinder = cylinder;
    c.pairMode = pairs;
    launcher->View()->SetChoices(c);
  }
  void StoreSettings(ReferenceKind kind, int cylinder, bool pairs) {
    qv::workshop::WorkshopSettings s;
    s.model.reference = kind;
    s.model.referenceCylinder = cylinder;
    s.model.pairMode = pairs;
    qvtest::WriteFile(qv::workshop::DefaultSettingsPath(), qv::workshop::SettingsText(s));
  }
  static void Drop(QWidget* on, const QString& file) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(on, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(on, &drop);
  }

  qvtest::FakeDevice device;
  qvtest::CapturedErrors errors;
  qvtest::ScratchDir dir;
  std::unique_ptr<TForm1> form;
  std::unique_ptr<qv::TProgram> program;
  qv::WorkshopLauncher* launcher = nullptr;  // the form's child
  qv::TRecordingControl* control = nullptr;  // the program's
  QStringList messages;
};

TEST_F(RecordingBesideWorkshop, TheExportTakesTheOpenViewsCurrentReference) {
  ASSERT_TRUE(control->OpenReplay(WriteRecording("scan.qvrec")));
  EXPECT_EQ(Export(), kHeaderLine + Line("6.25,1.25,-4.75,-2.75"));  // no view, no settings: the mean

  launcher->Open();
  ASSERT_NE(launcher->View(), nullptr);
  Choose(ReferenceKind::Cylinder, 1, false);
  EXPECT_EQ(Export(), kHeaderLine + Line("5.00,0.00,-6.00,-4.00"));
  Choose(ReferenceKind::Midpoint, 1, false);
  EXPECT_EQ(Export(), kHeaderLine + Line("5.50,0.50,-5.50,-3.50"));
  // Pair mode: a chosen cylinder's pair is the reference, the columns stay per cylinder.
  Choose(ReferenceKind::Cylinder, 3, true);
  EXPECT_EQ(Export(), kHeaderLine + Line("10.00,5.00,-1.00,1.00"));
  Choose(ReferenceKind::Cylinder, 0, true);
  EXPECT_EQ(Export(), kHeaderLine + Line("2.50,-2.50,-8.50,-6.50"));
  // The midpoint of two pair values is their mean: the mean of the four.
  Choose(ReferenceKind::Midpoint, 0, true);
  EXPECT_EQ(Export(), kHeaderLine + Line("6.25,1.25,-4.75,-2.75"));

  // A closed view keeps its choice; the stored file no longer counts.
  Choose(ReferenceKind::Cylinder, 2, false);
  StoreSettings(ReferenceKind::Cylinder, 0, false);
  launcher->View()->close();
  EXPECT_EQ(Export(), kHeaderLine + Line("11.00,6.00,0.00,2.00"));
  EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
}

TEST_F(RecordingBesideWorkshop, BeforeTheViewOpensTheStoredReferenceCountsAndADamagedFileGivesTheMean) {
  ASSERT_TRUE(control->OpenReplay(WriteRecording("scan.qvrec")));
  StoreSettings(ReferenceKind::Cylinder, 3, false);
  EXPECT_EQ(Export(), kHeaderLine + Line("9.00,4.00,-2.00,0.00"));
  StoreSettings(ReferenceKind::Cylinder, 2, true);
  EXPECT_EQ(Export(), kHeaderLine + Line("10.00,5.00,-1.00,1.00"));

  const std::string damaged = "[Workshop]\nReference=cylinder9\n";
  qvtest::WriteFile(qv::workshop::DefaultSettingsPath(), damaged);
  EXPECT_EQ(Export(), kHeaderLine + Line("6.25,1.25,-4.75,-2.75"));
  EXPECT_EQ(qvtest::ReadFile(qv::workshop::DefaultSettingsPath()), damaged);  // only read, never rewritten
}

TEST_F(RecordingBesideWorkshop, AFileDroppedOnTheViewIsReplayed) {
  launcher->Open();  // made after the two were joined
  qv::workshop::TWorkshopView* view = launcher->View();
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(view->acceptDrops());
  const QString file = WriteRecording("dropped.qvrec");
  Drop(view, file);
  ASSERT_TRUE(control->Replaying());
  EXPECT_EQ(control->Engine()->Source().name, file.toStdString());
  EXPECT_FALSE(form->Button2->isEnabled());

  // Something that is no file is refused and changes nothing.
  QMimeData text;
  text.setText(QStringLiteral("hello"));
  QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(view, &enter);
  EXPECT_FALSE(enter.isAccepted());

  // A raw capture dropped on the view replaces the replay, as on the main window.
  qvtest::WriteFile(dir / "capture.bin", qvtest::MaximaFrame(1, 2, 3, 4));
  Drop(view, QString::fromStdString((dir / "capture.bin").string()));
  ASSERT_TRUE(control->Replaying());
  EXPECT_EQ(control->Engine()->Source().name, (dir / "capture.bin").string());
  ASSERT_TRUE(qvtest::WaitFor([&] { return control->Engine()->AtEnd(); }));
  EXPECT_EQ(form->Measurement().MAXIMA, (std::array<std::int32_t, 4>{1, 2, 3, 4}));
}

TEST_F(RecordingBesideWorkshop, AViewClosedAndOpenedAgainStillTakesDrops) {
  launcher->Open();
  launcher->View()->close();
  launcher->Open();
  Drop(launcher->View(), WriteRecording("late.qvrec"));
  EXPECT_TRUE(control->Replaying());
}

TEST_F(RecordingBesideWorkshop, EveryFrameOfTheLastRecordGivesItsLineInTheProgramsExport) {
  // The receive handler cuts one frame per event: the three frames of the
  // file's last record come out only when the export drains them.
  std::string file = qv::rec::EncodeHeader({});
  qv::rec::AppendRecord(file, 0, qvtest::MaximaFrame(90, 95, 101, 99));
  qv::rec::AppendRecord(file, 2'500'000,
                        qvtest::MaximaFrame(90, 95, 101, 99) + qvtest::MaximaFrame(90, 95, 101, 99) +
                            qvtest::MaximaFrame(90, 95, 101, 99));
  qvtest::WriteFile(dir / "burst.qvrec", file);
  ASSERT_TRUE(control->OpenReplay(QString::fromStdString((dir / "burst.qvrec").string())));
  const std::string late = "2.500000,90,95,101,99,10,5,-1,1,6.25,1.25,-4.75,-2.75\r\n";
  EXPECT_EQ(Export(), kHeaderLine + Line("6.25,1.25,-4.75,-2.75") + late + late + late);
}

}  // namespace
