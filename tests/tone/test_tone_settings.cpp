#include <gtest/gtest.h>

#include "ToneSettings.h"
#include "ToneTexts.h"

using namespace qv::tone;

TEST(ToneSettingsTest, OffByDefaultAndTheKeysReadBackAsWritten) {
  ToneSettings s;
  EXPECT_EQ(ReadToneSettings(qv::IniText("[Workshop]\nUnit=kpa\n"), s), "");
  EXPECT_EQ(s, ToneSettings{});
  EXPECT_FALSE(s.on);
  EXPECT_EQ(s.cylinder, kFurthestOff);

  EXPECT_EQ(ReadToneSettings(qv::IniText("[Workshop]\nTone=1\nToneVolume=80\nToneCylinder=3\n"), s), "");
  EXPECT_EQ(s, (ToneSettings{true, 80, 2}));

  for (const char* bad :
       {"Tone=yes", "ToneVolume=101", "ToneVolume=-1", "ToneCylinder=0", "ToneCylinder=5", "ToneCylinder=worst"}) {
    SCOPED_TRACE(bad);
    ToneSettings t = s;
    EXPECT_EQ(ReadToneSettings(qv::IniText(std::string("[Workshop]\n") + bad + "\n"), t), bad);
    EXPECT_EQ(t, s);
  }

  qv::IniText ini("[Workshop]\nUnit=kpa\n");
  WriteToneSettings({true, 35, kFurthestOff}, ini);
  EXPECT_EQ(ini.Bytes(), "[Workshop]\nUnit=kpa\nTone=1\nToneVolume=35\nToneCylinder=furthest\n");
  ToneSettings back{false, 50, 1};
  EXPECT_EQ(ReadToneSettings(ini, back), "");
  EXPECT_EQ(back, (ToneSettings{true, 35, kFurthestOff}));
}

TEST(ToneTextsTest, BothLanguagesAndTheAccessibleValue) {
  EXPECT_EQ(Text(ToneTextId::kToggle, qv::Language::German), "Ton");
  EXPECT_EQ(Text(ToneTextId::kToggle, qv::Language::English), "Tone");
  EXPECT_EQ(Text(ToneTextId::kNoOutput, qv::Language::German), "Keine Tonausgabe verfügbar");
  EXPECT_EQ(Text(ToneTextId::kNoOutput, qv::Language::English), "No sound output available");
  EXPECT_EQ(AccessibleValue(false, 2, qv::Language::German), "aus");
  EXPECT_EQ(AccessibleValue(true, 2, qv::Language::German), "an, folgt Zylinder 3");
  EXPECT_EQ(AccessibleValue(true, kFurthestOff, qv::Language::English), "on, follows furthest off");
}
