// The lists bound to one setting of a port.
#include <gtest/gtest.h>

#include <filesystem>

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <memory>
#include <string>
#include <vector>

#include "CPortCtl.h"
#include "EComPort.h"
#include "support/PtyPair.h"
#include "support/TestEnv.h"

namespace {

QStringList Items(const QComboBox& c) {
  QStringList out;
  for (int i = 0; i < c.count(); ++i) out << c.itemText(i);
  return out;
}

// What QComboBox does when the user chooses an item from the open list.
void UserPicks(TComComboBox& c, const QString& text) {
  const int i = c.findText(text);
  ASSERT_GE(i, 0) << text.toStdString();
  c.setCurrentIndex(i);
  emit c.activated(i);
}

void Press(QWidget& w, int key, const QString& text = {}) {
  QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(&w, &down);
  QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(&w, &up);
}

class ComboTest : public ::testing::Test {
 protected:
  // What the port lists are handed: whatever lister holds at the time of filling.
  qv::PortChoiceSource Ports() {
    return {[this](std::vector<std::string>& items) { lister(items); }, {}};
  }
  std::vector<std::string> ports{"/dev/ttyS0", "/dev/ttyUSB0", "COM1"};
  qv::TPortLister lister = [this](std::vector<std::string>& items) { items = ports; };
  std::vector<std::string> reported;
};

TEST_F(ComboTest, IsADropDownListWithFixedRowsThatCannotBeTypedInto) {
  TComComboBox c;
  c.SetComProperty(cpBaudRate);
  EXPECT_FALSE(c.isEditable());
  EXPECT_EQ(c.lineEdit(), nullptr);
  EXPECT_EQ(c.view()->sizeHintForRow(0), TComComboBox::kItemHeight);
  for (QChar ch : QStringLiteral("99999")) Press(c, ch.unicode(), QString(ch));
  EXPECT_EQ(c.count(), 16);
  EXPECT_TRUE(Items(c).contains(c.Text()));
  EXPECT_NE(c.Text(), QStringLiteral("99999"));
}

TEST_F(ComboTest, EachPropertyFillsItsNamesAndSelectsTheFirstWithoutAPort) {
  TComComboBox c(nullptr, Ports());
  const std::vector<std::pair<TComProperty, QStringList>> cases{
      {cpPort, {"/dev/ttyS0", "/dev/ttyUSB0", "COM1"}},
      {cpBaudRate,
       {"Custom", "110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200", "38400", "56000", "57600",
        "115200", "128000", "256000"}},
      {cpDataBits, {"5", "6", "7", "8"}},
      {cpStopBits, {"1", "1.5", "2"}},
      {cpParity, {"None", "Odd", "Even", "Mark", "Space"}},
      {cpFlowControl, {"Hardware", "Software", "None", "Custom"}},
  };
  for (const auto& [property, items] : cases) {
    c.SetComProperty(property);
    EXPECT_EQ(c.ComProperty(), property);
    EXPECT_EQ(Items(c), items);
    EXPECT_EQ(c.currentIndex(), 0);
  }
  c.SetComProperty(cpNone);
  EXPECT_EQ(c.count(), 0);
  EXPECT_EQ(c.currentIndex(), -1);
  EXPECT_EQ(c.Text(), QString());
}

TEST_F(ComboTest, EachListFillsAndDescribesFromTheSourceItWasHanded) {
  qvtest::ScratchDir dir;
  qvtest::WriteFile(dir / "pts-4", "");
  const auto link = dir / "quorvel-sim-4";
  std::filesystem::create_symlink(dir / "pts-4", link);
  TComComboBox described(nullptr, {[](std::vector<std::string>& items) {
                                     items = {"/dev/ttyS0", "COM1"};
                                   },
                                   [](const std::string& name) { return "Named " + name; }});
  TComComboBox listedOnly(nullptr, Ports());  // its entries described as the system describes them
  ports = {link.string()};
  described.SetComProperty(cpPort);
  listedOnly.SetComProperty(cpPort);
  described.SetComProperty(cpPort);  // filled again after the other: still its own entries
  EXPECT_EQ(Items(described), (QStringList{"/dev/ttyS0", "COM1"}));
  EXPECT_EQ(described.itemData(1, Qt::ToolTipRole).toString(), QStringLiteral("Named COM1"));
  EXPECT_EQ(Items(listedOnly), QStringList{QString::fromStdString(link.string())});
  EXPECT_EQ(listedOnly.itemData(0, Qt::ToolTipRole).toString().toStdString(), "Link to " + (dir / "pts-4").string());
  // The other properties never ask the source.
  lister = [](std::vector<std::string>&) { throw EComPort(23, 2); };
  EXPECT_NO_THROW(listedOnly.SetComProperty(cpBaudRate));
  EXPECT_EQ(listedOnly.count(), 16);
}

TEST_F(ComboTest, PendingValuesStartAtTheFirstNamesAndAnEmptyPort) {
  TComComboBox c;
  const TComSelect& s = c.Selector();
  EXPECT_EQ(s.PendingPort(), "");
  EXPECT_EQ(s.PendingBaudRate(), brCustom);
  EXPECT_EQ(s.PendingDataBits(), dbFive);
  EXPECT_EQ(s.PendingStopBits(), sbOneStopBit);
  EXPECT_EQ(s.PendingParity(), prNone);
  EXPECT_EQ(s.PendingFlowControl(), fcHardware);
  EXPECT_EQ(s.ComProperty(), cpNone);
  EXPECT_EQ(s.ComPort(), nullptr);
  EXPECT_FALSE(c.AutoApply());
}

TEST_F(ComboTest, LinkingAPortSelectsItsCurrentValueEitherWayRound) {
  TComPort port;
  port.SetBaudRate(br115200);
  port.Parity().SetBits(prEven);
  TComComboBox first;  // port first, then the property
  first.SetComPort(&port);
  first.SetComProperty(cpBaudRate);
  EXPECT_EQ(first.Text(), QStringLiteral("115200"));
  EXPECT_EQ(first.Selector().PendingBaudRate(), br115200);

  TComComboBox second;  // property first: the first item until the port comes
  second.SetComProperty(cpParity);
  EXPECT_EQ(second.Text(), QStringLiteral("None"));
  second.SetComPort(&port);
  EXPECT_EQ(second.ComPort(), &port);
  EXPECT_EQ(second.Text(), QStringLiteral("Even"));
  EXPECT_EQ(second.Selector().PendingParity(), prEven);

  // Linking the same port again does not reselect.
  second.setCurrentIndex(0);
  second.SetComPort(&port);
  EXPECT_EQ(second.Text(), QStringLiteral("None"));
}

TEST_F(ComboTest, APortNameIsFoundWithoutRegardToCaseAndAnUnlistedOneSelectsNothing) {
  TComPort port;
  port.SetPort("com1");
  TComComboBox c(nullptr, Ports());
  c.SetComProperty(cpPort);
  c.SetComPort(&port);
  EXPECT_EQ(c.Text(), QStringLiteral("COM1"));
  EXPECT_EQ(c.Selector().PendingPort(), "COM1");

  TComPort other;
  other.SetPort("/dev/ttyACM7");
  TComComboBox d(nullptr, Ports());
  d.SetComProperty(cpPort);
  d.SetComPort(&other);
  EXPECT_EQ(d.currentIndex(), -1);
  EXPECT_EQ(d.Text(), QString());
  EXPECT_EQ(d.Selector().PendingPort(), "");
  d.ApplySettings();  // nothing picked: the name stays
  EXPECT_EQ(other.Port(), "/dev/ttyACM7");
}

TEST_F(ComboTest, AListedNameOfTheSameDeviceIsSelectedAndThePortKeepsItsOwnName) {
  // A simulator is listed by its announcement link; the port names the device itself.
  qvtest::ScratchDir dir;
  const auto device = dir / "pts-7";
  qvtest::WriteFile(device, "");
  const auto link = dir / "quorvel-sim-42";
  std::filesystem::create_symlink(device, link);
  ports = {"/dev/ttyS0", link.string()};
  TComPort port;
  port.SetPort(device.string());
  TComComboBox c(nullptr, Ports());
  c.SetComProperty(cpPort);
  c.SetComPort(&port);
  EXPECT_EQ(c.currentIndex(), 1);
  EXPECT_EQ(c.Selector().PendingPort(), device.string());
  c.ApplySettings();
  EXPECT_EQ(port.Port(), device.string());

  // COM1 is the first legacy port's other name.
  TComPort legacy;
  legacy.SetPort("COM1");
  ports = {"/dev/ttyS0", "/dev/ttyUSB0"};
  TComComboBox d(nullptr, Ports());
  d.SetComProperty(cpPort);
  d.SetComPort(&legacy);
  EXPECT_EQ(d.Text(), QStringLiteral("/dev/ttyS0"));
  EXPECT_EQ(d.Selector().PendingPort(), "COM1");
}

TEST_F(ComboTest, TextIsReadAndWrittenWithoutRegardToCase) {
  TComComboBox c;
  c.SetComProperty(cpFlowControl);
  c.SetText(QStringLiteral("software"));
  EXPECT_EQ(c.Text(), QStringLiteral("Software"));
  EXPECT_EQ(c.currentIndex(), 1);
  c.SetText(QStringLiteral("XonXoff"));  // not listed: nothing happens
  EXPECT_EQ(c.Text(), QStringLiteral("Software"));
  c.setCurrentIndex(-1);
  EXPECT_EQ(c.Text(), QString());
}

TEST_F(ComboTest, APickIsPendingUntilAppliedAndTheChangeSignalFollowsIt) {
  TComPort port;
  port.SetDataBits(dbEight);
  TComComboBox c;
  c.SetComProperty(cpDataBits);
  c.SetComPort(&port);
  std::vector<TDataBits> seenPending;
  QObject::connect(&c, &TComComboBox::Change, [&] { seenPending.push_back(c.Selector().PendingDataBits()); });
  UserPicks(c, QStringLiteral("7"));
  EXPECT_EQ(seenPending, std::vector<TDataBits>{dbSeven});
  EXPECT_EQ(port.DataBits(), dbEight);
  c.ApplySettings();
  EXPECT_EQ(port.DataBits(), dbSeven);

  // A programmatic selection is no pick.
  c.SetText(QStringLiteral("5"));
  EXPECT_EQ(c.Selector().PendingDataBits(), dbSeven);
  EXPECT_EQ(seenPending.size(), 1u);
}

TEST_F(ComboTest, AutoApplyWritesEachPickAtOnceBeforeTheChangeSignal) {
  TComPort port;
  port.SetBaudRate(br57600);
  TComComboBox c;
  c.SetComProperty(cpBaudRate);
  c.SetComPort(&port);
  c.SetAutoApply(true);
  TBaudRate seen = brCustom;
  QObject::connect(&c, &TComComboBox::Change, [&] { seen = port.BaudRate(); });
  // The keyboard way: Down moves to the next item.
  Press(c, Qt::Key_Down);
  EXPECT_EQ(c.Text(), QStringLiteral("115200"));
  EXPECT_EQ(port.BaudRate(), br115200);
  EXPECT_EQ(seen, br115200);
}

TEST_F(ComboTest, EveryPropertyAppliesItsOwnPendingValue) {
  TComPort port;
  port.FlowControl().SetFlowControl(fcHardware);
  struct Case {
    TComProperty property;
    const char* text;
  };
  for (const Case& k : {Case{cpPort, "/dev/ttyUSB0"}, Case{cpBaudRate, "2400"}, Case{cpDataBits, "6"},
                        Case{cpStopBits, "2"}, Case{cpParity, "Mark"}, Case{cpFlowControl, "None"}}) {
    TComComboBox c(nullptr, Ports());
    c.SetComProperty(k.property);
    c.SetComPort(&port);
    UserPicks(c, QString::fromLatin1(k.text));
    c.ApplySettings();
  }
  EXPECT_EQ(port.Port(), "/dev/ttyUSB0");
  EXPECT_EQ(port.BaudRate(), br2400);
  EXPECT_EQ(port.DataBits(), dbSix);
  EXPECT_EQ(port.StopBits(), sbTwoStopBits);
  EXPECT_EQ(port.Parity().Bits(), prMark);
  EXPECT_EQ(port.FlowControl().FlowControl(), fcNone);

  // No port or no property: nothing to write to.
  TComComboBox loose;
  loose.SetComProperty(cpBaudRate);
  UserPicks(loose, QStringLiteral("300"));
  EXPECT_NO_THROW(loose.ApplySettings());
  TComComboBox none;
  none.SetComPort(&port);
  none.ApplySettings();
  EXPECT_EQ(port.BaudRate(), br2400);
}

TEST_F(ComboTest, ARemovedPortDropsTheLinkAndSelectsTheFirstItem) {
  auto port = std::make_unique<TComPort>();
  port->SetStopBits(sbTwoStopBits);
  TComComboBox c;
  c.SetComProperty(cpStopBits);
  c.SetComPort(port.get());
  EXPECT_EQ(c.Text(), QStringLiteral("2"));
  port.reset();
  EXPECT_EQ(c.ComPort(), nullptr);
  EXPECT_EQ(c.currentIndex(), 0);
  UserPicks(c, QStringLiteral("1.5"));
  EXPECT_NO_THROW(c.ApplySettings());

  // An empty list has no first item to select.
  auto again = std::make_unique<TComPort>();
  TComComboBox empty;
  empty.SetComPort(again.get());
  again.reset();
  EXPECT_EQ(empty.ComPort(), nullptr);
  EXPECT_EQ(empty.currentIndex(), -1);
}

TEST_F(ComboTest, AFailedAutoApplyIsReportedAndRaisesNoChange) {
  qvtest::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  ports = {pty.slave(), "/dev/quorvel-no-such-port"};
  TComPort port;
  port.SetErrorReporter([this](const std::exception& e) { reported.push_back(e.what()); });
  port.SetPort(pty.slave());
  port.SetConnected(true);
  TComComboBox c(nullptr, Ports());
  c.SetComProperty(cpPort);
  c.SetComPort(&port);
  c.SetAutoApply(true);
  int changes = 0;
  QObject::connect(&c, &TComComboBox::Change, [&] { ++changes; });
  UserPicks(c, QStringLiteral("/dev/quorvel-no-such-port"));
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0], EComPort(1, ENOENT).what());
  EXPECT_EQ(changes, 0);
  EXPECT_FALSE(port.Connected());
}

TEST_F(ComboTest, AFailingPortListLeavesTheItemsAsTheyWere) {
  TComComboBox c(nullptr, Ports());
  c.SetComProperty(cpPort);
  lister = [](std::vector<std::string>&) { throw EComPort(23, 2); };
  try {
    c.SetComProperty(cpPort);
    ADD_FAILURE() << "no error";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.Code(), 23);
  }
  EXPECT_EQ(c.count(), 3);
}

}  // namespace
