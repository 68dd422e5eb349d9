#include <gtest/gtest.h>

#include "GuardSettings.h"

using namespace qv::guard;

TEST(GuardSettingsTest, KeysReadWriteAndRefuseNonsense) {
  GuardSettings s;
  EXPECT_EQ(ReadGuardSettings(qv::IniText("[Workshop]\nTheme=night\n"), s), "");
  EXPECT_EQ(s, GuardSettings{});  // no keys: the defaults, ten minutes and 5 mBar in 3 min
  EXPECT_DOUBLE_EQ(s.noticeAfterSeconds, 600);

  EXPECT_EQ(ReadGuardSettings(qv::IniText("[Workshop]\nEngineNotice=15\nDriftWindow=2\nDriftThreshold=7.5\n"), s), "");
  EXPECT_DOUBLE_EQ(s.noticeAfterSeconds, 900);
  EXPECT_DOUBLE_EQ(s.driftWindowSeconds, 120);
  EXPECT_DOUBLE_EQ(s.driftThresholdMbar, 7.5);
  EXPECT_DOUBLE_EQ(s.driftMinSeconds, 40);

  for (const char* bad : {"EngineNotice=0", "EngineNotice=ten", "DriftWindow=31", "DriftThreshold=5,5",
                          "DriftThreshold=nan", "EngineNotice=10x"}) {
    SCOPED_TRACE(bad);
    GuardSettings t = s;
    EXPECT_EQ(ReadGuardSettings(qv::IniText(std::string("[Workshop]\n") + bad + "\n"), t), bad);
    EXPECT_EQ(t, s);
  }

  qv::IniText ini("[Workshop]\nTheme=night\n");
  WriteGuardSettings({.noticeAfterSeconds = 300, .driftWindowSeconds = 240, .driftThresholdMbar = 4}, ini);
  EXPECT_EQ(ini.Bytes(), "[Workshop]\nTheme=night\nEngineNotice=5\nDriftWindow=4\nDriftThreshold=4\n");
  GuardSettings back;
  EXPECT_EQ(ReadGuardSettings(ini, back), "");
  EXPECT_DOUBLE_EQ(back.noticeAfterSeconds, 300);
  EXPECT_DOUBLE_EQ(back.driftWindowSeconds, 240);
  EXPECT_DOUBLE_EQ(back.driftThresholdMbar, 4);
}
