// The phone view in the program: the workshop view's switch starts the server
// on 127.0.0.1 and it listens only while on; switching off, closing its window
// or the view, and the program's end close every connection at once; the
// device's maxima frames reach a phone's stream; --phone on the command line
// and in the built program. Every address used is 127.0.0.1; the others are
// only in made-up lists.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <memory>
#include <string>

#include "CommandLine.h"
#include "LoopbackClient.h"
#include "MainWindowTestSupport.h"
#include "PhonePanel.h"
#include "PhoneServer.h"
#include "PhoneSwitch.h"
#include "Program.h"
#include "TWorkshopView.h"
#include "UnitMain.h"
#include "WorkshopLauncher.h"
#include "support/QtWait.h"
#include "support/TestEnv.h"

namespace {

using qv::phone::NetInterface;

// A machine whose default route leaves by "wlan0", which has 127.0.0.1 here,
// and a second interface whose address is only ever listed.
qv::PhoneSwitch::Network MadeUpNetwork() {
  return {[] {
            return std::vector<NetInterface>{{"wlan0", true, false, {{"127.0.0.1", false}}},
                                             {"eth0", true, false, {{"192.0.2.10", false}}}};
          },
          [] {
            return std::string(
                "Iface\tDestination\tGateway\tFlags\tRefCnt\tUse\tMetric\tMask\n"
                "wlan0\t00000000\t0101A8C0\t0003\t0\t0\t600\t00000000\n");
          }};
}

// Whether anything listens on 127.0.0.1:port.
bool Listening(std::uint16_t port) { return qvtest::LoopbackClient(port).Connected(); }

class PhoneProgram : public ::testing::Test {
 protected:
  void Make(const std::vector<std::string>& args = {"quorvel"}) {
    form = std::make_unique<TForm1>();
    form->SetCommandLinePort(device.SlavePath());
    program = std::make_unique<qv::TProgram>(*form, qv::ParseCommandLine(args));
    program->Phone().SetNetwork(MadeUpNetwork());
    program->Show();
    ASSERT_TRUE(qvtest::WaitFor([&] { return form->isVisible(); }));
    program->Workshop().Open();
    view = program->Workshop().View();
    ASSERT_NE(view, nullptr);
    toggle = view->findChild<QAction*>("Phone");
    ASSERT_NE(toggle, nullptr);
  }
  void TearDown() override {
    program.reset();
    form.reset();
  }
  qv::phone::PhoneServer& Server() { return program->PhoneServer(); }
  // A phone that scanned the code now shown and opened its stream.
  std::unique_ptr<qvtest::LoopbackClient> Phone() {
    const std::string cookie = qvtest::PairPhone(Server().Port(), Server().Url().toStdString());
    EXPECT_EQ(cookie.size(), 32u);
    auto phone = std::make_unique<qvtest::LoopbackClient>(Server().Port());
    EXPECT_TRUE(phone->Send(qvtest::EventsRequest(Server().Port(), cookie)));
    EXPECT_TRUE(phone->WaitFor([](const std::string& got) { return got.find("\"n\":") != std::string::npos; }));
    return phone;
  }

  qvtest::FakeDevice device;
  qvtest::CapturedErrors errors;
  std::unique_ptr<TForm1> form;
  std::unique_ptr<qv::TProgram> program;
  qv::workshop::TWorkshopView* view = nullptr;
  QAction* toggle = nullptr;
};

TEST_F(PhoneProgram, OffByDefaultTheSwitchListensOnTheDefaultRoutesAddressOnlyWhileOn) {
  Make();
  EXPECT_FALSE(Server().Running());
  EXPECT_FALSE(toggle->isChecked());
  EXPECT_EQ(program->Phone().Panel(), nullptr);

  toggle->trigger();
  ASSERT_TRUE(Server().Running()) << Server().Error().toStdString();
  EXPECT_TRUE(toggle->isChecked());
  EXPECT_TRUE(Server().Url().startsWith("http://127.0.0.1:"));
  const std::uint16_t port = Server().Port();
  EXPECT_TRUE(Listening(port));
  // The window shows the code and offers the made-up machine's addresses, the default chosen.
  qv::phone::PhonePanel* panel = program->Phone().Panel();
  ASSERT_NE(panel, nullptr);
  EXPECT_TRUE(panel->isVisible());
  EXPECT_EQ(panel->AddressText(), Server().Url());
  auto* choice = panel->findChild<QComboBox*>("PhoneAddressChoice");
  ASSERT_EQ(choice->count(), 2);
  EXPECT_EQ(choice->currentData().toString(), QStringLiteral("127.0.0.1"));
  EXPECT_EQ(choice->itemData(1).toString(), QStringLiteral("192.0.2.10"));

  // Two phones streaming; switching off cuts both at once and stops listening.
  auto a = Phone();
  auto b = Phone();
  ASSERT_TRUE(qvtest::WaitFor([&] { return panel->PhonesText().endsWith(": 2"); }));
  toggle->trigger();
  EXPECT_FALSE(Server().Running());
  EXPECT_FALSE(toggle->isChecked());
  EXPECT_TRUE(a->WaitClosed(1000));
  EXPECT_TRUE(b->WaitClosed(1000));
  EXPECT_FALSE(Listening(port));
  EXPECT_FALSE(panel->isVisible());

  // On again: a new port and token; closing the window switches off too.
  toggle->trigger();
  ASSERT_TRUE(Server().Running());
  auto c = Phone();
  panel->close();
  EXPECT_FALSE(Server().Running());
  EXPECT_FALSE(toggle->isChecked());
  EXPECT_TRUE(c->WaitClosed(1000));

  // And closing the workshop view.
  toggle->trigger();
  ASSERT_TRUE(Server().Running());
  auto d = Phone();
  view->close();
  EXPECT_FALSE(Server().Running());
  EXPECT_TRUE(d->WaitClosed(1000));
}

TEST_F(PhoneProgram, TheProgramsEndClosesEveryConnection) {
  Make();
  toggle->trigger();
  ASSERT_TRUE(Server().Running());
  const std::uint16_t port = Server().Port();
  auto phone = Phone();
  program.reset();
  EXPECT_TRUE(phone->WaitClosed(1000));
  EXPECT_FALSE(Listening(port));
}

TEST_F(PhoneProgram, AnAddressNotTheMachinesOpensTheWindowWithWhyAndNothingListens) {
  Make();
  program->Phone().SetWanted(QStringLiteral("192.0.2.99"));
  toggle->trigger();
  EXPECT_FALSE(Server().Running());
  ASSERT_NE(program->Phone().Panel(), nullptr);
  EXPECT_TRUE(program->Phone().Panel()->AddressText().contains("192.0.2.99 ist keine Adresse dieses Rechners"))
      << program->Phone().Panel()->AddressText().toStdString();
  // Choosing an address that is the machine's starts it there.
  program->Phone().Panel()->OnAddressChosen(QStringLiteral("127.0.0.1"));
  EXPECT_TRUE(Server().Running());
  EXPECT_TRUE(program->Phone().Panel()->AddressText().startsWith("http://127.0.0.1:"));
}

TEST_F(PhoneProgram, EachMaximaFrameOfTheDeviceReachesAPhonesStreamWithTheViewsReading) {
  Make({"quorvel", "--phone=127.0.0.1"});
  ASSERT_TRUE(Server().Running());
  EXPECT_TRUE(toggle->isChecked());
  form->Button2->click();  // Start Scan
  ASSERT_TRUE(device.WaitForReceived(1));
  auto phone = Phone();
  std::size_t from = phone->Received().size();
  // At about the engine's pace: the view looks at the frames on its own tick.
  for (int k = 1; k <= 12; ++k) {
    QTest::qWait(60);
    device.Write(qvtest::MaximaFrame(300, 300, 330, 300));
    const std::string want = "\"n\":" + std::to_string(k) + ",";
    ASSERT_TRUE(phone->WaitFor([&](const std::string& got) { return got.find(want, from) != std::string::npos; }, 5000))
        << "frame " << k;
  }
  // The view's reading goes with them: scanning, live, as the view shows it.
  ASSERT_TRUE(phone->WaitFor(
      [](const std::string& got) { return got.rfind("\"active\":true,\"status\":\"live\"") != std::string::npos; },
      5000))
      << phone->Received().substr(phone->Received().rfind("data: {"));
  ASSERT_TRUE(qvtest::WaitFor([&] {
    phone->Pump();
    const std::string& got = phone->Received();
    const std::string last = got.substr(got.rfind("data: {"));
    return last.find("\"worst\":" + std::to_string(view->Shown().worstChannel) + ",") != std::string::npos;
  }));
  // Every frame counted once: no event numbered beyond the frames sent.
  EXPECT_EQ(phone->Received().find("\"n\":13,"), std::string::npos);
}

// ---- the command line ---------------------------------------------------------------

TEST(PhoneCommandLine, PhoneWithOrWithoutAnAddressAndAMalformedOneRefused) {
  using A = qv::CommandLine::Action;
  EXPECT_FALSE(qv::ParseCommandLine({"quorvel"}).phone);
  auto cl = qv::ParseCommandLine({"quorvel", "--phone"});
  ASSERT_EQ(cl.action, A::Run);
  EXPECT_EQ(cl.phone, std::string());
  // "--phone FILE" takes no value from the next argument.
  EXPECT_EQ(qv::ParseCommandLine({"quorvel", "--phone", "--workshop"}).workshop, true);
  EXPECT_EQ(qv::ParseCommandLine({"quorvel", "--phone", "stray"}).action, A::Error);
  for (const char* ok : {"127.0.0.1", "192.168.1.20", "::1", "fe80::1%wlan0"}) {
    cl = qv::ParseCommandLine({"quorvel", std::string("--phone=") + ok});
    EXPECT_EQ(cl.action, A::Run) << ok;
    EXPECT_EQ(cl.phone, std::string(ok));
  }
  for (const char* bad : {"", "laptop", "192.168.1", "192.168.1.300", "10.0.0.1%eth0", "1.2.3.4:80"}) {
    cl = qv::ParseCommandLine({"quorvel", std::string("--phone=") + bad});
    EXPECT_EQ(cl.action, A::Error) << bad;
    EXPECT_NE(cl.error.find("--phone"), std::string::npos) << cl.error;
  }
  EXPECT_NE(qv::UsageText("quorvel").find("--phone[=ADDRESS]"), std::string::npos);
}

struct ProgramRun {
  QProcess process;
  QString out, err;
  explicit ProgramRun(const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();  // the private HOME and XDG folders
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("LANGUAGE", "de");
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(QUORVEL_EXE), args);
  }
  ~ProgramRun() {
    if (process.state() != QProcess::NotRunning) {
      process.terminate();
      if (!process.waitForFinished(10000)) process.kill();
      process.waitForFinished(5000);
    }
  }
  // Reads until `what` is in the output (or the program ended); whether it is.
  bool WaitFor(const QString& what, QString& from) {
    return qvtest::WaitFor(
               [&] {
                 out += QString::fromUtf8(process.readAllStandardOutput());
                 err += QString::fromUtf8(process.readAllStandardError());
                 return from.contains(what) || process.state() == QProcess::NotRunning;
               },
               30000) &&
           from.contains(what);
  }
};

TEST(PhoneCommandLine, TheProgramPrintsThePagesAddressAndServesItUntilItEnds) {
  ProgramRun run({"--phone=127.0.0.1"});
  ASSERT_TRUE(run.WaitFor("\n", run.out)) << run.err.toStdString();
  const QString line = run.out.section('\n', 0, 0);
  ASSERT_TRUE(line.startsWith("Telefonansicht: http://127.0.0.1:")) << line.toStdString();
  const QString url = line.mid(QStringLiteral("Telefonansicht: ").size());
  const auto port = static_cast<std::uint16_t>(QUrl(url).port());
  ASSERT_GT(port, 0);
  EXPECT_EQ(qvtest::PairPhone(port, url.toStdString()).size(), 32u);
  run.process.terminate();
  ASSERT_TRUE(run.process.waitForFinished(10000));
  EXPECT_FALSE(Listening(port));
}

TEST(PhoneCommandLine, AnAddressNotTheMachinesIsToldAndTheProgramRunsWithoutIt) {
  // 192.0.2.0/24 is for documentation: never one of this machine's, and never bound.
  ProgramRun run({"--phone=192.0.2.123"});
  ASSERT_TRUE(run.WaitFor("192.0.2.123", run.err)) << run.err.toStdString();
  EXPECT_TRUE(
      run.err.contains("quorvel: Telefonansicht nicht gestartet: 192.0.2.123 ist keine Adresse dieses Rechners"))
      << run.err.toStdString();
  EXPECT_EQ(run.process.state(), QProcess::Running);
  EXPECT_FALSE(run.out.contains("http://"));

  ProgramRun malformed({"--phone=laptop"});
  ASSERT_TRUE(malformed.process.waitForFinished(30000));
  EXPECT_EQ(malformed.process.exitCode(), 2);
  EXPECT_TRUE(QString::fromUtf8(malformed.process.readAllStandardError()).startsWith("quorvel: option --phone"));
}

}  // namespace
