// The workshop view beside the main window: the menu "Ansicht", F11 and
// --workshop, what the view reads of the window, closing, and the main
// window's stored files left as they were.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <map>

#include "AppUtils.h"
#include "CommandLine.h"
#include "FakeSource.h"
#include "MainWindowTestSupport.h"
#include "RenderTestSupport.h"
#include "Startup.h"
#include "TWorkshopView.h"
#include "UnitMain.h"
#include "WorkshopLauncher.h"
#include "setup.h"
#include "support/TestEnv.h"

namespace {

namespace fs = std::filesystem;
using qv::workshop::TWorkshopView;

// Every file below the configuration folder and the settings file, with its bytes.
std::map<fs::path, std::string> StoredFiles() {
  std::map<fs::path, std::string> files;
  const fs::path config = std::getenv("XDG_CONFIG_HOME");
  if (fs::exists(config))
    for (const auto& e : fs::recursive_directory_iterator(config))
      if (e.is_regular_file()) files[e.path()] = qvtest::ReadFile(e.path());
  const fs::path ini = qv::SettingsFilePath();
  if (fs::exists(ini)) files[ini] = qvtest::ReadFile(ini);
  return files;
}

class Beside : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<TForm1>();
    form->SetCommandLinePort(device.SlavePath());
    form->show();
    ASSERT_TRUE(qvtest::WaitFor([&] { return form->isVisible(); }));
  }
  qv::WorkshopLauncher* Attach(const std::vector<std::string>& args = {"quorvel"}) {
    return qv::AttachWorkshopView(*form, qv::ParseCommandLine(args), [this] {
      auto s = std::make_shared<wstest::FakeSource>();
      source = s.get();
      return qv::WorkshopLauncher::Backend{s, nullptr};
    });
  }
  void TearDown() override { form.reset(); }

  qvtest::FakeDevice device;
  qvtest::CapturedErrors errors;
  std::unique_ptr<TForm1> form;
  wstest::FakeSource* source = nullptr;
};

TEST_F(Beside, AFourthMenuRightOfTheThreeThatKeepTheirItems) {
  qv::WorkshopLauncher* launcher = Attach();
  QStringList titles;
  for (QAction* a : form->MainMenu1->actions()) titles << a->text();
  EXPECT_EQ(titles, QStringList({"Programm", "Einstellung", "Scan", "Ansicht"}));
  auto items = [&](int i) { return qvtest::MenuItems(form->MainMenu1, i); };
  EXPECT_EQ(items(0), QStringList({"&beenden"}));
  EXPECT_EQ(items(1), QStringList({"&RS-232", "Setup"}));
  EXPECT_EQ(items(2), QStringList({"&Start", "&Stop"}));
  EXPECT_EQ(items(3), QStringList({"&Werkstattansicht"}));
  EXPECT_EQ(launcher->Werkstattansicht1->shortcut(), QKeySequence(Qt::Key_F11));
  EXPECT_EQ(launcher->View(), nullptr);  // made only when opened
}

TEST_F(Beside, TheMenuItemOpensTheViewAndRaisesItAfterwards) {
  qv::WorkshopLauncher* launcher = Attach();
  launcher->Werkstattansicht1->trigger();
  TWorkshopView* view = launcher->View();
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(qvtest::WaitFor([&] { return view->isVisible(); }));
  view->close();
  EXPECT_TRUE(form->isVisible());  // closing the view leaves the main window
  launcher->Werkstattansicht1->trigger();
  EXPECT_EQ(launcher->View(), view);
  EXPECT_TRUE(view->isVisible());
  // Closing the main window closes the view with it.
  form->close();
  EXPECT_FALSE(view->isVisible());
}

TEST_F(Beside, F11InTheMainWindowOpensTheView) {
  qv::WorkshopLauncher* launcher = Attach();
  form->activateWindow();
  ASSERT_TRUE(qvtest::WaitFor([&] { return form->isActiveWindow(); }));
  QTest::keyClick(form.get(), Qt::Key_F11);
  ASSERT_NE(launcher->View(), nullptr);
  EXPECT_TRUE(launcher->View()->isVisible());
  EXPECT_FALSE(launcher->View()->isFullScreen());
}

TEST_F(Beside, TheWorkshopOptionOpensItAtStart) {
  EXPECT_TRUE(qv::ParseCommandLine({"quorvel", "--workshop", "--port", "x"}).workshop);
  EXPECT_FALSE(qv::ParseCommandLine({"quorvel"}).workshop);
  EXPECT_NE(qv::UsageText("quorvel").find("--workshop"), std::string::npos);
  qv::WorkshopLauncher* launcher = Attach({"quorvel", "--workshop"});
  ASSERT_NE(launcher->View(), nullptr);
  EXPECT_TRUE(launcher->View()->isVisible());
}

TEST_F(Beside, TheViewReadsTheWindowsMaximaAndPortButWritesNeither) {
  qv::WorkshopLauncher* launcher = Attach();
  launcher->Open();
  TWorkshopView* view = launcher->View();
  view->Tick();
  EXPECT_FALSE(source->lastPortOpen);
  form->Button2->click();  // Start Scan
  ASSERT_TRUE(form->ComPort1->Connected());
  device.Write(qvtest::MaximaFrame(350, 340, 360, 345));
  ASSERT_TRUE(qvtest::WaitFor([&] { return form->Decoder().Frames() == 1; }));
  const TMeasurement before = form->Measurement();
  view->Tick();
  view->Tick();
  ASSERT_EQ(source->added.size(), 1u);
  EXPECT_EQ(source->added[0].maxima, (std::array<std::int32_t, 4>{350, 340, 360, 345}));
  EXPECT_TRUE(source->lastPortOpen);
  EXPECT_EQ(form->Measurement().MAXIMA, before.MAXIMA);
  EXPECT_EQ(form->Measurement().CHANNEL_DATA, before.CHANNEL_DATA);
  EXPECT_EQ(form->Measurement().INSTRING, before.INSTRING);
  EXPECT_TRUE(form->ComPort1->Connected());
  // Only "b" went to the device: the view sends nothing.
  EXPECT_EQ(device.Received(), "b");
  EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
}

TEST_F(Beside, TheMainWindowsStoredFilesStayAsTheyWere) {
  // The full program's assembly: the settings dialog reads and keeps Quorvel.ini.
  form.reset();
  auto dialog = std::make_unique<TForm2>();
  form = std::make_unique<TForm1>();
  qv::AttachSettingsDialog(*form, *dialog);
  form->SetCommandLinePort(device.SlavePath());
  form->show();
  ASSERT_TRUE(qvtest::WaitFor([&] { return form->isVisible(); }));
  const auto before = StoredFiles();
  ASSERT_FALSE(before.empty());  // the first showing stored the port settings

  qvtest::ScratchDir shots;
  qv::WorkshopLauncher* launcher = Attach();
  launcher->Open();
  TWorkshopView* view = launcher->View();
  view->SetSnapshotFolder(shots.path());
  source->Set(wstest::Live(1, 2, 3, 4));
  view->SetHold(true);
  view->SetTheme(qv::workshop::ThemeKind::Night);
  qv::workshop::ViewChoices c;
  c.unit = qv::workshop::Unit::InchHg;
  c.pairMode = true;
  view->SetChoices(c);
  view->Snapshot();
  view->ToggleFullScreen();
  view->close();
  form->close();
  EXPECT_EQ(StoredFiles(), before);
  form.reset();
}

}  // namespace
