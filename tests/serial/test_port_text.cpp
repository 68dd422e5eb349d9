#include <gtest/gtest.h>

#include "CPortText.h"

namespace {

TEST(PortTextTest, EveryNameReadsBackAsItsMemberInAnyCase) {
  for (int i = 0; i < 16; ++i) {
    auto b = static_cast<TBaudRate>(i);
    EXPECT_EQ(TextToBaudRate(BaudRateToText(b)), b);
  }
  for (int i = 0; i < 5; ++i) EXPECT_EQ(TextToParity(ParityToText(static_cast<TParityBits>(i))), i);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(TextToFlowControl(FlowControlToText(static_cast<TFlowControl>(i))), i);
    EXPECT_EQ(TextToDataBits(DataBitsToText(static_cast<TDataBits>(i))), i);
    EXPECT_EQ(TextToRTS(RTSToText(static_cast<TRTSFlowControl>(i))), i);
  }
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(TextToStopBits(StopBitsToText(static_cast<TStopBits>(i))), i);
    EXPECT_EQ(TextToDTR(DTRToText(static_cast<TDTRFlowControl>(i))), i);
  }
  EXPECT_EQ(BaudRateToText(br57600), "57600");
  EXPECT_EQ(StopBitsToText(sbOne5StopBits), "1.5");
  EXPECT_EQ(DataBitsToText(dbFive), "5");
  EXPECT_EQ(FlowControlToText(fcNone), "None");
  EXPECT_EQ(RTSToText(rtsToggle), "Toggle");
  EXPECT_EQ(DTRToText(dtrHandshake), "Handshake");
  EXPECT_EQ(TextToBaudRate("custom"), brCustom);
  EXPECT_EQ(TextToParity("none"), prNone);
  EXPECT_EQ(TextToParity("sPACE"), prSpace);
  EXPECT_EQ(TextToFlowControl("HARDWARE"), fcHardware);
  EXPECT_EQ(TextToRTS("handshake"), rtsHandshake);
}

TEST(PortTextTest, UnknownTextsFallBack) {
  EXPECT_EQ(TextToBaudRate("57601"), br9600);
  EXPECT_EQ(TextToBaudRate(""), br9600);
  EXPECT_EQ(TextToBaudRate(" 57600"), br9600);
  EXPECT_EQ(TextToStopBits("3"), sbOneStopBit);
  EXPECT_EQ(TextToDataBits("9"), dbEight);
  EXPECT_EQ(TextToParity("No"), prNone);
  EXPECT_EQ(TextToFlowControl(""), fcCustom);
  EXPECT_EQ(TextToDTR("Toggle"), dtrDisable);
  EXPECT_EQ(TextToRTS("x"), rtsDisable);
  // An ordinal outside the enumeration has no name (and is not read out of bounds).
  EXPECT_EQ(BaudRateToText(static_cast<TBaudRate>(16)), "");
  EXPECT_EQ(ParityToText(static_cast<TParityBits>(-1)), "");
}

TEST(PortTextTest, BooleanForm) {
  EXPECT_EQ(BoolToText(true), "Yes");
  EXPECT_EQ(BoolToText(false), "No");
  EXPECT_TRUE(TextToBool("yes"));
  EXPECT_TRUE(TextToBool("YeS"));
  EXPECT_FALSE(TextToBool("Y"));
  EXPECT_FALSE(TextToBool("true"));
  EXPECT_FALSE(TextToBool(""));
  EXPECT_FALSE(TextToBool("Yes "));
}

TEST(PortTextTest, CharacterForm) {
  EXPECT_EQ(CharToText(13), "#13");
  EXPECT_EQ(CharToText('A'), "A");
  EXPECT_EQ(CharToText(' '), "#32");
  EXPECT_EQ(CharToText(0), "#0");
  EXPECT_EQ(CharToText(17), "#17");
  EXPECT_EQ(CharToText('!'), "!");
  EXPECT_EQ(CharToText(127), "\x7f");
  EXPECT_EQ(CharToText(128), "#128");
  EXPECT_EQ(CharToText(255), "#255");
  for (int c = 0; c < 256; ++c) EXPECT_EQ(TextToChar(CharToText(static_cast<AnsiChar>(c))), c);

  EXPECT_EQ(TextToChar(""), 0);
  EXPECT_EQ(TextToChar("#"), '#');
  EXPECT_EQ(TextToChar("#x"), 0);
  EXPECT_EQ(TextToChar("#13x"), 0);
  EXPECT_EQ(TextToChar("#+-5"), 0);
  EXPECT_EQ(TextToChar("#99999999999"), 0);  // not a 32-bit number
  EXPECT_EQ(TextToChar("#300"), 300 & 0xFF);
  EXPECT_EQ(TextToChar("#-1"), 255);
  EXPECT_EQ(TextToChar("#+7"), 7);
  EXPECT_EQ(TextToChar("Abc"), 'A');
  EXPECT_EQ(TextToChar("\xE4"), 0xE4);
}

}  // namespace
