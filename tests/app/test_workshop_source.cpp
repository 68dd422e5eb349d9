// The workshop model behind the workshop view: the looks at the measurement
// state it is handed, the view's choices as the model's settings, zero offsets
// kept per port name, and the view's settings in workshop.ini.
#include <gtest/gtest.h>

#include <filesystem>

#include "WorkshopModelSource.h"
#include "support/TestEnv.h"

namespace {

namespace fs = std::filesystem;
using namespace qv::workshop;

using Maxima = std::array<std::int32_t, 4>;

// Feeds the source as the view's tick does: one maxima frame per look.
struct Feeder {
  qv::WorkshopModelSource& source;
  double now = 0;
  std::uint64_t frames = 0;
  bool open = true;

  Reading Look() { return source.Read({now, open, frames, last}); }
  Reading Frame(const Maxima& m, double dt = 0.1) {
    now += dt;
    ++frames;
    last = m;
    return Look();
  }
  Reading Frames(const Maxima& m, double seconds) {
    Reading r;
    for (double t = 0; t < seconds; t += 0.1) r = Frame(m);
    return r;
  }
  Maxima last{};
};

ViewChoices Undamped() {
  ViewChoices c;
  c.dampingSeconds = 0;
  return c;
}

class Source : public ::testing::Test {
 protected:
  fs::path File() const { return dir / "quorvel" / "workshop.ini"; }
  std::unique_ptr<qv::WorkshopModelSource> Make() {
    auto s = std::make_unique<qv::WorkshopModelSource>([this] { return port; }, WorkshopSettingsFile(File()));
    std::string problem;
    (void)s->Load(problem);
    return s;
  }
  qvtest::ScratchDir dir;
  std::string port = "/dev/ttyUSB0";
};

TEST_F(Source, TheWorkedExampleAndTheStatesAroundIt) {
  auto s = Make();
  s->SetChoices(Undamped());
  Feeder f{*s};
  f.open = false;
  EXPECT_EQ(f.Look().status, Status::NoScan);
  f.open = true;
  EXPECT_EQ(f.Look().status, Status::Waiting);  // the first look after opening only takes the count
  const Reading r = f.Frame({350, 340, 360, 345});
  ASSERT_EQ(r.status, Status::Live);
  EXPECT_DOUBLE_EQ(r.reference, -248.75);
  const double expected[4] = {-1.25, 8.75, -11.25, 3.75};
  const int maxima[4] = {350, 340, 360, 345};
  for (std::size_t c = 0; c < 4; ++c) {
    EXPECT_DOUBLE_EQ(r.channels[c].difference, expected[c]);
    EXPECT_DOUBLE_EQ(r.channels[c].absolute, 100.0 - maxima[c]);
  }
  EXPECT_EQ(r.channels[1].band, Band::Inside);  // 8.75 of 10
  EXPECT_EQ(r.channels[2].band, Band::Near);    // 11.25
  EXPECT_EQ(r.worstChannel, 2);
  EXPECT_FALSE(r.inSync);  // not settled after one frame
  // No maxima frame for more than a second: the last values, as no data.
  f.now += 1.2;
  const Reading stale = f.Look();
  EXPECT_EQ(stale.status, Status::NoData);
  EXPECT_DOUBLE_EQ(stale.channels[2].difference, -11.25);
  f.open = false;
  EXPECT_EQ(f.Look().status, Status::NoScan);
}

TEST_F(Source, TheViewsChoicesReachTheModelAndTheDefaultsDamp) {
  auto s = Make();
  Feeder f{*s};
  f.Look();
  f.Frames({350, 350, 350, 350}, 3);
  // A step of cylinder 3 by 20 mBar: with the default 1 s damping it is still on its way after 0.1 s.
  const double moved = f.Frame({350, 350, 330, 350}).channels[2].absolute;
  EXPECT_GT(moved, -250.0);
  EXPECT_LT(moved, -230.0);

  ViewChoices c = Undamped();
  c.unit = Unit::KiloPascal;
  c.reference = ReferenceKind::Cylinder;
  c.referenceCylinder = 1;
  s->SetChoices(c);
  Reading r = f.Frame({350, 340, 360, 345});
  EXPECT_EQ(r.unit, Unit::KiloPascal);
  EXPECT_EQ(r.referenceKind, ReferenceKind::Cylinder);
  EXPECT_DOUBLE_EQ(r.reference, -24.0);  // cylinder 2: -240 mBar
  EXPECT_DOUBLE_EQ(r.channels[2].difference, -2.0);

  c.pairMode = true;
  s->SetChoices(c);
  r = f.Frame({350, 340, 360, 345});
  EXPECT_EQ(r.channelCount, 2);
}

TEST_F(Source, InSyncOnceSteadyAndHoldKeepsWhatIsShown) {
  auto s = Make();
  s->SetChoices(Undamped());
  Feeder f{*s};
  f.Look();
  Reading r = f.Frames({350, 352, 348, 350}, 2.5);
  EXPECT_TRUE(r.settled);
  EXPECT_TRUE(r.inSync);
  const auto serial = r.serial;
  EXPECT_EQ(f.Look().serial, serial);  // nothing new
  s->SetHold(true);
  const Reading held = f.Look();
  EXPECT_TRUE(held.held);
  r = f.Frames({300, 400, 300, 400}, 1);
  EXPECT_DOUBLE_EQ(r.channels[1].difference, held.channels[1].difference);
  s->SetHold(false);
  EXPECT_NE(f.Look().channels[1].difference, held.channels[1].difference);
}

TEST_F(Source, ZeroOffsetsAreKeptUnderThePortsNameAndOnlyForIt) {
  {
    auto s = Make();
    s->SetChoices(Undamped());
    Feeder f{*s};
    f.Look();
    f.Frames({102, 100, 99, 101}, 2.5);  // engine off: the four read -2, 0, 1, -1
    const ZeroResult z = s->Zero();
    EXPECT_TRUE(z.outcome.Done());
    EXPECT_EQ(z.notStored, "");
    Reading r = f.Frame({102, 100, 99, 101});
    EXPECT_TRUE(r.zeroed);
    for (std::size_t c = 0; c < 4; ++c) EXPECT_NEAR(r.channels[c].difference, 0, 1e-9);
    EXPECT_NE(qvtest::ReadFile(File()).find(";/dev/ttyUSB0"), std::string::npos);

    // Another port: none of these offsets.
    port = "/dev/ttyACM0";
    r = f.Frame({102, 100, 99, 101});
    EXPECT_FALSE(r.zeroed);
    EXPECT_DOUBLE_EQ(r.channels[0].difference, -1.5);
    port = "/dev/ttyUSB0";
    EXPECT_TRUE(f.Frame({102, 100, 99, 101}).zeroed);
  }
  // The next run on the same port starts zeroed.
  auto again = Make();
  again->SetChoices(Undamped());
  Feeder f{*again};
  f.Look();
  EXPECT_TRUE(f.Frame({102, 100, 99, 101}).zeroed);
  EXPECT_EQ(again->ClearZero(), "");
  EXPECT_FALSE(f.Frame({102, 100, 99, 101}).zeroed);
  EXPECT_EQ(qvtest::ReadFile(File()).find("ttyUSB0"), std::string::npos);
}

TEST_F(Source, ARefusedZeroStoresNothing) {
  auto s = Make();
  s->SetChoices(Undamped());
  Feeder f{*s};
  EXPECT_EQ(s->Zero().outcome.refusal, ZeroOutcome::Refusal::kNoData);
  f.Look();
  f.Frames({350, 280, 360, 345}, 2.5);  // running, 80 mBar apart: not ambient air
  const ZeroResult z = s->Zero();
  EXPECT_EQ(z.outcome.refusal, ZeroOutcome::Refusal::kSpread);
  EXPECT_NEAR(z.outcome.spreadMbar, 80, 1e-9);
  EXPECT_FALSE(fs::exists(File()));
  EXPECT_FALSE(f.Frame({350, 280, 360, 345}).zeroed);
}

TEST_F(Source, SettingsGoToWorkshopIniAndComeBack) {
  ViewSettings v;
  v.choices.unit = Unit::InchHg;
  v.choices.reference = ReferenceKind::Midpoint;
  v.choices.toleranceMbar = 7;
  v.choices.dampingSeconds = 0.25;
  v.choices.zoom = 20;
  v.theme = ThemeKind::Night;
  v.snapshotFolder = "/srv/bilder";
  v.geometry = std::string("\x01\xd9\0\x02", 4);
  v.reconnect = false;
  EXPECT_EQ(Make()->Save(v), "");
  std::string problem;
  const ViewSettings back = Make()->Load(problem);
  EXPECT_EQ(problem, "");
  EXPECT_EQ(back.choices, v.choices);
  EXPECT_EQ(back.theme, ThemeKind::Night);
  EXPECT_EQ(back.snapshotFolder, v.snapshotFolder);
  EXPECT_EQ(back.geometry, v.geometry);
  EXPECT_FALSE(back.reconnect);
  // Out-of-range choices are stored as the model takes them.
  v.choices.toleranceMbar = 500;
  EXPECT_EQ(Make()->Save(v), "");
  EXPECT_EQ(Make()->Load(problem).choices.toleranceMbar, kMaxToleranceMbar);
}

TEST_F(Source, ADamagedFileGivesTheDefaultsAndStaysUntilASettingChanges) {
  const std::string damaged = "[Workshop]\nUnit=furlongs\nReconnect=0\n";
  fs::create_directories(File().parent_path());
  qvtest::WriteFile(File(), damaged);
  auto s = Make();
  std::string problem;
  ViewSettings v = s->Load(problem);
  EXPECT_NE(problem.find("furlongs"), std::string::npos) << problem;
  EXPECT_EQ(v.choices, ViewChoices{});
  EXPECT_TRUE(v.reconnect);  // the default, not the damaged file's
  // The window's place alone does not replace it.
  v.geometry = "somewhere";
  EXPECT_EQ(s->Save(v), "");
  EXPECT_EQ(qvtest::ReadFile(File()), damaged);
  // A setting the user changed does.
  v.choices.toleranceMbar = 5;
  EXPECT_EQ(s->Save(v), "");
  EXPECT_EQ(Make()->Load(problem).choices.toleranceMbar, 5);
  EXPECT_EQ(problem, "");
}

TEST_F(Source, AFileThatCannotBeWrittenSaysWhy) {
  qvtest::WriteFile(File().parent_path(), "a file where the folder should be");
  auto s = Make();
  ViewSettings v;
  v.choices.toleranceMbar = 5;
  const std::string why = s->Save(v);
  EXPECT_NE(why.find("workshop.ini"), std::string::npos) << why;
  EXPECT_EQ(qvtest::ReadFile(File().parent_path()), "a file where the folder should be");
}

}  // namespace
