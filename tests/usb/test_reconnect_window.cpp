// The main window with reconnecting switched on: a scan on a device behind a
// by-id link in a temporary /dev goes on when the device comes back.
#include <gtest/gtest.h>

#include <QPushButton>
#include <filesystem>
#include <memory>

#include "MainWindowTestSupport.h"
#include "ReconnectLink.h"
#include "Shape.h"
#include "UnitMain.h"
#include "support/FakeUsbTree.h"

namespace {

namespace fs = std::filesystem;
using qvtest::WaitFor;

constexpr const char* kName = "usb-Quorvel_Synchrontester_QV0001-if00-port0";
const QString kWaiting = QStringLiteral("Verbindung verloren — warte auf das Gerät");

class ReconnectWindow : public ::testing::Test {
 protected:
  qvtest::ScratchDir dir;
  qvtest::FakeUsbTree tree{dir.path()};
  qvtest::CapturedErrors errors;
  std::unique_ptr<qvtest::FakeDevice> device = std::make_unique<qvtest::FakeDevice>();
  std::unique_ptr<TForm1> form;
  QStringList states;

  void PointLinkAt(const std::string& name, const std::string& target) {
    fs::create_directories(tree.ById("").parent_path());
    fs::remove(tree.ById(name));
    fs::create_symlink(target, tree.ById(name));
  }
  // A scan through the link on a shown window with reconnecting on, then the cable is pulled.
  void ScanAndUnplug() {
    PointLinkAt(kName, device->SlavePath());
    form = std::make_unique<TForm1>();
    form->SetReconnectEnabled(true, tree.Roots());
    form->OnConnectionState = [this](const QString& text) { states << text; };
    form->SetCommandLinePort(tree.ById(kName).string());
    form->show();
    form->Button2->click();
    ASSERT_TRUE(device->WaitForReceived(1));
    EXPECT_EQ(states.value(0), QStringLiteral("Verbunden"));
    fs::remove(tree.ById(kName));
    device->Unplug();
    ASSERT_TRUE(WaitFor([&] { return states.value(states.size() - 1) == kWaiting; }));
    EXPECT_FALSE(form->ComPort1->Connected());
  }
  void TearDown() override { form.reset(); }
};

TEST_F(ReconnectWindow, IsOffByDefaultAndLeavesThePortsHandlersAlone) {
  TForm1 plain;
  EXPECT_FALSE(plain.ReconnectEnabled());
  EXPECT_FALSE(static_cast<bool>(plain.ComPort1->OnError));
  plain.SetReconnectEnabled(true);
  EXPECT_TRUE(static_cast<bool>(plain.ComPort1->OnError));
  plain.SetReconnectEnabled(false);
  EXPECT_FALSE(static_cast<bool>(plain.ComPort1->OnError));
}

TEST_F(ReconnectWindow, TheSameDeviceBackIsReopenedSentBAndDecoded) {
  ScanAndUnplug();
  qvtest::FakeDevice again;
  PointLinkAt(kName, again.SlavePath());
  ASSERT_TRUE(again.WaitForReceived(1));
  EXPECT_EQ(again.Received(), "b");
  EXPECT_TRUE(form->ComPort1->Connected());
  EXPECT_EQ(form->ComPort1->Port(), tree.ById(kName).string());  // the name stays as stored
  EXPECT_EQ(states.last(), QStringLiteral("Verbunden"));
  const auto frames = form->Decoder().Frames();
  again.Write(qvtest::MaximaFrame(100, 200, 300, 400));
  ASSERT_TRUE(WaitFor([&] { return form->Decoder().Frames() > frames; }));
  EXPECT_EQ(form->Measurement().MAXIMA[3], 400);

  form->Button3->click();
  ASSERT_TRUE(again.WaitForReceived(2));
  EXPECT_EQ(again.Received(), "ba");
  EXPECT_FALSE(form->ComPort1->Connected());
  EXPECT_EQ(states.last(), QString());
  EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
}

TEST_F(ReconnectWindow, AnotherAdapterIsNotTaken) {
  ScanAndUnplug();
  const unsigned looked = form->Reconnect()->Controller().WatcherLooks();
  qvtest::FakeDevice other;
  PointLinkAt("usb-Quorvel_Synchrontester_QV0002-if00-port0", other.SlavePath());
  ASSERT_TRUE(WaitFor([&] { return form->Reconnect()->Controller().WatcherLooks() > looked; }));
  QApplication::processEvents();
  EXPECT_FALSE(form->ComPort1->Connected());
  EXPECT_TRUE(other.Received().empty());
  EXPECT_EQ(states.last(), kWaiting);
}

TEST_F(ReconnectWindow, StopScanWhileWaitingEndsItWithoutAnError) {
  ScanAndUnplug();
  form->Button3->click();
  EXPECT_EQ(form->LED_MANUELL->BrushColor(), clMaroon);
  EXPECT_FALSE(form->Timer2.Enabled());
  EXPECT_EQ(states.last(), QString());
  EXPECT_EQ(form->Reconnect()->State(), qv::usb::TLinkState::kIdle);
  qvtest::FakeDevice again;
  PointLinkAt(kName, again.SlavePath());
  QApplication::processEvents();
  EXPECT_FALSE(form->ComPort1->Connected());
  EXPECT_TRUE(again.Received().empty());
  EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
  // A new scan starts as ever.
  form->Button2->click();
  ASSERT_TRUE(again.WaitForReceived(1));
  EXPECT_EQ(states.last(), QStringLiteral("Verbunden"));
}

TEST_F(ReconnectWindow, ClosingWhileWaitingStopsTheWait) {
  ScanAndUnplug();
  form->close();
  EXPECT_EQ(form->Reconnect()->State(), qv::usb::TLinkState::kIdle);
  EXPECT_FALSE(form->ComPort1->Connected());
}

}  // namespace
