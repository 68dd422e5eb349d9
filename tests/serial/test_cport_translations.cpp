#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <cerrno>
#include <cstdlib>
#include <string>

#include "CPortCtl.h"
#include "CPortSetup.h"
#include "CPortTr.h"
#include "EComPort.h"
#include "PortErrorHelp.h"

namespace {

using ::testing::HasSubstr;

// Switches the process to a locale the way a user's session would (the
// environment) and the way Qt reads it (the default locale), then loads the
// catalogue for it. Ends back in the C locale without a catalogue.
class CPortLocale : public ::testing::Test {
 protected:
  bool Use(const char* name) {
    setenv("LANG", name, 1);
    setenv("LC_ALL", name, 1);
    QLocale::setDefault(QLocale(QString::fromLatin1(name).section(QLatin1Char('.'), 0, 0)));
    return InstallCPortTranslations();
  }
  void TearDown() override { Use("C"); }
};

TEST_F(CPortLocale, GermanCatalogueTranslatesEveryPortMessageAndTheSuffix) {
  ASSERT_TRUE(Use("de_DE.UTF-8"));
  EXPECT_STREQ(EComPort(1, 13).what(), "COM-Port kann nicht geöffnet werden (Systemfehlercode: 13)");
  EXPECT_STREQ(EComPort(14).what(), "Eigenschaft kann bei offener Verbindung nicht geändert werden");
  EXPECT_STREQ(EComPort(23, 2).what(), "Fehler in der Registrierung (Systemfehlercode: 2)");
  // Every one of the texts has its own German form.
  for (int c = 1; c <= kComErrorCount; ++c) {
    const std::string german = EComPort(c).what();
    EXPECT_NE(german, ComErrorText(c)) << c;
    EXPECT_FALSE(german.empty()) << c;
  }
  // The code keeps its place whatever the language.
  EXPECT_EQ(EComPort(2, -7).Code(), 2);
  EXPECT_EQ(EComPort(2, 0).WinCode(), 0);
  EXPECT_STREQ(EComPort(2, 0).what(), "Funktion WriteFile fehlgeschlagen (Systemfehlercode: 0)");
}

TEST_F(CPortLocale, OtherLanguagesKeepTheEnglishTexts) {
  for (const char* name : {"C", "en_US.UTF-8", "fr_FR.UTF-8"}) {
    EXPECT_FALSE(Use(name)) << name;
    EXPECT_STREQ(EComPort(1, 2).what(), "Unable to open com port (win error code: 2)") << name;
    EXPECT_STREQ(EComPort(16).what(), "Failed to store settings") << name;
    EXPECT_EQ(CPortTr("Baud rate"), QStringLiteral("Baud rate")) << name;
  }
}

TEST_F(CPortLocale, SwitchingBackDropsTheGermanCatalogue) {
  ASSERT_TRUE(Use("de_DE.UTF-8"));
  ASSERT_TRUE(Use("de_AT.UTF-8"));  // the language's own catalogue serves its regions
  EXPECT_STREQ(EComPort(5, 9).what(), "Funktion PurgeComm fehlgeschlagen (Systemfehlercode: 9)");
  EXPECT_FALSE(Use("en_GB.UTF-8"));
  EXPECT_STREQ(EComPort(5, 9).what(), "PurgeComm function failed (win error code: 9)");
}

TEST_F(CPortLocale, SetupDialogWordsAndErrorAdviceHaveGermanForms) {
  ASSERT_TRUE(Use("de_DE.UTF-8"));
  EXPECT_EQ(CPortTr("Setup"), QStringLiteral("Einrichtung"));
  EXPECT_EQ(CPortTr(" Settings "), QStringLiteral(" Einstellungen "));  // the blanks stay
  EXPECT_EQ(CPortTr("Flow control"), QStringLiteral("Handshake"));
  EXPECT_EQ(CPortTr("Cancel"), QStringLiteral("Abbrechen"));

  TPortErrorHelpSources s;
  s.procRoot = "/nonexistent";
  s.listPorts = [] { return std::vector<std::string>{"/dev/ttyUSB0"}; };
  const std::string busy = PortErrorDetail(EComPort(1, EBUSY), "/dev/ttyS0", s);
  EXPECT_THAT(busy, HasSubstr("\nEin anderes Programm hat die Schnittstelle geöffnet. Schließen Sie es"));
  const std::string missing = PortErrorDetail(EComPort(1, ENOENT), "/dev/ttyUSB3", s);
  EXPECT_THAT(missing,
              HasSubstr("\nDas Gerät ist nicht angeschlossen, oder der Name der Schnittstelle ist falsch.\n"
                        "Gefundene Schnittstellen: /dev/ttyUSB0. Wählen Sie eine unter Einstellung > RS-232."));
}

// The dialog as the port's setup shows it, its port list from the test.
class SetupDialogLocale : public CPortLocale {
 protected:
  const qv::PortChoiceSource ports{[](std::vector<std::string>& items) { items = {"/dev/ttyS0"}; }, {}};

  static std::vector<QString> Captions(const TComSetupFrm& d) {
    return {d.windowTitle(),  d.GroupBox1->title(), d.Label1->text(), d.Label2->text(),  d.Label3->text(),
            d.Label4->text(), d.Label5->text(),     d.Label6->text(), d.Button1->text(), d.Button2->text()};
  }
};

TEST_F(SetupDialogLocale, GermanDialogTextsButUntranslatedLists) {
  ASSERT_TRUE(Use("de_DE.UTF-8"));
  TComSetupFrm d(nullptr, ports);
  EXPECT_EQ(Captions(d), (std::vector<QString>{"Einrichtung", " Einstellungen ", "Anschluss", "Baudrate", "Datenbits",
                                               "Stoppbits", "Parität", "Handshake", "OK", "Abbrechen"}));
  // The lists show the stored names, which the port converts back.
  EXPECT_EQ(d.Combo5->itemText(0), QStringLiteral("None"));
  EXPECT_EQ(d.Combo6->itemText(0), QStringLiteral("Hardware"));
  EXPECT_EQ(d.Combo2->itemText(0), QStringLiteral("Custom"));
  // The longer German captions still end before the lists begin.
  for (QLabel* l : {d.Label1, d.Label2, d.Label3, d.Label4, d.Label5, d.Label6})
    EXPECT_LE(l->x() + l->width(), d.Combo1->x()) << l->text().toStdString() << " " << l->width();
}

TEST_F(SetupDialogLocale, EnglishDialogKeepsItsTexts) {
  EXPECT_FALSE(Use("en_US.UTF-8"));
  TComSetupFrm d(nullptr, ports);
  EXPECT_EQ(Captions(d), (std::vector<QString>{"Setup", " Settings ", "Port", "Baud rate", "Data bits", "Stop bits",
                                               "Parity", "Flow control", "OK", "Cancel"}));
}

}  // namespace
