// The stored settings at the main window's first showing, and the settings
// menus that store the port settings afterwards.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "CPortCtl.h"
#include "CPortSetup.h"
#include "EComPort.h"
#include "MainWindowTestSupport.h"
#include "PortSettingsLocation.h"
#include "SpinEdit.h"
#include "Startup.h"
#include "UnitMain.h"
#include "setup.h"
#include "support/TestEnv.h"

namespace {

namespace fs = std::filesystem;
using qvtest::CapturedErrors;
using qvtest::ReadFile;
using qvtest::WriteFile;

// The first run's defaults: exactly six string values under the port's key.
const std::string kDefaultsStored =
    "Windows Registry Editor Version 5.00\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\Software]\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Quorvel]\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Quorvel\\ComPort1]\n"
    "\"Port\"=\"COM1\"\n"
    "\"BaudRate\"=\"57600\"\n"
    "\"StopBits\"=\"1\"\n"
    "\"DataBits\"=\"8\"\n"
    "\"Parity\"=\"None\"\n"
    "\"FlowControl\"=\"None\"\n"
    "\n";

ino_t Inode(const fs::path& p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) == 0 ? st.st_ino : 0;
}

class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* v = std::getenv("XDG_CONFIG_HOME")) oldConfig = v;
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    // Settings that differ from the dialog's starting values: reading them shows.
    WriteFile(iniFile, "[SPEED]\n1=250\n[Einstellungen]\n3=1\n");
    form = std::make_unique<TForm1>();
    qv::InstallPortSetupDialog(*form->ComPort1, [this](TComSetupFrm& d) { return user ? user(d) : 0; },
                               {[this](std::vector<std::string>& items) { lister(items); }, {}});
    form2 = std::make_unique<TForm2>(nullptr, iniFile);
    qv::AttachSettingsDialog(*form, *form2);
  }
  void TearDown() override {
    form.reset();
    form2.reset();
    ::setenv("XDG_CONFIG_HOME", oldConfig.c_str(), 1);
  }
  fs::path RegFile() const { return config / "quorvel" / "HKEY_LOCAL_MACHINE.reg"; }
  // Stores settings as an earlier run of the program would have.
  void StoreEarlier(const std::string& port, TBaudRate baud) {
    TComPort earlier;
    earlier.setObjectName("ComPort1");
    earlier.SetPort(port);
    earlier.SetBaudRate(baud);
    earlier.SaveSettings(kPortSettingsStorage, kPortSettingsLocation);
  }
  // A user of the port setup dialog who picks `text` in one of its lists and presses OK.
  static std::function<int(TComSetupFrm&)> Picks(TComComboBox* TComSetupFrm::*list, const char* text) {
    return [list, text](TComSetupFrm& d) {
      TComComboBox* combo = d.*list;
      const int i = combo->findText(text);
      combo->setCurrentIndex(i);
      emit combo->activated(i);
      return QDialog::Accepted;
    };
  }
  void Show() {
    form->show();
    ASSERT_TRUE(qvtest::WaitFor([&] { return form->isVisible(); }));
  }

  qvtest::ScratchDir dir;
  fs::path config = dir / "config";
  fs::path iniFile = dir / "Quorvel.ini";
  std::string oldConfig;
  std::function<int(TComSetupFrm&)> user;  // the user in the port setup dialog
  qv::TPortLister lister = [](std::vector<std::string>& items) { items = {"COM1", "COM2"}; };  // the system's ports
  CapturedErrors errors;
  std::unique_ptr<TForm1> form;
  std::unique_ptr<TForm2> form2;
};

TEST_F(Startup, TheFirstRunStoresThePortDefaultsBeforeReadingTheSettingsFile) {
  std::string storedWhenRead = "(not read)";
  form->ReadSettingsFile = [this, &storedWhenRead, read = form->ReadSettingsFile] {
    storedWhenRead = ReadFile(RegFile());
    read();
  };
  Show();
  EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
  const TComPort& p = *form->ComPort1;
  EXPECT_EQ(p.Port(), "COM1");
  EXPECT_EQ(p.BaudRate(), br57600);
  EXPECT_EQ(p.DataBits(), dbEight);
  EXPECT_EQ(p.StopBits(), sbOneStopBit);
  EXPECT_EQ(p.Parity().Bits(), prNone);
  EXPECT_EQ(p.FlowControl().FlowControl(), fcNone);
  EXPECT_EQ(storedWhenRead, kDefaultsStored);
  EXPECT_EQ(ReadFile(RegFile()), kDefaultsStored);
  // Nothing else was written: the configuration folder holds the one file,
  // and the settings file was only read.
  std::vector<fs::path> files;
  for (const auto& e : fs::recursive_directory_iterator(config))
    if (e.is_regular_file()) files.push_back(e.path());
  EXPECT_EQ(files, std::vector<fs::path>{RegFile()});
  EXPECT_EQ(ReadFile(iniFile), "[SPEED]\n1=250\n[Einstellungen]\n3=1\n");
  // The display settings come from the dialog, which has read the file.
  EXPECT_EQ(form->GraphSettings().GraphSpeed(), 250);
  EXPECT_TRUE(form->GraphSettings().ShowPixels());
  EXPECT_TRUE(form->RadioButton1->isChecked());
  EXPECT_TRUE(form->Timer2.Enabled());
}

TEST_F(Startup, StoredSettingsAreUsedAsTheyAreAndNothingIsStored) {
  StoreEarlier("COM5", br115200);
  const std::string before = ReadFile(RegFile());
  const ino_t inode = Inode(RegFile());
  Show();
  EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
  EXPECT_EQ(form->ComPort1->Port(), "COM5");
  EXPECT_EQ(form->ComPort1->BaudRate(), br115200);
  EXPECT_EQ(ReadFile(RegFile()), before);
  EXPECT_EQ(Inode(RegFile()), inode);  // not even rewritten alike
  EXPECT_EQ(form->GraphSettings().GraphSpeed(), 250);
}

TEST_F(Startup, ACommandLinePortComesAfterLoadingAndIsNotStored) {
  StoreEarlier("COM5", br115200);
  const std::string before = ReadFile(RegFile());
  form->SetCommandLinePort("/dev/ttyQV9");
  Show();
  EXPECT_EQ(form->ComPort1->Port(), "/dev/ttyQV9");
  EXPECT_EQ(form->ComPort1->BaudRate(), br115200);
  EXPECT_EQ(ReadFile(RegFile()), before);
}

TEST_F(Startup, OnTheFirstRunTheDefaultsAreStoredWithoutTheCommandLinePort) {
  form->SetCommandLinePort("/dev/ttyQV9");
  Show();
  EXPECT_EQ(form->ComPort1->Port(), "/dev/ttyQV9");
  EXPECT_EQ(ReadFile(RegFile()), kDefaultsStored);
}

TEST_F(Startup, TheSettingsMenusStoreACommandLinePortOnlyOnceTheUserChoseAPort) {
  StoreEarlier("COM5", br115200);
  form->SetCommandLinePort("/dev/ttyQV9");
  Show();
  auto stored = [this] { return ReadFile(RegFile()); };
  // OK with another line speed: the speed is stored, the port stays the loaded one.
  user = Picks(&TComSetupFrm::Combo2, "9600");
  form->RS2321->trigger();
  EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
  EXPECT_EQ(form->ComPort1->Port(), "/dev/ttyQV9");
  EXPECT_EQ(form->ComPort1->BaudRate(), br9600);
  EXPECT_NE(stored().find("\"Port\"=\"COM5\""), std::string::npos) << stored();
  EXPECT_NE(stored().find("\"BaudRate\"=\"9600\""), std::string::npos) << stored();
  EXPECT_EQ(stored().find("ttyQV9"), std::string::npos) << stored();

  // The settings dialog, left with "Abbruch", stores without the port too.
  form2->ConfirmCancel = [] { return true; };
  QTimer::singleShot(0, form2.get(), [this] { form2->Button2->click(); });
  form->Setup1->trigger();
  EXPECT_EQ(stored().find("ttyQV9"), std::string::npos) << stored();
  EXPECT_NE(stored().find("\"Port\"=\"COM5\""), std::string::npos) << stored();

  // Choosing a port in the dialog: that port is stored, and stays so.
  user = Picks(&TComSetupFrm::Combo1, "COM2");
  form->RS2321->trigger();
  EXPECT_EQ(form->ComPort1->Port(), "COM2");
  EXPECT_NE(stored().find("\"Port\"=\"COM2\""), std::string::npos) << stored();
  user = [](TComSetupFrm&) { return QDialog::Rejected; };
  form->ComPort1->SetPort("/dev/ttyQV9");  // as if named on the command line again: no longer special
  form->RS2321->trigger();
  EXPECT_NE(stored().find("\"Port\"=\"/dev/ttyQV9\""), std::string::npos) << stored();
}

TEST_F(Startup, AnUnwritableConfigurationFolderStopsTheShowingAfterTheDefaults) {
  fs::create_directories(config);
  WriteFile(config / "quorvel", "a file where the folder belongs");
  const int speedBefore = form->GraphSettings().GraphSpeed();
  form->SetCommandLinePort("/dev/ttyQV9");
  Show();
  EXPECT_EQ(errors.texts, QStringList{QStringLiteral("Failed to store settings")});
  // The settings file stays unread and the redraw timer off.
  EXPECT_EQ(form->GraphSettings().GraphSpeed(), speedBefore);
  EXPECT_FALSE(form->GraphSettings().ShowPixels());
  EXPECT_FALSE(form->Timer2.Enabled());
  // The defaults are in use all the same, and the port named for this run.
  EXPECT_EQ(form->ComPort1->BaudRate(), br57600);
  EXPECT_EQ(form->ComPort1->DataBits(), dbEight);
  EXPECT_EQ(form->ComPort1->StopBits(), sbOneStopBit);
  EXPECT_EQ(form->ComPort1->Port(), "/dev/ttyQV9");

  // Start switches the redraw timer on.
  qvtest::FakeDevice device;
  form->ComPort1->SetPort(device.SlavePath());
  form->Start1->trigger();
  EXPECT_TRUE(form->Timer2.Enabled());
  ASSERT_TRUE(device.WaitForReceived(1));
  form->Stop1->trigger();
}

TEST_F(Startup, SettingsThatCannotBeLoadedStopTheShowing) {
  // A custom rate whose number is missing cannot be loaded.
  TComPort earlier;
  earlier.setObjectName("ComPort1");
  earlier.SetBaudRate(brCustom);
  earlier.SaveSettings(kPortSettingsStorage, kPortSettingsLocation);
  std::string text = ReadFile(RegFile());
  const auto at = text.find("\"CustomBaudRate\"");
  ASSERT_NE(at, std::string::npos);
  text.erase(at, text.find('\n', at) + 1 - at);
  WriteFile(RegFile(), text);
  Show();
  EXPECT_EQ(errors.texts, QStringList{QStringLiteral("Failed to load settings")});
  EXPECT_NE(form->GraphSettings().GraphSpeed(), 250);
  EXPECT_FALSE(form->Timer2.Enabled());
}

TEST_F(Startup, TheRs232MenuStoresAfterOkAndCancelButNotWithoutAPortList) {
  Show();
  form->ComPort1->SetDataBits(dbSeven);  // changed but not stored yet
  user = [](TComSetupFrm&) { return QDialog::Rejected; };
  form->RS2321->trigger();
  EXPECT_NE(ReadFile(RegFile()).find("\"DataBits\"=\"7\""), std::string::npos);

  user = Picks(&TComSetupFrm::Combo1, "COM2");
  form->RS2321->trigger();
  EXPECT_EQ(form->ComPort1->Port(), "COM2");
  EXPECT_NE(ReadFile(RegFile()).find("\"Port\"=\"COM2\""), std::string::npos);

  const std::string before = ReadFile(RegFile());
  const ino_t inode = Inode(RegFile());
  lister = [](std::vector<std::string>&) { throw EComPort(23, 2); };
  form->ComPort1->SetDataBits(dbSix);
  form->RS2321->trigger();
  EXPECT_EQ(errors.texts, QStringList{QStringLiteral("Registry error (win error code: 2)")});
  EXPECT_EQ(ReadFile(RegFile()), before);
  EXPECT_EQ(Inode(RegFile()), inode);
}

TEST_F(Startup, TheSettingsDialogStoresWhatItsComSetupChose) {
  Show();
  form2->ConfirmCancel = [] { return true; };
  user = Picks(&TComSetupFrm::Combo2, "115200");
  // The user presses "COM Setup", then leaves the dialog with "Abbruch".
  auto use = [this] {
    QTimer::singleShot(0, form2.get(), [this] {
      form2->Button3->click();
      form2->Button2->click();
    });
  };
  use();
  form->Setup1->trigger();
  EXPECT_FALSE(form2->isVisible());
  EXPECT_EQ(form->ComPort1->BaudRate(), br115200);
  EXPECT_NE(ReadFile(RegFile()).find("\"BaudRate\"=\"115200\""), std::string::npos);

  // The hidden "Setup" button does the same.
  form->ComPort1->SetBaudRate(br9600);
  use();
  form->Button1->click();
  EXPECT_NE(ReadFile(RegFile()).find("\"BaudRate\"=\"115200\""), std::string::npos);
  EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
}

TEST_F(Startup, TheDialogSetsTheLampTimeAndFollowsTheHiddenPixelButtons) {
  Show();
  form2->SpinEdit1->SetValue(700);
  form2->SAVE_INI();
  EXPECT_EQ(form->Timer1.Interval(), 700);
  form->RadioButton2->click();
  EXPECT_FALSE(form2->CheckBox3->isChecked());
  EXPECT_FALSE(form->GraphSettings().ShowPixels());
  form->RadioButton1->click();
  EXPECT_TRUE(form2->CheckBox3->isChecked());
}

}  // namespace
