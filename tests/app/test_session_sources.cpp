// The main window's port and a replay as sources of the session: a scan
// starts and ends with the window's own Start and Stop (buttons, menu, the
// hidden buttons), closing the window is no scan, every decoded frame is
// published with the window's measurement state, and a replay tells of its
// frames at their recorded times, its pausing, speed and jumps.
#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>
#include <memory>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "MainWindowTestSupport.h"
#include "Program.h"
#include "RecordingControl.h"
#include "RecordingFormat.h"
#include "Session.h"
#include "UnitMain.h"
#include "support/TestEnv.h"

namespace {

using qv::session::State;

struct Journal : qv::session::Subscriber {
  void OnFrame(const qv::session::Frame& f) override {
    frames.push_back(f);
    frames.back().state = nullptr;
  }
  void OnState(const qv::session::SessionState& s) override { states.push_back(s.state); }
  void OnBytes(std::string_view b) override { bytes += b; }
  std::vector<qv::session::Frame> frames;
  std::vector<State> states;
  std::string bytes;
};

class SessionSources : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<TForm1>();
    form->SetCommandLinePort(device.SlavePath());
    program = std::make_unique<qv::TProgram>(*form, qv::CommandLine{});
    program->Recording().ShowMessage = [this](const QString& t) { messages << t; };
    program->Session().Subscribe(journal);
    program->Show();
    ASSERT_TRUE(qvtest::WaitFor([&] { return form->isVisible(); }));
  }
  void TearDown() override {
    program->Session().Unsubscribe(journal);
    program.reset();
    form.reset();
  }
  State Now() const { return program->Session().Current().state; }
  bool WaitForState(State s) {
    return qvtest::WaitFor([&] { return Now() == s; });
  }

  qvtest::FakeDevice device;
  qvtest::CapturedErrors errors;
  qvtest::ScratchDir dir;
  std::unique_ptr<TForm1> form;
  std::unique_ptr<qv::TProgram> program;
  Journal journal;
  QStringList messages;
};

TEST_F(SessionSources, AScanRunsFromTheWindowsStartToItsStopAndEveryFrameIsPublished) {
  EXPECT_EQ(Now(), State::kIdle);
  form->Button2->click();
  ASSERT_EQ(Now(), State::kScanning);
  EXPECT_EQ(program->Session().Current().source.name, device.SlavePath());
  ASSERT_TRUE(device.WaitForReceived(1));
  EXPECT_EQ(device.Received(), "b");  // the window's own Start did it

  const std::string frame = qvtest::MaximaFrame(90, 95, 101, 99);
  device.Write(frame);
  ASSERT_TRUE(qvtest::WaitFor([&] { return journal.frames.size() == 1; }));
  device.Write(qvtest::MaximaFrame(91, 95, 101, 99));
  ASSERT_TRUE(qvtest::WaitFor([&] { return journal.frames.size() == 2; }));
  EXPECT_TRUE(journal.frames[0].hasMaxima);
  EXPECT_EQ(journal.frames[0].maxima, (std::array<std::int32_t, 4>{90, 95, 101, 99}));
  EXPECT_EQ(journal.frames[1].maxima[0], 91);
  EXPECT_EQ(journal.frames[1].maximaFrames, form->Decoder().MaximaFrames());
  EXPECT_LE(journal.frames[0].seconds, journal.frames[1].seconds);
  EXPECT_EQ(journal.bytes.substr(0, frame.size()), frame);  // the bytes exactly as read

  form->Button3->click();
  EXPECT_EQ(Now(), State::kIdle);
  EXPECT_EQ(journal.states, (std::vector<State>{State::kIdle, State::kScanning, State::kIdle}));
  EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
}

TEST_F(SessionSources, TheMenuAndTheHiddenStartCountAndAPortThatCannotOpenDoesNot) {
  form->Start1->trigger();
  EXPECT_EQ(Now(), State::kScanning);
  form->Stop1->trigger();
  EXPECT_EQ(Now(), State::kIdle);
  // The hidden "open and draw" button opens the port with the redraw on: a scan.
  form->Button4Click();
  EXPECT_TRUE(WaitForState(State::kScanning));
  form->Button3->click();
  EXPECT_EQ(Now(), State::kIdle);

  form->SetCommandLinePort((dir / "no-such-device").string());
  form->ApplyCommandLinePort();
  form->Button2->click();  // fails with a message, nothing opens
  EXPECT_FALSE(form->ComPort1->Connected());
  EXPECT_EQ(Now(), State::kIdle);
  EXPECT_FALSE(errors.texts.isEmpty());
}

TEST_F(SessionSources, ClosingTheWindowOpensThePortToSendAButIsNoScan) {
  form->close();
  ASSERT_TRUE(device.WaitForReceived(1));
  EXPECT_EQ(device.Received(), "a");
  (void)qvtest::WaitFor([] { return false; }, 100);  // the looks after the close have run
  for (State s : journal.states) EXPECT_NE(s, State::kScanning);
}

TEST_F(SessionSources, AReplayPublishesItsFramesAtTheirRecordedTimesAndItsPausingAndJumps) {
  std::string file = qv::rec::EncodeHeader({});
  for (int i = 0; i < 5; ++i) qv::rec::AppendRecord(file, 100'000u * i, qvtest::MaximaFrame(90 + i, 95, 101, 99));
  qvtest::WriteFile(dir / "five.qvrec", file);
  const QString path = QString::fromStdString((dir / "five.qvrec").string());
  qv::TRecordingControl& rec = program->Recording();
  ASSERT_TRUE(rec.OpenReplay(path));
  EXPECT_EQ(program->Session().Current().source.name, path.toStdString());
  ASSERT_TRUE(qvtest::WaitFor([&] { return rec.Engine()->AtEnd(); }));
  ASSERT_TRUE(qvtest::WaitFor([&] { return Now() == State::kPaused; }));  // stands at its end
  ASSERT_EQ(journal.frames.size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_DOUBLE_EQ(journal.frames[i].seconds, 0.1 * static_cast<double>(i));
    EXPECT_EQ(journal.frames[i].maxima[0], 90 + static_cast<int>(i));
    EXPECT_EQ(journal.frames[i].restart, i == 0);
  }
  // A jump back shows the state at that place at once, as a restart.
  rec.SeekTo(150'000);
  ASSERT_EQ(journal.frames.size(), 6u);
  EXPECT_TRUE(journal.frames[5].restart);
  EXPECT_EQ(journal.frames[5].maxima[0], 91);
  EXPECT_EQ(journal.frames[5].maximaFrames, 2u);
  EXPECT_DOUBLE_EQ(program->Session().Now(), 0.15);
  rec.SetSpeed(4.0);
  EXPECT_DOUBLE_EQ(program->Session().Current().speed, 4.0);
  rec.TogglePause();
  EXPECT_EQ(Now(), State::kReplaying);
  rec.TogglePause();
  EXPECT_EQ(Now(), State::kPaused);
  // While a replay shows, Start Scan is off: the session has no scan beside it.
  EXPECT_FALSE(form->Button2->isEnabled());
  rec.EndReplay();
  EXPECT_EQ(Now(), State::kIdle);
  EXPECT_TRUE(journal.bytes.empty());  // a replay's bytes are not the port's
  EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
}

}  // namespace
