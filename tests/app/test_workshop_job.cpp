// The workshop view's scan, recording and replay controls joined to the main
// window on a pseudo-terminal and to the recording control, as the program
// joins them: Start and Stop are the main window's own, with its commands and
// lamps; recording and replay do what their menu items do; the view shows the
// state whoever changed it. And where the launcher first opens the view.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <filesystem>
#include <memory>

#include "CommandLine.h"
#include "MainWindowTestSupport.h"
#include "Panels.h"
#include "PortSession.h"
#include "RecordingControl.h"
#include "RecordingFormat.h"
#include "ReplayEngine.h"
#include "ReplayWindow.h"
#include "Session.h"
#include "Shape.h"
#include "TWorkshopView.h"
#include "UnitMain.h"
#include "WorkshopJob.h"
#include "WorkshopLauncher.h"
#include "WorkshopSource.h"
#include "support/TestEnv.h"

namespace {

namespace fs = std::filesystem;
using qv::workshop::TWorkshopView;
using qvtest::WaitFor;

// Enough of a calculation for the view to open; what it shows does not matter here.
class QuietSource : public qv::workshop::WorkshopSource {
 public:
  qv::workshop::Reading Read(const qv::workshop::MeasurementLook&) override { return {}; }
  void SetChoices(const qv::workshop::ViewChoices&) override {}
  void SetHold(bool) override {}
  void ResetDamping() override {}
  void Restart() override {}
  qv::workshop::ZeroResult Zero() override { return {}; }
  std::string ClearZero() override { return {}; }
};

class ViewJob : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<TForm1>();
    port = std::make_unique<qv::TPortSession>(*form, session);
    control = std::make_unique<qv::TRecordingControl>(*form, session, qv::rec::Language::German);
    control->ShowMessage = [this](const QString& t) { messages << t; };
    form->SetCommandLinePort(device.SlavePath());
    form->show();
    ASSERT_TRUE(WaitFor([&] { return form->isVisible(); }));
    view = std::make_unique<TWorkshopView>(source, qv::workshop::WorkshopInputs{});
    view->SetLanguage(qv::workshop::ViewLanguage::For(QLocale(QLocale::German)));
    qv::JoinJobControls(*view, *form, *control, session);
    view->show();
  }
  void TearDown() override {
    view.reset();
    control.reset();
    port.reset();
    form.reset();
  }
  QAction* Act(const char* name) {
    auto* a = view->findChild<QAction*>(QString::fromLatin1(name));
    EXPECT_NE(a, nullptr) << name;
    return a;
  }
  // The device reads what the port sends before the port closes, which
  // would drop it.
  void ReadBeforeClose(std::size_t total) {
    form->ComPort1->OnBeforeClose = [this, total](TCustomComPort*) { device.ReadUntil(total); };
  }
  // A recording of two maxima frames a minute apart: it plays long enough.
  QString WriteRecording() {
    std::string file = qv::rec::EncodeHeader({});
    qv::rec::AppendRecord(file, 0, qvtest::MaximaFrame(10, 20, 30, 40));
    qv::rec::AppendRecord(file, 60'000'000u, qvtest::MaximaFrame(11, 21, 31, 41));
    qvtest::WriteFile(dir / "scan.qvrec", file);
    return QString::fromStdString((dir / "scan.qvrec").string());
  }
  QString JobLine() { return view->findChild<QLabel*>("JobState")->text(); }

  qvtest::FakeDevice device;
  qvtest::CapturedErrors errors;
  qvtest::ScratchDir dir;
  QuietSource source;
  qv::session::Session session;
  std::unique_ptr<TForm1> form;
  std::unique_ptr<qv::TPortSession> port;
  std::unique_ptr<qv::TRecordingControl> control;  // made after the window, gone before it
  std::unique_ptr<TWorkshopView> view;
  QStringList messages;
};

TEST_F(ViewJob, StartAndStopInTheViewAreTheMainWindowsStartScanAndStopScan) {
  EXPECT_EQ(JobLine(), QString::fromStdString("Anschluss: " + device.SlavePath()));
  EXPECT_TRUE(Act("StartScan")->isEnabled());
  EXPECT_FALSE(Act("StopScan")->isEnabled());
  Act("StartScan")->trigger();
  EXPECT_TRUE(form->ComPort1->Connected());
  EXPECT_TRUE(form->Timer2.Enabled());
  EXPECT_EQ(form->LED_MANUELL->BrushColor(), clRed);
  ASSERT_TRUE(device.WaitForReceived(1));
  EXPECT_EQ(device.Received(), "b");
  EXPECT_FALSE(Act("StartScan")->isEnabled());
  EXPECT_TRUE(Act("StopScan")->isEnabled());
  EXPECT_TRUE(JobLine().endsWith(QString::fromUtf8(" · Scan läuft"))) << JobLine().toStdString();

  ReadBeforeClose(2);
  Act("StopScan")->trigger();
  EXPECT_FALSE(form->ComPort1->Connected());
  EXPECT_FALSE(form->Timer2.Enabled());
  EXPECT_EQ(form->LED_MANUELL->BrushColor(), clMaroon);
  ASSERT_TRUE(device.WaitForReceived(2));
  EXPECT_EQ(device.Received(), "ba");
  EXPECT_TRUE(Act("StartScan")->isEnabled());
  EXPECT_FALSE(Act("StopScan")->isEnabled());
  EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
}

TEST_F(ViewJob, AScanStartedInTheMainWindowShowsInTheViewAndStopsFromIt) {
  form->Button2->click();
  ASSERT_TRUE(WaitFor([&] { return view->Job().scanning; }));
  EXPECT_TRUE(Act("StopScan")->isEnabled());
  ReadBeforeClose(2);
  Act("StopScan")->trigger();
  ASSERT_TRUE(device.WaitForReceived(2));
  EXPECT_EQ(device.Received(), "ba");
  EXPECT_EQ(form->LED_MANUELL->BrushColor(), clMaroon);
  EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
}

TEST_F(ViewJob, RecordInTheViewRecordsTheScansItStartsUntilPressedAgain) {
  Act("Record")->trigger();
  EXPECT_TRUE(control->RecordingArmed());
  EXPECT_TRUE(Act("Record")->isChecked());
  EXPECT_FALSE(control->StartRecordingAction->isEnabled());  // the menu agrees
  // The view's Start is the button's click: the recording hears it too.
  Act("StartScan")->trigger();
  ASSERT_TRUE(form->ComPort1->Connected());
  EXPECT_TRUE(control->Recording());
  const fs::path file = control->RecordingStatus().file;
  EXPECT_TRUE(fs::exists(file)) << file;
  ASSERT_TRUE(device.WaitForReceived(1));
  device.Write(qvtest::MaximaFrame(1, 2, 3, 4));
  ASSERT_TRUE(WaitFor([&] { return form->Decoder().Frames() == 1; }));
  ReadBeforeClose(2);
  Act("StopScan")->trigger();
  EXPECT_FALSE(control->Recording());
  const auto read = qv::rec::ReadRecording(file);
  ASSERT_TRUE(read.recording) << read.error;
  EXPECT_EQ(read.recording->bytes, qvtest::MaximaFrame(1, 2, 3, 4));

  Act("Record")->trigger();
  EXPECT_FALSE(control->RecordingArmed());
  EXPECT_FALSE(Act("Record")->isChecked());
  // Stopped in the main window's menu: the view follows.
  Act("Record")->trigger();
  control->StopRecordingAction->trigger();
  EXPECT_TRUE(WaitFor([&] { return !Act("Record")->isChecked(); }));
  EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
}

TEST_F(ViewJob, ReplayInTheViewOpensAFilePausesResumesAndEndsAndNoScanStartsMeanwhile) {
  const QString recording = WriteRecording();
  int asked = 0;
  control->AskReplayFile = [&] {
    ++asked;
    return recording;
  };
  // A running scan ends as with Stop Scan when the replay begins.
  Act("StartScan")->trigger();
  ASSERT_TRUE(device.WaitForReceived(1));
  ReadBeforeClose(2);
  EXPECT_FALSE(Act("PauseReplay")->isEnabled());
  EXPECT_FALSE(Act("EndReplay")->isEnabled());
  Act("Replay")->trigger();
  EXPECT_EQ(asked, 1);
  ASSERT_TRUE(control->Replaying());
  EXPECT_EQ(device.Received(), "ba");
  EXPECT_FALSE(form->ComPort1->Connected());
  // As the main window's Start Scan, the view's is off during the replay.
  EXPECT_FALSE(form->Button2->isEnabled());
  EXPECT_FALSE(Act("StartScan")->isEnabled());
  EXPECT_FALSE(Act("StopScan")->isEnabled());
  EXPECT_FALSE(Act("Record")->isEnabled());
  EXPECT_TRUE(Act("PauseReplay")->isEnabled());
  EXPECT_FALSE(Act("PauseReplay")->isChecked());
  EXPECT_TRUE(JobLine().endsWith(QString::fromUtf8(" · Wiedergabe"))) << JobLine().toStdString();

  Act("PauseReplay")->trigger();
  EXPECT_FALSE(control->Engine()->Playing());
  EXPECT_TRUE(Act("PauseReplay")->isChecked());
  EXPECT_EQ(control->ReplayWindow()->PauseButton->text(), "Abspielen");  // the replay window agrees
  Act("PauseReplay")->trigger();
  EXPECT_TRUE(control->Engine()->Playing());
  EXPECT_FALSE(Act("PauseReplay")->isChecked());
  // Paused in the replay window: the view follows.
  control->ReplayWindow()->PauseButton->click();
  EXPECT_TRUE(WaitFor([&] { return Act("PauseReplay")->isChecked(); }));

  Act("EndReplay")->trigger();
  EXPECT_FALSE(control->Replaying());
  EXPECT_TRUE(form->Button2->isEnabled());
  EXPECT_TRUE(Act("StartScan")->isEnabled());
  EXPECT_FALSE(Act("PauseReplay")->isEnabled());
  EXPECT_FALSE(Act("EndReplay")->isEnabled());
  // No file chosen: nothing replays.
  control->AskReplayFile = [] { return QString(); };
  Act("Replay")->trigger();
  EXPECT_FALSE(control->Replaying());
  EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
  EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
}

TEST_F(ViewJob, TheControlsDoNothingOnceTheMainWindowAndTheRecordingAreGone) {
  control.reset();
  port.reset();
  form.reset();
  Act("StartScan")->trigger();
  Act("Record")->trigger();
  EXPECT_FALSE(Act("Record")->isChecked());
}

TEST(WorkshopLauncherPlace, TheViewOpensClearOfTheMainWindowsMenuAndTopPanel) {
  qvtest::FakeDevice device;
  qv::session::Session session;  // outlives the window, whose child the launcher is
  TForm1 form;
  form.SetCommandLinePort(device.SlavePath());
  form.show();
  ASSERT_TRUE(WaitFor([&] { return form.isVisible(); }));
  auto* launcher = qv::AttachWorkshopView(form, session, qv::CommandLine{}, [] {
    return qv::WorkshopLauncher::Backend{std::make_shared<QuietSource>(), nullptr};
  });
  launcher->Open();
  TWorkshopView* view = launcher->View();
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(WaitFor([&] { return view->isVisible(); }));
  const QRect main = form.frameGeometry();
  const int panelBottom = form.Panel1->mapToGlobal(QPoint(0, form.Panel1->height())).y();
  const QRect controls(main.topLeft(), QPoint(main.right(), panelBottom - 1));
  const QRect available = form.screen()->availableGeometry();
  if (view->isMaximized()) {
    // Only where nothing else would do.
    EXPECT_LT(available.height() - (panelBottom - available.top()), TWorkshopView::kMinSize.height());
  } else {
    EXPECT_FALSE(view->frameGeometry().intersects(controls)) << view->frameGeometry().y() << " " << panelBottom;
    EXPECT_TRUE(available.contains(view->frameGeometry()));
    EXPECT_GE(view->width(), TWorkshopView::kMinSize.width());
  }
  view->close();
}

}  // namespace
