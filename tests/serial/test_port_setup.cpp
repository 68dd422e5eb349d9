// The port setup dialog and the way it writes into the port.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CPortCtl.h"
#include "CPortSetup.h"
#include "EComPort.h"
#include "LineTermios.h"
#include "PortList.h"
#include "support/PtyPair.h"
#include "support/TestEnv.h"

namespace {

namespace fs = std::filesystem;

std::uint32_t LineRate(const qvtest::PtyPair& pty) {
  qv::LineState s;
  EXPECT_EQ(qv::ReadLineState(pty.master(), s), 0);
  return qv::LineBaudRate(s);
}

void UserPicks(TComComboBox* c, const QString& text) {
  const int i = c->findText(text);
  ASSERT_GE(i, 0) << text.toStdString();
  c->setCurrentIndex(i);
  emit c->activated(i);
}

QStringList Items(const QComboBox* c) {
  QStringList out;
  for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
  return out;
}

struct Settings {
  std::string port;
  TBaudRate baud;
  TDataBits data;
  TStopBits stop;
  TParityBits parity;
  TFlowControl flow;
  bool operator==(const Settings&) const = default;
};

Settings Of(const TCustomComPort& p) {
  return {p.Port(), p.BaudRate(), p.DataBits(), p.StopBits(), p.Parity().Bits(), p.FlowControl().FlowControl()};
}

class SetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    runner = [this](TComSetupFrm& d) {
      ++shown;
      dialog = &d;
      return user ? user(d) : QDialog::Rejected;
    };
    port.SetPort("COM1");
    port.SetBaudRate(br57600);
    port.SetDataBits(dbEight);
    port.SetStopBits(sbOneStopBit);
    port.Parity().SetBits(prNone);
    port.FlowControl().SetFlowControl(fcNone);
  }
  void TearDown() override { port.Close(); }

  // What the dialogs are handed: whatever lister holds when the port list fills.
  qv::PortChoiceSource Ports() {
    return {[this](std::vector<std::string>& items) { lister(items); }, {}};
  }

  std::vector<std::string> ports{"COM1", "COM2"};
  qv::TPortLister lister = [this](std::vector<std::string>& items) { items = ports; };
  std::function<int(TComSetupFrm&)> user;  // what the user does in the open dialog
  int shown = 0;
  QPointer<TComSetupFrm> dialog;
  TComPort port;
  TComSetupFrm::TModalRunner runner;  // how the dialog runs: the test's stand-in for the user
};

TEST_F(SetupTest, TheDialogHasItsCaptionSizeControlsAndTabOrder) {
  TComSetupFrm d(nullptr, Ports());
  EXPECT_EQ(d.windowTitle(), QStringLiteral("Setup"));
  EXPECT_EQ(d.size(), QSize(231, 216));
  EXPECT_EQ(d.minimumSize(), d.maximumSize());
  EXPECT_TRUE(d.windowFlags() & Qt::MSWindowsFixedSizeDialogHint);
  EXPECT_FALSE(d.windowFlags() & Qt::WindowContextHelpButtonHint);
  EXPECT_EQ(d.font().family(), QStringLiteral("MS Sans Serif"));
  EXPECT_EQ(d.font().pointSize(), 8);
  EXPECT_EQ(d.GroupBox1->title(), QStringLiteral(" Settings "));
  EXPECT_EQ(d.GroupBox1->geometry(), QRect(8, 8, 217, 169));
  const std::vector<QLabel*> labels{d.Label1, d.Label2, d.Label3, d.Label4, d.Label5, d.Label6};
  const QStringList captions{"Port", "Baud rate", "Data bits", "Stop bits", "Parity", "Flow control"};
  const std::vector<TComComboBox*> combos{d.Combo1, d.Combo2, d.Combo3, d.Combo4, d.Combo5, d.Combo6};
  const std::vector<TComProperty> properties{cpPort, cpBaudRate, cpDataBits, cpStopBits, cpParity, cpFlowControl};
  for (std::size_t i = 0; i < 6; ++i) {
    const int row = static_cast<int>(i) * 24;
    EXPECT_EQ(labels[i]->text(), captions[static_cast<qsizetype>(i)]);
    EXPECT_EQ(labels[i]->pos(), QPoint(8, 24 + row));
    EXPECT_EQ(combos[i]->parentWidget(), d.GroupBox1);
    EXPECT_EQ(combos[i]->pos(), QPoint(80, 16 + row));
    EXPECT_EQ(combos[i]->width(), 129);
    EXPECT_EQ(combos[i]->ComProperty(), properties[i]);
    EXPECT_FALSE(combos[i]->isEditable());
  }
  // Tab order: the six lists, then OK and Cancel.
  const std::vector<QWidget*> tabbable{d.Combo1, d.Combo2, d.Combo3,  d.Combo4,
                                       d.Combo5, d.Combo6, d.Button1, d.Button2};
  std::vector<QWidget*> order;
  QWidget* w = d.Combo1;
  do {
    if (std::find(tabbable.begin(), tabbable.end(), w) != tabbable.end()) order.push_back(w);
    w = w->nextInFocusChain();
  } while (w != d.Combo1);
  EXPECT_EQ(order, tabbable);
  EXPECT_EQ(d.Button1->text(), QStringLiteral("OK"));
  EXPECT_EQ(d.Button1->geometry(), QRect(70, 184, 75, 25));
  EXPECT_TRUE(d.Button1->isDefault());
  EXPECT_EQ(d.Button2->text(), QStringLiteral("Cancel"));
  EXPECT_EQ(d.Button2->geometry(), QRect(150, 184, 75, 25));
  EXPECT_EQ(Items(d.Combo1), (QStringList{"COM1", "COM2"}));
}

TEST_F(SetupTest, OpensWithTheCurrentValuesAndOkWithoutChangesKeepsThem) {
  QStringList selected;
  user = [&](TComSetupFrm& d) {
    for (TComComboBox* c : {d.Combo1, d.Combo2, d.Combo3, d.Combo4, d.Combo5, d.Combo6}) {
      EXPECT_EQ(c->ComPort(), &port);
      selected << c->Text();
    }
    return QDialog::Accepted;
  };
  const Settings before = Of(port);
  port.ShowPortSetup();  // no dialog installed yet: nothing happens
  EXPECT_EQ(shown, 0);
  qv::InstallPortSetupDialog(port, runner, Ports());
  port.ShowPortSetup();
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(selected, (QStringList{"COM1", "57600", "8", "1", "None", "None"}));
  EXPECT_EQ(Of(port), before);
  EXPECT_TRUE(dialog.isNull());
}

TEST_F(SetupTest, CancelDropsEveryChoice) {
  user = [](TComSetupFrm& d) {
    UserPicks(d.Combo1, "COM2");
    UserPicks(d.Combo2, "115200");
    UserPicks(d.Combo5, "Odd");
    return QDialog::Rejected;
  };
  const Settings before = Of(port);
  qv::RunPortSetup(port, runner, Ports());
  EXPECT_EQ(Of(port), before);
  EXPECT_TRUE(dialog.isNull());
}

TEST_F(SetupTest, OkAppliesEveryChoice) {
  user = [](TComSetupFrm& d) {
    UserPicks(d.Combo1, "COM2");
    UserPicks(d.Combo2, "2400");
    UserPicks(d.Combo3, "7");
    UserPicks(d.Combo4, "2");
    UserPicks(d.Combo5, "Even");
    UserPicks(d.Combo6, "Software");
    return QDialog::Accepted;
  };
  qv::RunPortSetup(port, runner, Ports());
  EXPECT_EQ(Of(port), (Settings{"COM2", br2400, dbSeven, sbTwoStopBits, prEven, fcSoftware}));
}

// The real modal loop: the user's actions arrive as events while it runs.
TEST_F(SetupTest, OkOnAnOpenPortSetsTheLineAtOnceAndClosingTheWindowCancels) {
  qvtest::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  ports = {pty.slave()};
  port.SetPort(pty.slave());
  port.SetConnected(true);
  ASSERT_EQ(LineRate(pty), 57600u);
  runner = nullptr;  // the dialog runs its own event loop

  auto act = [](std::function<void(TComSetupFrm&)> step) {
    QTimer::singleShot(0, [step] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<TComSetupFrm*>(w); d != nullptr && d->isVisible()) step(*d);
    });
  };
  act([](TComSetupFrm& d) {
    UserPicks(d.Combo2, "115200");
    d.close();  // the title bar's close button
  });
  port.ShowPortSetup();  // not installed: nothing
  qv::RunPortSetup(port, runner, Ports());
  EXPECT_EQ(port.BaudRate(), br57600);
  EXPECT_EQ(LineRate(pty), 57600u);

  act([](TComSetupFrm& d) {
    EXPECT_EQ(d.Combo1->Text(), d.Combo1->itemText(0));
    UserPicks(d.Combo2, "115200");
    d.Button1->click();
  });
  qv::RunPortSetup(port, runner, Ports());
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(port.BaudRate(), br115200);
  EXPECT_EQ(LineRate(pty), 115200u);
}

TEST_F(SetupTest, ThePortListComesSortedByTextFromTheSystem) {
  qvtest::ScratchDir dir;
  TPortListSources src{dir / "sys", dir / "dev", dir / "ports"};
  fs::create_directories(dir / "devices");
  fs::create_directories(src.devRoot);
  for (const char* n : {"COM2", "COM10", "COM1"}) {
    fs::create_directories(src.sysfsRoot / n);
    fs::create_directory_symlink(dir / "devices", src.sysfsRoot / n / "device");
    qvtest::WriteFile(src.devRoot / n, "");
  }
  lister = [&](std::vector<std::string>& items) { ListSerialPorts(items, src); };
  QStringList listed;
  user = [&](TComSetupFrm& d) {
    listed = Items(d.Combo1);
    return QDialog::Rejected;
  };
  qv::RunPortSetup(port, runner, Ports());
  const auto dev = [&](const char* n) { return QString::fromStdString((src.devRoot / n).string()); };
  EXPECT_EQ(listed, (QStringList{dev("COM1"), dev("COM10"), dev("COM2")}));
}

TEST_F(SetupTest, WithoutASystemListTheDialogIsNotShownAndTheErrorPassesOn) {
  qvtest::ScratchDir dir;
  const TPortListSources src{dir / "no-sysfs", dir / "dev", dir / "ports"};
  lister = [&](std::vector<std::string>& items) { ListSerialPorts(items, src); };
  qv::InstallPortSetupDialog(port, runner, Ports());
  bool nextStepRan = false;
  try {
    port.ShowPortSetup();
    nextStepRan = true;
  } catch (const EComPort& e) {
    EXPECT_EQ(e.Code(), 23);
    EXPECT_EQ(e.WinCode(), ENOENT);
    EXPECT_EQ(std::string(e.what()), EComPort(23, ENOENT).what());
  }
  EXPECT_FALSE(nextStepRan);
  EXPECT_EQ(shown, 0);
}

TEST_F(SetupTest, AnEmptyOrUnmatchedPortListSelectsNothingAndOkKeepsTheName) {
  for (const std::vector<std::string>& list : {std::vector<std::string>{}, std::vector<std::string>{"COM7"}}) {
    ports = list;
    int index = 0;
    int count = -1;
    user = [&](TComSetupFrm& d) {
      index = d.Combo1->currentIndex();
      count = d.Combo1->count();
      UserPicks(d.Combo2, "9600");
      return QDialog::Accepted;
    };
    port.SetBaudRate(br57600);
    qv::RunPortSetup(port, runner, Ports());
    EXPECT_EQ(count, static_cast<int>(list.size()));
    EXPECT_EQ(index, -1);
    EXPECT_EQ(port.Port(), "COM1");
    EXPECT_EQ(port.BaudRate(), br9600);
  }
}

// Counts how often the update bracket reaches zero and applies everything.
class CountingPort : public TComPort {
 public:
  void ApplyAllSettings() override {
    ++applied;
    TComPort::ApplyAllSettings();
  }
  int applied = 0;
};

TEST_F(SetupTest, AnErrorWhileApplyingStillClosesTheBracketAndFreesTheDialog) {
  qvtest::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  CountingPort open;
  open.SetPort(pty.slave());
  open.SetConnected(true);
  ports = {pty.slave(), "/dev/quorvel-no-such-port"};
  user = [](TComSetupFrm& d) {
    UserPicks(d.Combo1, "/dev/quorvel-no-such-port");
    UserPicks(d.Combo2, "115200");
    return QDialog::Accepted;
  };
  open.applied = 0;
  try {
    qv::RunPortSetup(open, runner, Ports());
    ADD_FAILURE() << "no error";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.Code(), 1);  // the port name is applied first: reopening fails
  }
  EXPECT_TRUE(dialog.isNull());
  EXPECT_EQ(open.applied, 1);
  EXPECT_FALSE(open.Connected());
  EXPECT_EQ(open.BaudRate(), br9600);  // nothing after the failure was applied

  // Back on the pty, a change reaches the line at once: no bracket is left open.
  open.SetPort(pty.slave());
  open.SetConnected(true);
  open.SetBaudRate(br115200);
  EXPECT_EQ(LineRate(pty), 115200u);
  open.Close();
}

}  // namespace
