#include "board/commandline.h"

#include <gtest/gtest.h>

namespace {

TEST(BoardCommandLine, EveryOptionReachesItsSetting) {
  const BoardCommandLine line = ParseCommandLine(
      {"--name", "Bench board", "--link", "/tmp/board", "--delay-ms", "250", "--silent",
       "--capture-bytes", "4095", "--read-bytes", "45", "--rate", "115200", "--cycles", "-12.5", "--amplitude", "1000", "--noise", "0",
       "--harmonic", "2:-60", "--harmonic", "3:-70.5", "--spur", "-100.25:-80", "--help"});
  EXPECT_EQ(line.name, "Bench board");
  EXPECT_EQ(line.link, "/tmp/board");
  EXPECT_EQ(line.options.answerDelay.count(), 250);
  EXPECT_TRUE(line.options.silent);
  EXPECT_EQ(line.options.captureBytes, 4095u);
  EXPECT_EQ(line.options.readBytes, 45u);
  EXPECT_EQ(line.options.lineRate, 115200u);
  EXPECT_DOUBLE_EQ(line.options.signal.cyclesPerBlock, -12.5);
  EXPECT_DOUBLE_EQ(line.options.signal.amplitude, 1000.0);
  EXPECT_DOUBLE_EQ(line.options.signal.noise, 0.0);
  ASSERT_EQ(line.options.signal.harmonics.size(), 2u);
  EXPECT_EQ(line.options.signal.harmonics[1].order, 3);
  EXPECT_DOUBLE_EQ(line.options.signal.harmonics[1].dbc, -70.5);
  ASSERT_EQ(line.options.signal.spurs.size(), 1u);
  EXPECT_DOUBLE_EQ(line.options.signal.spurs[0].cyclesPerBlock, -100.25);
  EXPECT_DOUBLE_EQ(line.options.signal.spurs[0].dbc, -80.0);
  EXPECT_TRUE(line.help);
}

TEST(BoardCommandLine, BadArgumentsAreUsageErrors) {
  const std::vector<std::vector<std::string>> bad = {
      {"--bogus"},           {"--delay-ms"},          {"--delay-ms", "12ms"},
      {"--delay-ms", "-1"},  {"--delay-ms", ""},      {"--amplitude", "40000"},
      {"--noise", "-3"},     {"--cycles", "nan"},     {"--capture-bytes", "1e3"},
      {"--rate", "0"},       {"--name", ""},        {"--name", "two\nlines"}, {"extra"},
      {"--harmonic", "2"},   {"--harmonic", "1:-60"}, {"--harmonic", "2:-60:3"},
      {"--harmonic", "2:61"}, {"--spur", "600:-60"},  {"--spur", ":-60"},
  };
  for (const auto& arguments : bad) {
    EXPECT_THROW(ParseCommandLine(arguments), UsageError) << arguments.front();
  }
}

}  // namespace
