#include <gtest/gtest.h>

#include "EComPort.h"

TEST(EComPort, MessageWithSystemCodeCarriesSuffix) {
  EComPort e(1, 2);
  EXPECT_STREQ(e.what(), "Unable to open com port (win error code: 2)");
  EXPECT_EQ(e.Code(), 1);
  EXPECT_EQ(e.WinCode(), 2);
}

TEST(EComPort, MessageWithoutSystemCodeIsTheTextAlone) {
  EComPort e(16);
  EXPECT_STREQ(e.what(), "Failed to store settings");
  EXPECT_EQ(e.WinCode(), -1);
  EXPECT_STREQ(EComPort(14).what(), "Cannot set property while connected");
}

TEST(EComPort, AllTwentyThreeTextsInOrder) {
  EXPECT_STREQ(ComErrorText(1), "Unable to open com port");
  EXPECT_STREQ(ComErrorText(5), "PurgeComm function failed");
  EXPECT_STREQ(ComErrorText(10), "ClearCommError function failed");
  EXPECT_STREQ(ComErrorText(17), "Failed to load settings");
  EXPECT_STREQ(ComErrorText(18), "Link (un)registration failed");
  EXPECT_STREQ(ComErrorText(23), "Registry error");
  for (int c = 1; c <= kComErrorCount; ++c) EXPECT_STRNE(ComErrorText(c), "") << c;
  EXPECT_STREQ(ComErrorText(0), "");
  EXPECT_STREQ(ComErrorText(24), "");
  EXPECT_STREQ(EComPort(23, 0).what(), "Registry error (win error code: 0)");
}
