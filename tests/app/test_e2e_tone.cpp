// The guidance tone through a real sound server: a private PulseAudio with a
// null sink, the whole program with the tone switched on in workshop.ini,
// a pseudo-terminal device sending maxima frames of a known difference, and
// the sink's monitor recorded with parec. Outside the band it must beep at
// the table's pitch and cadence; inside it must chime once and fall silent.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "CommandLine.h"
#include "MainWindowTestSupport.h"
#include "Program.h"
#include "TWorkshopView.h"
#include "ToneOutputSound.h"
#include "ToneTable.h"
#include "UnitMain.h"
#include "WorkshopLauncher.h"
#include "WorkshopSettings.h"
#include "support/PulseServer.h"
#include "support/QtWait.h"
#include "support/TestEnv.h"
#include "support/ToneAnalysis.h"

namespace {

namespace fs = std::filesystem;
using qvtest::PulseServer;
using qvtest::Recorder;

// Records for `seconds` while the program runs; the samples from `skip` on.
std::vector<float> Record(const PulseServer& server, double seconds, double skip = 0) {
  Recorder rec(server.Address());
  EXPECT_TRUE(rec.Running()) << "parec did not start";
  const auto want = static_cast<std::size_t>(seconds * PulseServer::kRate);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds + 5);
  while (std::chrono::steady_clock::now() < deadline) {
    const auto chunks = rec.Chunks();
    if (!chunks.empty() && chunks.back().endSample >= want) break;
    QTest::qWait(20);
  }
  std::vector<float> s = rec.Samples();
  rec.Stop();
  const auto from = std::min(s.size(), static_cast<std::size_t>(skip * PulseServer::kRate));
  return {s.begin() + static_cast<std::ptrdiff_t>(from), s.end()};
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The sounding stretches, with gaps shorter than a beep's pause (a stall of
// the server) joined.
std::vector<qvtest::Stretch> Beeps(const std::vector<float>& s) {
  std::vector<qvtest::Stretch> out;
  for (const qvtest::Stretch& x : qvtest::Sounding(s, PulseServer::kRate, 0.05)) {
    if (!out.empty() && x.start - out.back().end < 0.04)
      out.back().end = x.end;
    else
      out.push_back(x);
  }
  return out;
}

TEST(ToneEndToEnd, BeepsAtTheTablesPitchAndCadenceOutsideTheBandAndFallsSilentInside) {
  qvtest::ScratchDir dir;
  PulseServer server(dir / "pulse");
  ASSERT_EQ(server.Failure(), "") << "the private PulseAudio server did not start";
  // The tone on at full volume, undamped, so the shown difference is the frames' at once.
  fs::create_directories(qv::workshop::DefaultSettingsPath().parent_path());
  qvtest::WriteFile(qv::workshop::DefaultSettingsPath(), "[Workshop]\nDamping=0\nTone=1\nToneVolume=100\n");

  qvtest::FakeDevice device;
  qvtest::CapturedErrors errors;
  TForm1 form;
  form.SetCommandLinePort(device.SlavePath());
  qv::TProgram program(form, qv::ParseCommandLine({"quorvel", "--workshop"}));
  program.Show();
  qv::workshop::TWorkshopView* view = program.Workshop().View();
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(qvtest::WaitFor(
      [&] {
        const qv::tone::ToneOutput* out = program.Tone().Output();
        return out && out->Status() == qv::tone::OutputStatus::kPlaying;
      },
      10000))
      << "the tone did not reach the server";

  // D = 100 - MAXIMA: -250, -250, -250, -290 mBar; against their mean the
  // differences are +10, +10, +10, -30: cylinder 4 is three bands out, below.
  std::array<int, 4> maxima{350, 350, 350, 390};
  QTimer feed;
  QObject::connect(&feed, &QTimer::timeout,
                   [&] { device.Write(qvtest::MaximaFrame(maxima[0], maxima[1], maxima[2], maxima[3])); });
  form.Button2Click();  // Start Scan
  feed.start(50);
  ASSERT_TRUE(qvtest::WaitFor(
      [&] {
        const auto& r = view->Shown();
        return r.status == qv::workshop::Status::Live && std::lround(r.channels[3].difference) == -30;
      },
      10000));

  const std::vector<float> beeping = Record(server, 3.0, 0.3);
  const std::vector<qvtest::Stretch> beeps = Beeps(beeping);
  ASSERT_GE(beeps.size(), 7u) << "no beeps heard";
  // Whole beeps only: the first and last may be cut by the recording. Medians,
  // so that a stall of a busy machine (a gap the server fills with silence)
  // does not count as a wrong beat.
  std::vector<double> periods, lengths, pitches;
  for (std::size_t i = 1; i + 1 < beeps.size(); ++i) {
    if (i > 1) periods.push_back(beeps[i].start - beeps[i - 1].start);
    lengths.push_back(beeps[i].Length());
    const auto from = static_cast<std::size_t>((beeps[i].start + 0.02) * PulseServer::kRate);
    const auto to = static_cast<std::size_t>((beeps[i].end - 0.02) * PulseServer::kRate);
    pitches.push_back(qvtest::PitchHz(beeping, PulseServer::kRate, from, to));
  }
  const double period = Median(periods);
  EXPECT_NEAR(1.0 / period, qv::tone::CadenceAt(3), 0.15);  // 3.75 beeps per second
  EXPECT_NEAR(Median(lengths), period * qv::tone::kToneTable.beepDuty, 0.02);
  EXPECT_NEAR(Median(pitches), qv::tone::PitchAt(-3), 3);  // 318 Hz: below the centre, more vacuum

  // Into the band: -1, +1, 0, 0 around the mean. Silence at once; SYNCHRON
  // once the readings have settled, with its chime, then silence.
  maxima = {351, 349, 350, 350};
  ASSERT_TRUE(qvtest::WaitFor([&] { return std::lround(view->Shown().channels[3].difference) == 0; }, 5000));
  const std::vector<float> inside = Record(server, 4.5, 0.2);
  EXPECT_TRUE(view->Shown().inSync) << "never SYNCHRON";
  const std::vector<qvtest::Stretch> heard = qvtest::Sounding(inside, PulseServer::kRate, 0.05);
  ASSERT_FALSE(heard.empty()) << "no chime";
  const auto at = [&](double t) { return static_cast<std::size_t>(t * PulseServer::kRate); };
  const double chime = heard.front().start;
  EXPECT_NEAR(qvtest::PitchHz(inside, PulseServer::kRate, at(chime + 0.02), at(chime + 0.12)), 784, 8);
  EXPECT_NEAR(qvtest::PitchHz(inside, PulseServer::kRate, at(chime + 0.20), at(chime + 0.30)), 1047, 10);
  EXPECT_LT(heard.back().end - chime, 0.6);  // one chime, nothing after it
  EXPECT_LT(qvtest::Peak(inside, at(chime + 0.8)), 0.01);
  EXPECT_GT(inside.size(), at(chime + 1.5)) << "too little recorded after the chime";
  // Before the chime, as soon as the band was reached: nothing.
  EXPECT_LT(qvtest::Peak(inside, 0, at(chime) > at(0.01) ? at(chime) - at(0.01) : 0), 0.01);

  feed.stop();
  form.Button3Click();  // Stop Scan
}

// The program as it starts, the tone off: no output is made, nothing is said.
TEST(ToneEndToEnd, OffByDefaultNoSoundServerIsContacted) {
  qvtest::ScratchDir dir;
  setenv("PULSE_SERVER", ("unix:" + (dir / "none").string()).c_str(), 1);
  fs::remove(qv::workshop::DefaultSettingsPath());
  TForm1 form;
  qv::TProgram program(form, qv::ParseCommandLine({"quorvel", "--workshop"}));
  program.Show();
  qv::workshop::TWorkshopView* view = program.Workshop().View();
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(qvtest::WaitFor([&] { return view->isVisible(); }));
  EXPECT_EQ(program.Tone().Output(), nullptr);
  EXPECT_FALSE(view->findChild<QLabel*>("ToneState")->isVisibleTo(view));
}

// No sound server where the program looks: switched on, the tone says so in
// the view, and the view goes on showing the readings.
TEST(ToneEndToEnd, WithoutASoundServerTheViewSaysNoSoundOutputAndWorksOn) {
  qvtest::ScratchDir dir;
  setenv("PULSE_SERVER", ("unix:" + (dir / "none").string()).c_str(), 1);
  fs::remove(qv::workshop::DefaultSettingsPath());
  qvtest::FakeDevice device;
  qvtest::CapturedErrors errors;
  TForm1 form;
  form.SetCommandLinePort(device.SlavePath());
  qv::TProgram program(form, qv::ParseCommandLine({"quorvel", "--workshop"}));
  program.Show();
  qv::workshop::TWorkshopView* view = program.Workshop().View();
  ASSERT_NE(view, nullptr);
  view->SetLanguage(qv::workshop::ViewLanguage::For(QLocale(QLocale::German)));
  view->findChild<QAction*>("Tone")->trigger();
  auto* state = view->findChild<QLabel*>("ToneState");
  ASSERT_TRUE(qvtest::WaitFor([&] { return state->text() == QString::fromUtf8("Keine Tonausgabe verfügbar"); }, 10000))
      << state->text().toStdString();
  QTimer feed;
  QObject::connect(&feed, &QTimer::timeout, [&] { device.Write(qvtest::MaximaFrame(350, 350, 350, 390)); });
  form.Button2Click();
  feed.start(50);
  ASSERT_TRUE(qvtest::WaitFor([&] { return view->Shown().status == qv::workshop::Status::Live; }, 10000));
  EXPECT_EQ(std::lround(view->Shown().channels[3].difference), -30);
  EXPECT_EQ(state->text(), QString::fromUtf8("Keine Tonausgabe verfügbar"));
  feed.stop();
  form.Button3Click();
}

}  // namespace
