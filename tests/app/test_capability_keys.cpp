// The guidance tone's and the engine guard's keys in workshop.ini, through
// the view's settings path: read, written back beside the view's own, and a
// value that cannot be understood treated as the file's damage.
#include <gtest/gtest.h>

#include <filesystem>

#include "CapabilityKeys.h"
#include "WorkshopModelSource.h"
#include "support/TestEnv.h"

namespace {

namespace fs = std::filesystem;
using namespace qv::workshop;

class Capabilities : public ::testing::Test {
 protected:
  fs::path File() const { return dir / "quorvel" / "workshop.ini"; }
  std::unique_ptr<qv::WorkshopModelSource> Make() {
    return std::make_unique<qv::WorkshopModelSource>([] { return std::string("/dev/ttyUSB0"); },
                                                     WorkshopSettingsFile(File()));
  }
  void Write(const std::string& text) {
    fs::create_directories(File().parent_path());
    qvtest::WriteFile(File(), text);
  }
  qvtest::ScratchDir dir;
  std::string problem;
};

TEST_F(Capabilities, AreReadWithTheViewsKeysAndWrittenBackBesideThem) {
  Write("[Workshop]\nUnit=kpa\nTone=1\nToneVolume=80\nToneCylinder=3\nEngineNotice=15\nDriftThreshold=7.5\n");
  auto s = Make();
  ViewSettings v = s->Load(problem);
  EXPECT_EQ(problem, "");
  EXPECT_EQ(v.choices.unit, Unit::KiloPascal);
  EXPECT_EQ(v.tone, (qv::tone::ToneSettings{true, 80, 2}));
  EXPECT_DOUBLE_EQ(v.guard.noticeAfterSeconds, 900);
  EXPECT_DOUBLE_EQ(v.guard.driftThresholdMbar, 7.5);
  EXPECT_DOUBLE_EQ(v.guard.driftWindowSeconds, 180);  // missing: the default

  v.tone.on = false;
  v.tone.cylinder = qv::tone::kFurthestOff;
  EXPECT_EQ(s->Save(v), "");
  const std::string text = qvtest::ReadFile(File());
  for (const char* line : {"Unit=kpa\n", "Tone=0\n", "ToneVolume=80\n", "ToneCylinder=furthest\n", "EngineNotice=15\n",
                           "DriftWindow=3\n", "DriftThreshold=7.5\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
  const ViewSettings back = Make()->Load(problem);
  EXPECT_EQ(problem, "");
  EXPECT_EQ(back.tone, v.tone);
  EXPECT_EQ(back.guard, v.guard);
}

TEST_F(Capabilities, AValueThatCannotBeUnderstoodDamagesTheFileWhichStaysUntilASettingChanges) {
  for (const char* bad : {"Tone=yes", "ToneVolume=101", "ToneCylinder=5", "EngineNotice=0", "DriftWindow=x"}) {
    const std::string damaged = std::string("[Workshop]\nTheme=night\nDriftThreshold=9\n") + bad + "\n";
    Write(damaged);
    auto s = Make();
    ViewSettings v = s->Load(problem);
    EXPECT_NE(problem.find(bad), std::string::npos) << problem;
    // The defaults everywhere, the view's and the guard's threshold among them.
    EXPECT_EQ(v.theme, ThemeKind::Day) << bad;
    EXPECT_EQ(v.tone, qv::tone::ToneSettings{}) << bad;
    EXPECT_EQ(v.guard, qv::guard::GuardSettings{}) << bad;
    v.geometry = "moved";
    EXPECT_EQ(s->Save(v), "");
    EXPECT_EQ(qvtest::ReadFile(File()), damaged) << bad;
    v.tone.on = true;  // the user switched the tone on: now it is replaced
    EXPECT_EQ(s->Save(v), "");
    EXPECT_TRUE(Make()->Load(problem).tone.on) << bad;
    EXPECT_EQ(problem, "") << bad;
  }
}

TEST_F(Capabilities, AFileWithoutThemIsNoDamageAndAnUnreadableOneStaysUntouched) {
  Write("[Workshop]\nTheme=night\n");
  ViewSettings v = Make()->Load(problem);
  EXPECT_EQ(problem, "");
  EXPECT_EQ(v.tone, qv::tone::ToneSettings{});
  EXPECT_EQ(v.guard, qv::guard::GuardSettings{});

  qvtest::WriteFile(File(), std::string("[Workshop]\nTone=1\n\0", 19));
  auto s = Make();
  v = s->Load(problem);
  EXPECT_NE(problem, "");
  EXPECT_FALSE(v.tone.on);
  v.geometry = "moved";
  EXPECT_EQ(s->Save(v), "");
  EXPECT_EQ(qvtest::ReadFile(File()), std::string("[Workshop]\nTone=1\n\0", 19));
}

TEST(CapabilityKeys, KeysOfAndCapabilitiesOfAreInverse) {
  const qv::CapabilitySettings s{{true, 35, 3}, {300, 240, 4, 60}};
  EXPECT_EQ(qv::CapabilitiesOf(qv::KeysOf(s)), s);
  EXPECT_EQ(qv::CapabilitiesOf({}), qv::CapabilitySettings{});
}

}  // namespace
