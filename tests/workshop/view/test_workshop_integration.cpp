// The workshop view beside the main window: the menu "Ansicht", F11 and
// --workshop, what the view reads of the window, closing, reconnecting while
// the view is open, and the main window's stored files left as they were.
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
#include "PortSession.h"
#include "ReconnectController.h"
#include "ReconnectLink.h"
#include "RenderTestSupport.h"
#include "Session.h"
#include "Startup.h"
#include "TWorkshopView.h"
#include "UnitMain.h"
#include "WorkshopBackend.h"
#include "WorkshopLauncher.h"
#include "WorkshopSettings.h"
#include "setup.h"
#include "support/FakeUsbTree.h"
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
    // The real backend's workshop.ini of an earlier test is not this one's.
    fs::remove(qv::workshop::DefaultSettingsPath());
    form = std::make_unique<TForm1>();
    port = std::make_unique<qv::TPortSession>(*form, session);
    form->SetCommandLinePort(device.SlavePath());
    form->show();
    ASSERT_TRUE(qvtest::WaitFor([&] { return form->isVisible(); }));
  }
  qv::WorkshopLauncher* Attach(const std::vector<std::string>& args = {"quorvel"}) {
    return qv::AttachWorkshopView(*form, session, qv::ParseCommandLine(args), [this] {
      auto s = std::make_shared<wstest::FakeSource>();
      source = s.get();
      return qv::WorkshopLauncher::Backend{s, nullptr};
    });
  }
  // The program's own backend: the workshop model and workshop.ini.
  qv::WorkshopLauncher* AttachReal(const std::vector<std::string>& args = {"quorvel"}) {
    return qv::AttachWorkshopView(*form, session, qv::ParseCommandLine(args),
                                  [this] { return qv::MakeWorkshopBackend(*form); });
  }
  // The full program's assembly: the settings dialog reads and keeps
  // Quorvel.ini; the dialog must outlive the window.
  std::unique_ptr<TForm2> ShowTheWholeProgram() {
    port.reset();
    form.reset();
    auto dialog = std::make_unique<TForm2>();
    form = std::make_unique<TForm1>();
    port = std::make_unique<qv::TPortSession>(*form, session);
    qv::AttachSettingsDialog(*form, *dialog);
    form->SetCommandLinePort(device.SlavePath());
    form->show();
    EXPECT_TRUE(qvtest::WaitFor([&] { return form->isVisible(); }));
    return dialog;
  }
  // Hold, theme, unit, pair mode, a snapshot and full screen, then both windows closed.
  void UseEveryChoiceThenCloseBoth(TWorkshopView& view) {
    view.SetHold(true);
    view.SetTheme(qv::workshop::ThemeKind::Night);
    qv::workshop::ViewChoices c;
    c.unit = qv::workshop::Unit::InchHg;
    c.pairMode = true;
    view.SetChoices(c);
    view.Snapshot();
    view.ToggleFullScreen();
    view.close();
    form->close();
  }
  void TearDown() override {
    port.reset();
    form.reset();
  }

  qvtest::FakeDevice device;
  qvtest::CapturedErrors errors;
  qv::session::Session session;
  std::unique_ptr<TForm1> form;
  std::unique_ptr<qv::TPortSession> port;
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
  EXPECT_FALSE(source->looks.back().portOpen);
  form->Button2->click();  // Start Scan
  ASSERT_TRUE(form->ComPort1->Connected());
  device.Write(qvtest::MaximaFrame(350, 340, 360, 345));
  ASSERT_TRUE(qvtest::WaitFor([&] { return form->Decoder().Frames() == 1; }));
  const TMeasurement before = form->Measurement();
  view->Tick();
  EXPECT_EQ(source->looks.back().maxima, (std::array<std::int32_t, 4>{350, 340, 360, 345}));
  EXPECT_EQ(source->looks.back().maximaFrames, 1u);
  EXPECT_TRUE(source->looks.back().portOpen);
  EXPECT_EQ(form->Measurement().MAXIMA, before.MAXIMA);
  EXPECT_EQ(form->Measurement().CHANNEL_DATA, before.CHANNEL_DATA);
  EXPECT_EQ(form->Measurement().INSTRING, before.INSTRING);
  EXPECT_TRUE(form->ComPort1->Connected());
  // Only "b" went to the device: the view sends nothing.
  EXPECT_EQ(device.Received(), "b");
  EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
}

TEST_F(Beside, TheMainWindowsStoredFilesStayAsTheyWere) {
  auto dialog = ShowTheWholeProgram();
  const auto before = StoredFiles();
  ASSERT_FALSE(before.empty());  // the first showing stored the port settings

  qvtest::ScratchDir shots;
  qv::WorkshopLauncher* launcher = Attach();
  launcher->Open();
  TWorkshopView* view = launcher->View();
  view->SetSnapshotFolder(shots.path());
  source->Set(wstest::Live(1, 2, 3, 4));
  UseEveryChoiceThenCloseBoth(*view);
  EXPECT_EQ(StoredFiles(), before);
  port.reset();
  form.reset();
}

TEST_F(Beside, TheRealBackendShowsTheWindowsMaximaWithItsDefaults) {
  qv::WorkshopLauncher* launcher = AttachReal();
  launcher->Open();
  TWorkshopView* view = launcher->View();
  view->SetLanguage(qv::workshop::ViewLanguage::For(QLocale(QLocale::German)));
  view->Tick();
  EXPECT_EQ(view->Shown().status, qv::workshop::Status::NoScan);
  form->Button2->click();
  view->Tick();  // the first look after opening takes the frame count as it is
  for (int i = 0; i < 3; ++i) {
    const auto frames = form->Decoder().MaximaFrames();
    device.Write(qvtest::MaximaFrame(350, 340, 360, 345));
    ASSERT_TRUE(qvtest::WaitFor([&] { return form->Decoder().MaximaFrames() > frames; }));
    view->Tick();
  }
  const qv::workshop::Reading& r = view->Shown();
  ASSERT_EQ(r.status, qv::workshop::Status::Live);
  // Equal frames: the damped values are the frames' values whatever the damping.
  EXPECT_NEAR(r.reference, -248.75, 1e-9);
  EXPECT_NEAR(r.channels[2].difference, -11.25, 1e-9);
  EXPECT_EQ(r.worstChannel, 2);
  form->Button3->click();
  view->Tick();
  EXPECT_EQ(view->Shown().status, qv::workshop::Status::NoScan);
  EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
}

TEST_F(Beside, ReconnectingIsOnOnlyWhileTheViewIsOpenAndItsSettingIsOn) {
  qv::WorkshopLauncher* launcher = AttachReal();
  EXPECT_FALSE(form->ReconnectEnabled());  // never opened: as without the view
  launcher->Open();
  TWorkshopView* view = launcher->View();
  EXPECT_TRUE(view->Reconnect());  // on by default
  EXPECT_TRUE(form->ReconnectEnabled());
  view->close();
  EXPECT_FALSE(form->ReconnectEnabled());
  launcher->Open();
  EXPECT_TRUE(form->ReconnectEnabled());
  // The view's switch, stored in workshop.ini.
  view->findChild<QAction*>("Reconnect")->trigger();
  EXPECT_FALSE(form->ReconnectEnabled());
  EXPECT_NE(qvtest::ReadFile(qv::workshop::DefaultSettingsPath()).find("Reconnect=0"), std::string::npos);
  view->close();
  launcher->Open();
  EXPECT_FALSE(form->ReconnectEnabled());
  view->findChild<QAction*>("Reconnect")->trigger();
  EXPECT_TRUE(form->ReconnectEnabled());
  form->close();  // closing the main window closes the view and ends reconnecting
  EXPECT_FALSE(form->ReconnectEnabled());
}

TEST_F(Beside, ASettingOffLeavesReconnectingOffWhenTheViewOpens) {
  fs::create_directories(qv::workshop::DefaultSettingsPath().parent_path());
  qv::workshop::WorkshopSettings off;
  off.reconnect = false;
  qvtest::WriteFile(qv::workshop::DefaultSettingsPath(), qv::workshop::SettingsText(off));
  qv::WorkshopLauncher* launcher = AttachReal({"quorvel", "--workshop"});
  ASSERT_NE(launcher->View(), nullptr);
  EXPECT_TRUE(launcher->View()->isVisible());
  EXPECT_FALSE(launcher->View()->Reconnect());
  EXPECT_FALSE(form->ReconnectEnabled());
}

// A scan through a by-id link of a fake /dev; the cable is pulled while the view is open.
class BesideReconnecting : public Beside {
 protected:
  static constexpr const char* kName = "usb-Quorvel_Synchrontester_QV0001-if00-port0";
  void SetUp() override {
    fs::remove(qv::workshop::DefaultSettingsPath());
    tree.Link(kName, device.SlavePath());
    form = std::make_unique<TForm1>();
    port = std::make_unique<qv::TPortSession>(*form, session);
    form->SetCommandLinePort(tree.ById(kName).string());
    form->show();
    ASSERT_TRUE(qvtest::WaitFor([&] { return form->isVisible(); }));
    launcher = AttachReal();
    launcher->SetReconnectRoots(tree.Roots());
  }
  qvtest::ScratchDir dir;
  qvtest::FakeUsbTree tree{dir.path()};
  qv::WorkshopLauncher* launcher = nullptr;
};

TEST_F(BesideReconnecting, TheViewShowsTheWaitLargeAndTheScanGoesOnWhenTheDeviceIsBack) {
  launcher->Open();
  TWorkshopView* view = launcher->View();
  view->SetLanguage(qv::workshop::ViewLanguage::For(QLocale(QLocale::German)));
  form->Button2->click();
  ASSERT_TRUE(device.WaitForReceived(1));
  EXPECT_EQ(view->Notice(), qv::workshop::ConnectionNotice::kNone);

  fs::remove(tree.ById(kName));
  device.Unplug();
  ASSERT_TRUE(qvtest::WaitFor([&] { return view->Notice() == qv::workshop::ConnectionNotice::kWaiting; }));
  EXPECT_EQ(view->Renderer().Notice(), QString::fromUtf8("Verbindung verloren — warte auf das Gerät"));
  view->Tick();
  EXPECT_EQ(view->Shown().status, qv::workshop::Status::NoScan);  // the port is closed meanwhile
  EXPECT_EQ(session.Current().state, qv::session::State::kWaiting);

  qvtest::FakeDevice again;
  tree.Link(kName, again.SlavePath());
  ASSERT_TRUE(again.WaitForReceived(1));
  EXPECT_EQ(again.Received(), "b");
  ASSERT_TRUE(qvtest::WaitFor([&] { return view->Notice() == qv::workshop::ConnectionNotice::kNone; }));
  EXPECT_TRUE(view->Renderer().Notice().isEmpty());
  EXPECT_TRUE(qvtest::WaitFor([&] { return session.Current().state == qv::session::State::kScanning; }));
  form->Button3->click();
  EXPECT_EQ(session.Current().state, qv::session::State::kIdle);
  EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
}

TEST_F(BesideReconnecting, ClosingTheViewWhileWaitingEndsTheWaitAsStopScanWould) {
  launcher->Open();
  TWorkshopView* view = launcher->View();
  form->Button2->click();
  ASSERT_TRUE(device.WaitForReceived(1));
  fs::remove(tree.ById(kName));
  device.Unplug();
  ASSERT_TRUE(qvtest::WaitFor([&] { return view->Notice() == qv::workshop::ConnectionNotice::kWaiting; }));
  view->close();
  EXPECT_FALSE(form->ReconnectEnabled());
  EXPECT_FALSE(form->Timer2.Enabled());
  EXPECT_FALSE(form->ComPort1->Connected());
  // The device coming back now is not taken: reconnecting is off.
  qvtest::FakeDevice again;
  tree.Link(kName, again.SlavePath());
  QApplication::processEvents();
  EXPECT_TRUE(again.Received().empty());
  EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
}

TEST_F(BesideReconnecting, AViewOpenedDuringAScanCarriesThatScanOver) {
  form->Button2->click();
  ASSERT_TRUE(device.WaitForReceived(1));
  EXPECT_FALSE(form->ReconnectEnabled());
  launcher->Open();
  ASSERT_TRUE(form->ReconnectEnabled());
  EXPECT_EQ(form->Reconnect()->State(), qv::usb::TLinkState::kConnected);
  fs::remove(tree.ById(kName));
  device.Unplug();
  EXPECT_TRUE(qvtest::WaitFor([&] { return launcher->View()->Notice() == qv::workshop::ConnectionNotice::kWaiting; }));
  form->Button3->click();
  EXPECT_EQ(launcher->View()->Notice(), qv::workshop::ConnectionNotice::kNone);
}

TEST_F(Beside, TheMainWindowsStoredFilesStayAsTheyWereWithTheRealBackend) {
  auto dialog = ShowTheWholeProgram();
  const auto before = StoredFiles();
  ASSERT_FALSE(before.empty());  // the first showing stored the port settings

  qvtest::ScratchDir shots;
  qv::WorkshopLauncher* launcher = AttachReal();
  launcher->Open();
  TWorkshopView* view = launcher->View();
  view->SetSnapshotFolder(shots.path());
  form->Button2->click();  // a scan with a zero adjustment and reconnecting on
  device.Write(qvtest::MaximaFrame(100, 101, 99, 100));
  ASSERT_TRUE(qvtest::WaitFor([&] { return form->Decoder().MaximaFrames() == 1; }));
  view->Tick();
  view->Zero();
  form->Button3->click();
  UseEveryChoiceThenCloseBoth(*view);
  // The view's own file is new; every other file is as it was.
  auto after = StoredFiles();
  EXPECT_EQ(after.erase(qv::workshop::DefaultSettingsPath()), 1u);
  EXPECT_EQ(after, before);
  port.reset();
  form.reset();
}

}  // namespace
