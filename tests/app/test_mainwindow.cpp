// The main window against a pseudo-terminal as the device: scan control, the
// lamps, closing, failures, layout and the hidden controls.
#include <gtest/gtest.h>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <memory>

#include "MainWindowTestSupport.h"
#include "Panels.h"
#include "Shape.h"
#include "UnitMain.h"

namespace {

using qvtest::CapturedErrors;
using qvtest::FakeDevice;
using qvtest::WaitFor;

const QString kOpenFailed = QStringLiteral("Unable to open com port (win error code: 2)");
const QString kWriteOnClosed = QStringLiteral("WriteFile function failed (win error code: 9)");

class MainWindow : public ::testing::Test {
 protected:
  // A shown window whose port is the fake device (named as on the command
  // line, so that it holds whatever settings the showing loads).
  void Show(const std::string& port) {
    form = std::make_unique<TForm1>();
    form->SetCommandLinePort(port);
    form->show();
    ASSERT_TRUE(WaitFor([&] { return form->isVisible(); }));
  }
  void Show() { Show(device.SlavePath()); }
  // Closing the port discards what the device has not read yet; a device
  // reads as the bytes come, so the test reads the first `total` bytes
  // before the port closes.
  void ReadBeforeClose(std::size_t total) {
    form->ComPort1->OnBeforeClose = [this, total](TCustomComPort*) { device.ReadUntil(total); };
  }
  void TearDown() override { form.reset(); }

  FakeDevice device;
  CapturedErrors errors;
  std::unique_ptr<TForm1> form;
};

TEST_F(MainWindow, AfterShowingThePortIsClosedAndTheDisplaysRun) {
  form = std::make_unique<TForm1>();
  EXPECT_FALSE(form->Timer2.Enabled());
  ASSERT_NE(form->Displays(), nullptr);
  EXPECT_EQ(form->Displays()->BackBuffer().size(), QSize(1280, 1024));
  for (auto& h : form->Measurement().CHANNEL_DATA) h.fill(7);
  form->SetCommandLinePort(device.SlavePath());
  form->show();

  EXPECT_FALSE(form->ComPort1->Connected());
  EXPECT_TRUE(form->Timer2.Enabled());
  EXPECT_FALSE(form->Timer1.Enabled());
  EXPECT_EQ(form->LED_MANUELL->BrushColor(), clMaroon);
  EXPECT_EQ(form->LED_RX->BrushColor(), clGreen);
  for (const auto& h : form->Measurement().CHANNEL_DATA) {
    EXPECT_EQ(h[0], 0);
    EXPECT_EQ(h[299], 0);
    EXPECT_EQ(h[300], 7);  // only 0..299 are cleared
  }
  // The first ticks paint the chart's background (the default green) below the panel.
  EXPECT_TRUE(WaitFor([&] { return form->ClientPicture().pixelColor(5, 100) == QColor(0, 128, 0); }));
  EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
}

TEST_F(MainWindow, StartScanAndStopScan) {
  Show();
  form->Button2->click();
  EXPECT_TRUE(form->ComPort1->Connected());
  EXPECT_EQ(form->LED_MANUELL->BrushColor(), clRed);
  EXPECT_TRUE(form->Timer2.Enabled());
  ASSERT_TRUE(device.WaitForReceived(1));
  EXPECT_EQ(device.Received(), "b");

  ReadBeforeClose(2);
  form->Button3->click();
  EXPECT_FALSE(form->ComPort1->Connected());
  EXPECT_FALSE(form->Timer2.Enabled());
  EXPECT_EQ(form->LED_MANUELL->BrushColor(), clMaroon);
  ASSERT_TRUE(device.WaitForReceived(2));
  EXPECT_EQ(device.Received(), "ba");
  EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
}

TEST_F(MainWindow, TheMenuStartsAndStopsWithoutTouchingTheScanLamp) {
  Show();
  form->Start1->trigger();
  EXPECT_TRUE(form->ComPort1->Connected());
  EXPECT_EQ(form->LED_MANUELL->BrushColor(), clMaroon);
  form->Button2->click();  // lamp red, port stays open
  ReadBeforeClose(3);
  form->Stop1->trigger();
  EXPECT_FALSE(form->ComPort1->Connected());
  EXPECT_FALSE(form->Timer2.Enabled());
  EXPECT_EQ(form->LED_MANUELL->BrushColor(), clRed);
  ASSERT_TRUE(device.WaitForReceived(3));
  EXPECT_EQ(device.Received(), "bba");
  EXPECT_TRUE(errors.texts.isEmpty());
}

TEST_F(MainWindow, StartingTwiceOpensOnceAndSendsTwice) {
  Show();
  int opened = 0;
  form->ComPort1->OnAfterOpen = [&](TCustomComPort*) { ++opened; };
  form->Button2->click();
  form->Button2->click();
  EXPECT_EQ(opened, 1);
  EXPECT_TRUE(form->ComPort1->Connected());
  ASSERT_TRUE(device.WaitForReceived(2));
  EXPECT_EQ(device.Received(), "bb");
}

TEST_F(MainWindow, StartLeavesARunningRedrawTimerAlone) {
  Show();
  ASSERT_TRUE(form->Timer2.Active());
  ASSERT_TRUE(WaitFor([&] { return form->Timer2.RemainingTime() < 140; }));
  const int before = form->Timer2.RemainingTime();
  form->Start1Click();
  EXPECT_LE(form->Timer2.RemainingTime(), before);
}

TEST_F(MainWindow, FramesLightTheReceiveLampUntilTheLampTimerTicks) {
  Show();
  form->Button2->click();
  ASSERT_TRUE(device.WaitForReceived(1));
  form->Timer1.SetInterval(60000);  // hold the lamp until the test lets it go
  device.Write(qvtest::MaximaFrame(350, 340, 360, 345));
  ASSERT_TRUE(WaitFor([&] { return form->Measurement().MAXIMA[3] == 345; }));
  EXPECT_EQ(form->LED_RX->BrushColor(), clLime);
  EXPECT_TRUE(form->Timer1.Enabled());

  form->Timer1.SetInterval(100);
  ASSERT_TRUE(WaitFor([&] { return form->LED_RX->BrushColor() == clGreen; }));
  EXPECT_FALSE(form->Timer1.Enabled());
  EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
}

TEST_F(MainWindow, ClosingWithoutAScanStopsTheDevice) {
  Show();
  ReadBeforeClose(1);
  form->close();
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(form->ComPort1->Connected());
  EXPECT_FALSE(form->Timer2.Enabled());
  EXPECT_EQ(form->Displays(), nullptr);
  ASSERT_TRUE(device.WaitForReceived(1));
  EXPECT_EQ(device.Received(), "a");
  // A second close request does not run the closing sequence again.
  form->close();
  QApplication::processEvents();
  EXPECT_EQ(device.Received(), "a");
  EXPECT_TRUE(errors.texts.isEmpty());
}

TEST_F(MainWindow, ClosingDuringAScanStopsTheDevice) {
  Show();
  form->Button2->click();
  ReadBeforeClose(2);
  form->beenden1->trigger();
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(form->ComPort1->Connected());
  ASSERT_TRUE(device.WaitForReceived(2));
  EXPECT_EQ(device.Received(), "ba");
}

TEST_F(MainWindow, TheExitButtonCloses) {
  Show();
  ReadBeforeClose(1);
  form->SpeedButton2->click();
  EXPECT_FALSE(form->isVisible());
  ASSERT_TRUE(device.WaitForReceived(1));
  EXPECT_EQ(device.Received(), "a");
}

TEST_F(MainWindow, StartFailsWhenThePortCannotBeOpened) {
  form = std::make_unique<TForm1>();
  form->ComPort1->SetPort("/dev/quorvel-no-such-device");
  form->SetCommandLinePort("/dev/quorvel-no-such-device");
  // Before showing, the redraw timer is off: a failed Start leaves it off.
  form->Start1->trigger();
  EXPECT_FALSE(form->Timer2.Enabled());
  form->show();
  form->Button2->click();
  ASSERT_EQ(errors.texts, QStringList({kOpenFailed, kOpenFailed}));
  EXPECT_FALSE(form->ComPort1->Connected());
  EXPECT_TRUE(form->Timer2.Enabled());
  EXPECT_EQ(form->LED_MANUELL->BrushColor(), clMaroon);
}

TEST_F(MainWindow, StopFailsWhenThePortIsNotOpen) {
  Show();
  form->Button2->click();
  form->ComPort1->Close();
  form->Button3->click();
  ASSERT_EQ(errors.texts, QStringList{kWriteOnClosed});
  EXPECT_FALSE(form->ComPort1->Connected());
  EXPECT_TRUE(form->Timer2.Enabled());
  EXPECT_EQ(form->LED_MANUELL->BrushColor(), clMaroon);
  // The program goes on: a new scan starts normally.
  form->Button2->click();
  EXPECT_TRUE(form->ComPort1->Connected());
  EXPECT_EQ(errors.texts.size(), 1);
}

TEST_F(MainWindow, ClosingStillClosesWhenThePortCannotBeOpened) {
  Show("/dev/quorvel-no-such-device");
  form->close();
  EXPECT_EQ(errors.texts, QStringList{kOpenFailed});
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(form->Timer2.Enabled());
  EXPECT_EQ(form->Displays(), nullptr);
}

TEST_F(MainWindow, AVanishedDeviceCanBeStoppedAndStartedAgain) {
  Show();
  form->Button2->click();
  ASSERT_TRUE(device.WaitForReceived(1));
  device.Unplug();
  form->Button3->click();
  EXPECT_EQ(errors.texts.size(), 1);
  EXPECT_TRUE(errors.texts.value(0).startsWith("WriteFile function failed")) << errors.texts.join('\n').toStdString();
  EXPECT_FALSE(form->ComPort1->Connected());
  EXPECT_EQ(form->LED_MANUELL->BrushColor(), clMaroon);

  // The adapter comes back under a new name.
  FakeDevice again;
  form->ComPort1->SetPort(again.SlavePath());
  form->Button2->click();
  EXPECT_TRUE(form->ComPort1->Connected());
  ASSERT_TRUE(again.WaitForReceived(1));
  EXPECT_EQ(again.Received(), "b");
  EXPECT_EQ(errors.texts.size(), 1);
}

TEST_F(MainWindow, ClosingAfterTheDeviceVanishedClosesThePortAndTheWindow) {
  Show();
  form->Button2->click();
  ASSERT_TRUE(device.WaitForReceived(1));
  device.Unplug();
  form->close();
  EXPECT_FALSE(form->ComPort1->Connected());
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(errors.texts.size(), 1);
}

TEST_F(MainWindow, OuterSizeStaysWithinItsLimits) {
  Show();
  EXPECT_EQ(form->OuterSize(), QSize(800, 600));
  form->resize(100, 100);
  EXPECT_EQ(form->OuterSize(), QSize(640, 480));
  form->resize(5000, 5000);
  EXPECT_EQ(form->OuterSize(), QSize(1120, 1024));
  // resize() sets the size inside the frame.
  const QSize frame = form->frameGeometry().size() - form->size();
  form->resize(QSize(900, 700) - frame);
  EXPECT_EQ(form->OuterSize(), QSize(900, 700));
  QApplication::processEvents();
  EXPECT_EQ(form->Panel1->width(), form->centralWidget()->width());
  EXPECT_EQ(form->Panel1->height(), 57);
  EXPECT_EQ(form->SpeedButton2->x(), form->Panel1->width() - 45);
  EXPECT_EQ(form->SpeedButton2->y(), 5);
  // The client picture follows the client area.
  EXPECT_TRUE(WaitFor([&] { return form->ClientPicture().size() == form->centralWidget()->size(); }));
}

TEST_F(MainWindow, TopPanelLayout) {
  Show();
  EXPECT_EQ(form->windowTitle(), "QUORVEL Synchrontester");
  const Qt::WindowFlags f = form->windowFlags();
  EXPECT_TRUE(f & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(f & Qt::WindowMaximizeButtonHint);
  EXPECT_FALSE(f & Qt::WindowCloseButtonHint);

  EXPECT_EQ(form->Panel1->geometry(), QRect(0, 0, form->centralWidget()->width(), 57));
  EXPECT_EQ(form->Label8->text(), "Scan");
  EXPECT_EQ(form->Label8->pos(), QPoint(7, 8));
  EXPECT_EQ(form->Label8->font().pixelSize(), 9);
  EXPECT_EQ(form->Label1->text(), "RX");
  EXPECT_EQ(form->Label1->pos(), QPoint(42, 8));
  EXPECT_EQ(form->LED_MANUELL->geometry(), QRect(9, 20, 16, 11));
  EXPECT_EQ(form->LED_MANUELL->toolTip(), "Scan in progress");
  EXPECT_EQ(form->LED_RX->geometry(), QRect(41, 20, 16, 11));
  EXPECT_EQ(form->LED_RX->toolTip(), "Receive Data");
  EXPECT_EQ(form->Button2->geometry(), QRect(98, 10, 75, 21));
  EXPECT_EQ(form->Button2->text(), "Start Scan");
  EXPECT_EQ(form->Button3->geometry(), QRect(178, 10, 75, 21));
  EXPECT_EQ(form->Button3->text(), "Stop Scan");
  EXPECT_EQ(form->Button2->nextInFocusChain(), form->Button3);
  EXPECT_EQ(form->SpeedButton2->geometry(), QRect(form->Panel1->width() - 45, 5, 29, 29));
  EXPECT_FALSE(form->SpeedButton2->icon().isNull());

  EXPECT_EQ(form->ComPort1->objectName(), "ComPort1");
  EXPECT_EQ(form->ComPort1->BaudRate(), br57600);
  EXPECT_EQ(form->ComPort1->DataBits(), dbEight);
  EXPECT_EQ(form->ComPort1->StopBits(), sbOneStopBit);
  EXPECT_EQ(form->ComPort1->Parity().Bits(), prNone);
  EXPECT_EQ(form->ComPort1->FlowControl().FlowControl(), fcNone);
  EXPECT_EQ(form->ComPort1->FlowControl().ControlDTR(), dtrDisable);
  EXPECT_EQ(form->ComPort1->Events(), kAllComEvents);
  EXPECT_EQ(form->Timer1.Interval(), 100);
  EXPECT_EQ(form->Timer2.Interval(), 150);
  EXPECT_EQ(TForm1().ComPort1->Port(), "COM1");
}

TEST_F(MainWindow, MenuCaptions) {
  Show();
  QStringList titles;
  for (QAction* a : form->MainMenu1->actions()) titles << a->text();
  EXPECT_EQ(titles, QStringList({"Programm", "Einstellung", "Scan"}));
  auto items = [&](int i) { return qvtest::MenuItems(form->MainMenu1, i); };
  EXPECT_EQ(items(0), QStringList({"&beenden"}));
  EXPECT_EQ(items(1), QStringList({"&RS-232", "Setup"}));
  EXPECT_EQ(items(2), QStringList({"&Start", "&Stop"}));
  EXPECT_EQ(form->MainMenu1->actions()[2]->menu()->actions()[0], form->Start1);
}

TEST_F(MainWindow, HiddenControlsStayHiddenAndSendTheirCommands) {
  TGraphSettingsValues settings;
  Show();
  form->SetGraphSettings(&settings);
  form->SetShowPixels = [&](bool on) { settings.pixels = on; };
  for (QWidget* w : std::initializer_list<QWidget*>{form->Panel2, form->RadioButton1, form->RadioButton2, form->Button1,
                                                    form->Button4, form->Button5, form->Button6, form->Button7,
                                                    form->Button8, form->Button9, form->CheckBox1}) {
    EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
  }
  EXPECT_EQ(form->Button1->geometry(), QRect(280, 10, 81, 21));
  EXPECT_EQ(form->Button1->text(), "Setup");

  form->RadioButton1->setChecked(true);
  EXPECT_TRUE(settings.pixels);
  form->RadioButton2->setChecked(true);
  EXPECT_FALSE(settings.pixels);
  EXPECT_EQ(&form->GraphSettings(), &settings);

  form->Timer2.SetEnabled(false);
  form->Button4->click();  // opens the port and restarts the displays
  EXPECT_TRUE(form->ComPort1->Connected());
  EXPECT_TRUE(form->Timer2.Enabled());
  form->Button5->click();
  form->Button6->click();
  form->Button7->click();
  form->CheckBox1->setChecked(true);
  form->CheckBox1->setChecked(false);
  form->Button8->click();
  form->Button9->click();
  ASSERT_TRUE(device.WaitForReceived(8));
  EXPECT_EQ(device.Received(), "1234baba");
  EXPECT_TRUE(errors.texts.isEmpty());
}

TEST_F(MainWindow, TheTracePanelsReplaceTheReceiveCaption) {
  Show();
  form->Measurement().CHANNEL_DATA[2][5] = 1500;
  ASSERT_TRUE(WaitFor([&] { return form->Label1->text() == "1500"; }));
  EXPECT_GE(form->Label1->width(), form->Label1->sizeHint().width());
}

TEST_F(MainWindow, ACommandLinePortReplacesThePortWhenShown) {
  form = std::make_unique<TForm1>();
  form->SetCommandLinePort(device.SlavePath());
  EXPECT_EQ(form->ComPort1->Port(), "COM1");
  form->show();
  EXPECT_EQ(form->ComPort1->Port(), device.SlavePath());
  form->Button2->click();
  ASSERT_TRUE(device.WaitForReceived(1));
}

}  // namespace
