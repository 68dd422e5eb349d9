// The command line and the interactive keys.
#include <gtest/gtest.h>

#include <vector>

#include "Keys.h"
#include "SimOptions.h"

using namespace qv::sim;

namespace {

ParseResult Parse(std::vector<std::string_view> args) { return ParseArguments(args); }

}  // namespace

TEST(SimCli, DefaultsAndEveryOption) {
  const auto d = Parse({});
  EXPECT_EQ(d.error, "");
  EXPECT_EQ(d.options.engine.rpm, 1200);
  EXPECT_EQ(d.options.engine.scenario, Scenario::kDrift);
  EXPECT_FALSE(d.options.seed);
  EXPECT_FALSE(d.options.faults.Any());

  const auto r = Parse({"--seed", "18446744073709551615", "--scenario=sync", "--rpm", "900", "--split=8", "--junk",
                        "0.25", "--drop-end=1", "--bad-channel", "0", "--bad-count", ".5", "--link", "/tmp/x",
                        "--replay=cap.bin", "--log", "f.log", "--stats"});
  ASSERT_EQ(r.error, "");
  const auto& o = r.options;
  EXPECT_EQ(o.seed, 18446744073709551615ull);
  EXPECT_EQ(o.engine.scenario, Scenario::kSync);
  EXPECT_EQ(o.engine.rpm, 900);
  EXPECT_EQ(o.faults.split_max, 8u);
  EXPECT_EQ(o.faults.junk, 0.25);
  EXPECT_EQ(o.faults.drop_end, 1.0);
  EXPECT_EQ(o.faults.bad_channel, 0.0);
  EXPECT_EQ(o.faults.bad_count, 0.5);
  EXPECT_EQ(o.link, "/tmp/x");
  EXPECT_EQ(o.replay, "cap.bin");
  EXPECT_EQ(o.log, "f.log");
  EXPECT_TRUE(o.stats);
  EXPECT_TRUE(Parse({"--help"}).options.help);
  EXPECT_TRUE(Parse({"--version"}).options.version);
}

TEST(SimCli, BadArgumentsGiveOneLine) {
  const std::vector<std::vector<std::string_view>> bad{{"--seed", "x"},
                                                       {"--seed", "-1"},
                                                       {"--seed"},
                                                       {"--rpm", "299"},
                                                       {"--rpm", "3001"},
                                                       {"--junk", "1.5"},
                                                       {"--junk", "nan"},
                                                       {"--junk", "-0.1"},
                                                       {"--junk", "0.5x"},
                                                       {"--split", "0"},
                                                       {"--split", "4097"},
                                                       {"--scenario", "fast"},
                                                       {"--bogus"},
                                                       {"port"},
                                                       {"--stats=1"},
                                                       {"--log", ""},
                                                       {"--drop-end="},
                                                       {"--bad-count", ""},
                                                       {"--bad-channel", "2"}};
  for (const auto& args : bad) {
    const auto r = Parse(args);
    EXPECT_FALSE(r.error.empty()) << args[0];
    EXPECT_EQ(r.error.find('\n'), std::string::npos);
  }
  EXPECT_EQ(Parse({"--rpm", "70"}).error, "option '--rpm' expects an engine speed from 300 to 3000, not '70'");
}

TEST(SimCli, HelpNamesEveryOption) {
  const std::string help = HelpText();
  for (const char* opt : {"--seed", "--scenario", "--rpm", "--split", "--junk", "--drop-end", "--bad-channel",
                          "--bad-count", "--replay", "--link", "--log", "--stats", "--help", "--version"}) {
    EXPECT_NE(help.find(opt), std::string::npos) << opt;
  }
}

TEST(SimKeys, DecodesKeysAndSplitArrows) {
  KeyDecoder k;
  using K = KeyCommand;
  EXPECT_EQ(k.Feed("3+-ozq"),
            (std::vector<K>{{K::kSelect, 2}, {K::kRaise}, {K::kLower}, {K::kOverpressure}, {K::kQuit}}));
  EXPECT_EQ(k.Feed("\x1b[A\x1bOB"), (std::vector<K>{{K::kRaise}, {K::kLower}}));
  EXPECT_TRUE(k.Feed("\x1b").empty());
  EXPECT_TRUE(k.Feed("[").empty());
  EXPECT_EQ(k.Feed("A"), (std::vector<K>{{K::kRaise}}));
  EXPECT_TRUE(k.Feed("\x1b[C").empty());  // right arrow: nothing
  EXPECT_EQ(k.Feed("\x1b"
                   "1"),
            (std::vector<K>{{K::kSelect, 0}}));  // a lone escape does not eat the next key
}

TEST(SimKeys, TheHandMovesTheChosenCylinder) {
  EngineModel engine({kDefaultRpm, 1, Scenario::kSteady});
  MechanicHand hand(engine);
  EXPECT_EQ(hand.Apply({KeyCommand::kSelect, 3}), "cylinder 4: offset +0 mBar, overpressure off");
  (void)hand.Apply({KeyCommand::kRaise});
  (void)hand.Apply({KeyCommand::kRaise});
  EXPECT_EQ(hand.Apply({KeyCommand::kOverpressure}), "cylinder 4: offset +10 mBar, overpressure on");
  EXPECT_EQ(engine.UserOffset(3), 10.0);
  EXPECT_TRUE(engine.Overpressure(3));
  EXPECT_EQ(engine.UserOffset(0), 0.0);
  (void)hand.Apply({KeyCommand::kSelect, 0});
  (void)hand.Apply({KeyCommand::kLower});
  EXPECT_EQ(engine.UserOffset(0), -5.0);
  EXPECT_EQ(hand.Apply({KeyCommand::kQuit}), "");
}

TEST(SimKeys, PracticeMovesInSteadyOneMilliBarSteps) {
  EXPECT_EQ(Parse({"--scenario", "practice"}).options.engine.scenario, Scenario::kPractice);
  EXPECT_NE(Parse({"--scenario", "Practice"}).error.find("practice"), std::string::npos);
  EngineModel engine({kDefaultRpm, 1, Scenario::kPractice});
  MechanicHand hand(engine);
  (void)hand.Apply({KeyCommand::kSelect, 2});
  for (int i = 0; i < 3; ++i) (void)hand.Apply({KeyCommand::kRaise});
  EXPECT_EQ(hand.Apply({KeyCommand::kLower}), "cylinder 3: offset +2 mBar, overpressure off");
  EXPECT_EQ(engine.UserOffset(2), 2.0);
  EXPECT_EQ(KeyStep(Scenario::kPractice), 1.0);
  EXPECT_EQ(KeyStep(Scenario::kDrift), kOffsetStep);
}
