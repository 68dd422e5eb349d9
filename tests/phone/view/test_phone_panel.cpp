// The phone view's window: the code of the server's address drawn sharp, the
// address as text, the count of phones, "alle trennen", a new code after each
// pairing, the address choice on made-up lists, both languages, the keyboard.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QHostAddress>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <string>

#include "LoopbackClient.h"
#include "PhonePanel.h"
#include "PhoneQr.h"
#include "PhoneServer.h"
#include "QrCodeWidget.h"
#include "support/QtWait.h"

namespace {

using qv::Language;
using qv::phone::AddressChoice;
using qv::phone::PhonePanel;

class Panel : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.Start(QHostAddress(QHostAddress::LocalHost))) << server.Error().toStdString();
    panel = std::make_unique<PhonePanel>(server, Language::German);
    panel->show();
    ASSERT_TRUE(qvtest::WaitFor([&] { return panel->isVisible(); }));
  }
  template <typename T>
  T* Part(const char* name) const {
    return panel->findChild<T*>(QString::fromLatin1(name));
  }

  qv::phone::PhoneServer server;
  std::unique_ptr<PhonePanel> panel;
};

TEST_F(Panel, ShowsTheCodeOfTheServersAddressSharpWithAWhiteBorderAndTheAddressAsText) {
  const QString url = server.Url();
  ASSERT_TRUE(url.startsWith("http://127.0.0.1:"));
  EXPECT_EQ(panel->AddressText(), url);
  EXPECT_EQ(panel->Code().Text(), url);
  const auto expected = qv::phone::MakeQr(url.toStdString());
  ASSERT_TRUE(expected && panel->Code().Matrix());
  EXPECT_EQ(panel->Code().Matrix()->dark, expected->dark);
  // Large on screen: at least 5 device pixels per module.
  EXPECT_GE(panel->Code().ModulePixels(), 5);

  // Every module is whole device pixels of pure black or white, at any size.
  for (int side : {400, 401, 733}) {
    const QImage image = panel->Code().Render(side);
    const int n = expected->size, module = side / n;
    ASSERT_EQ(image.width(), module * n) << side;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QRgb want = expected->At(x / module, y / module) ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
        ASSERT_EQ(image.pixel(x, y) & 0xffffff, want & 0xffffff) << side << " at " << x << "," << y;
      }
    // The quiet zone is light all round.
    for (int i = 0; i < expected->quietZone * module; ++i) {
      EXPECT_EQ(image.pixel(i, image.height() / 2) & 0xffffff, 0xffffffu);
      EXPECT_EQ(image.pixel(image.width() / 2, image.height() - 1 - i) & 0xffffff, 0xffffffu);
    }
  }
  // What is on screen is that picture, centred.
  const QImage shot = Part<QWidget>("PhoneCode")->grab().toImage();
  EXPECT_FALSE(shot.isNull());
  int dark = 0;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x) dark += qGray(shot.pixel(x, y)) < 64;
  EXPECT_GT(dark, 0);
}

TEST_F(Panel, AfterEachPairingANewCodeAndTheCountFollowsThePhones) {
  EXPECT_EQ(panel->PhonesText(), QStringLiteral("Verbundene Telefone: 0"));
  const QString first = server.Url();
  const std::string cookie = qvtest::PairPhone(server.Port(), first.toStdString());
  ASSERT_EQ(cookie.size(), 32u);
  ASSERT_TRUE(qvtest::WaitFor([&] { return panel->Code().Text() != first; }));
  EXPECT_EQ(panel->Code().Text(), server.Url());
  EXPECT_EQ(panel->AddressText(), server.Url());

  qvtest::LoopbackClient phone(server.Port());
  ASSERT_TRUE(phone.Send(qvtest::EventsRequest(server.Port(), cookie)));
  ASSERT_TRUE(qvtest::WaitFor([&] { return panel->PhonesText() == QStringLiteral("Verbundene Telefone: 1"); }));

  // "alle trennen": the phone is cut off, the count falls, and a new code is shown.
  const QString before = server.Url();
  auto* all = Part<QPushButton>("PhoneDisconnectAll");
  ASSERT_NE(all, nullptr);
  EXPECT_EQ(all->text(), QStringLiteral("alle trennen"));
  QTest::mouseClick(all, Qt::LeftButton);
  EXPECT_TRUE(phone.WaitClosed(2000));
  EXPECT_EQ(panel->PhonesText(), QStringLiteral("Verbundene Telefone: 0"));
  EXPECT_NE(panel->Code().Text(), before);
  EXPECT_EQ(panel->Code().Text(), server.Url());
  // The old phone's cookie is forgotten.
  EXPECT_EQ(qvtest::StatusOf(qvtest::Exchange(server.Port(), qvtest::EventsRequest(server.Port(), cookie))), 403);
}

TEST_F(Panel, OffersTheGivenAddressesWithTheOneInUseChosenAndTellsTheChoice) {
  const std::vector<AddressChoice> list = {
      {"192.0.2.10", "wlan0", false}, {"198.51.100.7", "eth0", false}, {"127.0.0.1", "lo", true}};
  panel->SetAddresses(list, QStringLiteral("198.51.100.7"));
  auto* choice = Part<QComboBox>("PhoneAddressChoice");
  ASSERT_NE(choice, nullptr);
  ASSERT_EQ(choice->count(), 3);
  EXPECT_EQ(choice->itemText(0), QStringLiteral("192.0.2.10 (wlan0)"));
  EXPECT_EQ(choice->itemText(2), QStringLiteral("127.0.0.1 (lo, nur dieser Rechner)"));
  EXPECT_EQ(choice->currentIndex(), 1);

  std::vector<QString> chosen;
  panel->OnAddressChosen = [&](const QString& ip) { chosen.push_back(ip); };
  // By keyboard: the combo box takes the focus with Tab and moves with the arrows.
  choice->setFocus();
  QTest::keyClick(choice, Qt::Key_Down);
  QTest::keyClick(choice, Qt::Key_Up);
  QTest::keyClick(choice, Qt::Key_Up);
  EXPECT_EQ(chosen, (std::vector<QString>{"127.0.0.1", "198.51.100.7", "192.0.2.10"}));

  // An address in use that is not in the list is still shown, first.
  panel->SetAddresses(list, QStringLiteral("203.0.113.5"));
  EXPECT_EQ(choice->count(), 4);
  EXPECT_EQ(choice->currentData().toString(), QStringLiteral("203.0.113.5"));
}

TEST_F(Panel, EnglishWordsAccessibleNamesAndEveryControlReachableByTab) {
  panel->SetLanguage(Language::English);
  EXPECT_EQ(Part<QPushButton>("PhoneDisconnectAll")->text(), QStringLiteral("disconnect all"));
  EXPECT_EQ(panel->PhonesText(), QStringLiteral("Phones connected: 0"));
  EXPECT_EQ(Part<QLabel>("PhoneScanHint")->text(), QStringLiteral("Scan with the phone's camera"));
  EXPECT_EQ(panel->Code().accessibleName(), QStringLiteral("QR code of the phone page"));
  EXPECT_EQ(Part<QComboBox>("PhoneAddressChoice")->accessibleName(), QStringLiteral("Address"));
  EXPECT_TRUE(panel->windowTitle().endsWith("Phone view"));
  panel->SetLanguage(Language::German);
  EXPECT_EQ(panel->Code().accessibleName(), QStringLiteral("QR-Code der Telefonseite"));
  EXPECT_EQ(Part<QComboBox>("PhoneAddressChoice")->accessibleName(), QStringLiteral("Adresse"));
  for (const QWidget* w : {static_cast<QWidget*>(Part<QComboBox>("PhoneAddressChoice")),
                           static_cast<QWidget*>(Part<QPushButton>("PhoneDisconnectAll"))})
    EXPECT_TRUE(w->focusPolicy() & Qt::TabFocus) << w->objectName().toStdString();
}

TEST_F(Panel, WithTheServerStoppedNoCodeButWhy) {
  panel->ShowError(QStringLiteral("Telefonansicht nicht gestartet: kaputt"));
  EXPECT_EQ(panel->AddressText(), server.Url());  // running: the address, not the error
  server.Stop();
  EXPECT_TRUE(panel->Code().Text().isEmpty());
  EXPECT_TRUE(panel->Code().Render(400).isNull());
  EXPECT_EQ(panel->AddressText(), QStringLiteral("Telefonansicht nicht gestartet: kaputt"));
  EXPECT_FALSE(Part<QPushButton>("PhoneDisconnectAll")->isEnabled());
}

TEST_F(Panel, ClosingTheWindowAsksToSwitchOff) {
  int closed = 0;
  panel->OnClosed = [&] { ++closed; };
  panel->close();
  EXPECT_EQ(closed, 1);
}

}  // namespace
